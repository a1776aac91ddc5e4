#include "services/LookupList.h"

#include "frame/ColumnWidths.h"
#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/DbConnection.h"
#include "platform/TransactionGuard.h"
#include "platform/UserDialogs.h"
#include "services/LookupSettings.h"

#include <QMetaType>

namespace {

const QString kSource = QStringLiteral("CS_SOURCE");
const QString kCategories = QStringLiteral("CS_CAT_DESC");

DbConnection& connection() {
    return gDBConnection->adoConnection();
}

} // namespace

LookupList::LookupList(const LookupSettings& settings) : m_settings(settings) {}

bool LookupList::IsDictionary(const QString& tableName) {
    return tableName == kSource || tableName == kCategories;
}

bool LookupList::Editable() const {
    return IsDictionary(m_settings.m_strTableName);
}

bool LookupList::PickOnly() const {
    return m_settings.m_LookupCode && m_settings.m_strTableName == kSource && Level().isEmpty();
}

QString LookupList::Level() const {
    return m_settings.m_strLevel.trimmed();
}

bool LookupList::LevelCodeLimit() const {
    return m_settings.m_strTableName == kSource && m_settings.m_colColumnNames.value(0) == "Level";
}

QString LookupList::filterClause() const {
    // In brackets: a caller's condition holding "or" must not widen the statement to other rows.
    return m_settings.m_strFilter.trimmed().isEmpty() ? QString() : " and (" + m_settings.m_strFilter + ")";
}

QString LookupList::BuildSQL() const {
    const QStringList& fields = m_settings.m_colFieldNames;
    QString sql = "SELECT DISTINCT " + fields.join(",") + " FROM " + m_settings.m_strTableName;
    if (!m_settings.m_strFilter.trimmed().isEmpty())
        sql += " WHERE " + m_settings.m_strFilter;
    // A constant column (the business level lookup lists its quoted area code) has a single value, and
    // the servers refuse a constant to order by.
    const QString first = fields.value(0).trimmed();
    if (!first.startsWith('\''))
        sql += " Order by " + fields.value(0);
    return sql;
}

bool LookupList::OpenRecordset() {
    m_rows.clear();
    m_strSQL = BuildSQL();
    if (!m_rsLookup.Open(m_strSQL, connection())) {
        gLookupOK = false;
        return ErrorHandler::FailShowing("frmLookup:OpenRecordset", vbOKOnly);
    }
    // Placeholder rows (a blank code) stand for an entry without children, not for an entry to pick.
    const int columns = m_rsLookup.FieldCount();
    int listed = 0;
    while (!m_rsLookup.IsEOF()) {
        const Field first = m_rsLookup.Fields(0);
        if (!first.IsNull() && !first.Text().trimmed().isEmpty()) {
            Row row;
            row.code = first.Text();
            row.key = "Primary" + row.code + QString::number(++listed);
            for (int i = 1; i < columns; ++i) {
                const Field f = m_rsLookup.Fields(i);
                row.subItems.push_back(f.Text());
                row.subIsNull.push_back(f.IsNull());
            }
            m_rows.push_back(row);
        }
        m_rsLookup.MoveNext();
    }
    return true;
}

void LookupList::Close() {
    m_rsLookup.Close();
    m_rows.clear();
}

int LookupList::FieldCount() const {
    return m_rsLookup.IsOpen() ? m_rsLookup.FieldCount() : 0;
}

int LookupList::DefinedSize(int column) const {
    if (column < 0 || column >= FieldCount())
        return -1;
    return m_rsLookup.Fields(column).DefinedSize();
}

bool LookupList::CodeIsInteger() const {
    if (FieldCount() == 0)
        return false;
    switch (m_rsLookup.Fields(0).Type().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

QStringList LookupList::Codes() const {
    QStringList codes;
    codes.reserve(m_rows.size());
    for (const Row& row : m_rows)
        codes.push_back(row.code);
    return codes;
}

int LookupList::FindCode(const QStringList& codes, const QString& code) {
    const QString sought = code.trimmed();
    for (qsizetype i = 0; i < codes.size(); ++i)
        if (codes[i].trimmed() == sought)
            return static_cast<int>(i);
    for (qsizetype i = 0; i < codes.size(); ++i)
        if (codes[i].trimmed().compare(sought, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    for (qsizetype i = 0; i < codes.size(); ++i)
        if (codes[i].startsWith(sought, Qt::CaseInsensitive))
            return static_cast<int>(i);
    return -1;
}

bool LookupList::CodeExistsIn(const QStringList& codes, const QString& code) {
    const QString sought = MatchDBCase(code.trimmed());
    for (const QString& listed : codes)
        if (MatchDBCase(listed.trimmed()) == sought)
            return true;
    return false;
}

LookupList::Presence LookupList::StoredCode(const QString& code) {
    const QString column = m_settings.m_colFieldNames.value(0);
    const std::optional<bool> found =
        anyRow("Select " + column + " From " + m_settings.m_strTableName + " Where " + column + " = '" +
                   FixQuotes(code) + "'" + filterClause(),
               "frmLookup:cmdAdd_Click");
    if (!found)
        return Presence::Failed;
    return *found ? Presence::Present : Presence::Absent;
}

std::optional<bool> LookupList::anyRow(const QString& sql, const QString& location) {
    m_strSQL = sql;
    Recordset rs;
    if (!rs.Open(sql, connection())) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return std::nullopt;
    }
    const bool found = rs.RecordCount() > 0;
    rs.Close();
    return found;
}

bool LookupList::execute(const QString& sql, qint64* affected) {
    m_strSQL = sql;
    return connection().Execute(sql, affected);
}

bool LookupList::fits(const QStringList& columns, const QStringList& values) const {
    return ColumnWidths(m_settings.m_strTableName, columns).Fits(values);
}

LookupList::Addition LookupList::NewCode(const QString& code) {
    switch (StoredCode(code)) {
    case Presence::Absent:
        return Addition::Added;
    case Presence::Present:
        return Addition::Present;
    case Presence::Failed:
        break;
    }
    return Addition::Unchecked;
}

LookupList::Addition LookupList::AddListedRow(const QString& code, const QString& description) {
    const QString location = QStringLiteral("frmLookup:cmdAdd_Click");
    const QStringList& fields = m_settings.m_colFieldNames;
    const bool withDescription = FieldCount() >= 2 || (FieldCount() == 0 && fields.size() >= 2);
    QString sql = "INSERT INTO " + m_settings.m_strTableName + " (" + fields.value(0);
    if (withDescription)
        sql += "," + fields.value(1);
    sql += ") VALUES ('" + FixQuotes(code) + "'";
    if (withDescription)
        sql += ",'" + FixQuotes(description) + "'";
    sql += ")";
    TransactionGuard transaction(connection());
    if (!transaction.active() || !fits(fields.mid(0, withDescription ? 2 : 1),
                                       QStringList{code, description}.mid(0, withDescription ? 2 : 1))) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Addition::Failed;
    }
    if (const Addition checked = NewCode(code); checked != Addition::Added)
        return checked;
    if (!execute(sql) || !transaction.Commit()) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Addition::Failed;
    }
    return Addition::Added;
}

LookupList::Addition LookupList::InsertItem(const QString& code, const QString& description) {
    const QString location = QStringLiteral("frmLookup:InsertItem");
    const QString& table = m_settings.m_strTableName;
    const QString columns = " (" + m_settings.m_colHideFieldNames.join(",") + ")";
    const QString area = FixQuotes(m_settings.m_strLevelType);
    const QString fixedCode = FixQuotes(code);
    const QString fixedDesc = FixQuotes(description);

    if (!m_settings.m_Lookuplevel && !m_settings.m_LookupCode)
        return Addition::Failed;
    // A code needs the level it belongs to.
    if (!m_settings.m_Lookuplevel && PickOnly())
        return Addition::Failed;

    const auto failed = [&location] {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Addition::Failed;
    };
    TransactionGuard transaction(connection());
    if (!transaction.active())
        return failed();
    // The new row's values as written, the blanks of a level's own row too.
    const QStringList values = m_settings.m_Lookuplevel
                                   ? QStringList{m_settings.m_strLevelType, code, " ", " "}
                                   : QStringList{m_settings.m_strLevelType, Level(), code, description};
    if (!fits(m_settings.m_colHideFieldNames, values))
        return failed();
    if (const Addition checked = NewCode(code.trimmed()); checked != Addition::Added)
        return checked;
    if (m_settings.m_Lookuplevel) {
        if (!execute("INSERT INTO " + table + columns + " VALUES ('" + area + "','" + fixedCode + "','" +
                     " " + "','" + " " + "')"))
            return failed();
    } else {
        const QString level = FixQuotes(Level());
        m_strSQL = "Select * from " + table + " Where " + "SOAREA = '" + area + "' and " + "SOLEVEL = '" +
                   level + "' and " + "SOCODE = '" + " " + "' and SODESC = '" + " " + "'";
        Recordset probe;
        if (!probe.Open(m_strSQL, connection()))
            return failed();
        const bool placeholder = probe.RecordCount() > 0;
        probe.Close();
        QString sql;
        if (placeholder)
            sql = QString("Update CS_SOURCE Set") + " SOCODE ='" + fixedCode + "'," + " SODESC ='" +
                  fixedDesc + "'" + " where " + " SOAREA = '" + area + "' and " + " SOLEVEL = '" + level +
                  "' and " + "SOCODE = '" + " " + "' and SODESC = '" + " " + "'";
        else
            sql = "INSERT INTO " + table + columns + " VALUES ('" + area + "'," + "'" + level + "'," + "'" +
                  fixedCode + "'," + "'" + fixedDesc + "')";
        // The placeholder row was found under the lock: a fill that changes nothing met a writer that
        // takes no lock.
        m_strSQL = sql;
        if (!(placeholder ? ExecuteSQLChangingRows(sql) : execute(sql)))
            return failed();
    }
    if (!transaction.Commit())
        return failed();
    return Addition::Added;
}

bool LookupList::ModifyItem(const Row& row, const QString& description) {
    const QString location = QStringLiteral("frmLookup:ModifyItem");
    const QStringList& fields = m_settings.m_colFieldNames;
    // A list of codes alone has no description to change.
    if (fields.size() < 2)
        return true;
    const QString sql = "Update " + m_settings.m_strTableName + " Set " + fields[1] + " = '" +
                        FixQuotes(description) + "' Where " + fields[0] + " = '" + FixQuotes(row.code) + "'" +
                        filterClause();
    TransactionGuard transaction(connection());
    if (!transaction.active() || !fits({fields[1]}, {description}) || !execute(sql) || !transaction.Commit())
        return ErrorHandler::FailShowing(location, vbOKOnly);
    return true;
}

LookupList::Dependency LookupList::CheckDependencies(const QString& code) {
    for (qsizetype i = 0; i < m_settings.m_DependencyTable.size(); ++i) {
        const Dependency found = DependenciesExist(
            m_settings.m_DependencyTable[i], m_settings.m_DependencyFldCode.value(i),
            m_settings.m_DependencyFldArea.value(i), m_settings.m_DependencyFldlevel.value(i), code);
        if (found != Dependency::None)
            return found;
    }
    return Dependency::None;
}

LookupList::Dependency LookupList::DependenciesExist(const QString& table, const QString& fldCode,
                                                     const QString& fldArea, const QString& fldLevel,
                                                     const QString& code) {
    QString sql = "Select * From " + table;
    const QString area = fldArea.isEmpty()
                             ? QString()
                             : " And " + fldArea + "= '" + FixQuotes(m_settings.m_strLevelType) + "'";
    if (m_settings.m_LookupCode) {
        sql += " Where " + fldCode + " = '" + FixQuotes(code) + "'" + area;
        if (!fldLevel.isEmpty())
            sql += " And " + fldLevel + " = '" + FixQuotes(Level()) + "'";
    } else if (m_settings.m_Lookuplevel) {
        sql += " Where " + fldLevel + " = '" + FixQuotes(code) + "'" + area;
    }
    const std::optional<bool> found = anyRow(sql, "frmLookup:DependenciesExist");
    if (!found)
        return Dependency::Failed;
    return *found ? Dependency::Found : Dependency::None;
}

LookupList::Deletion LookupList::DeleteItem(const Row& row) {
    const QString location = QStringLiteral("frmLookup:DeleteItem");
    const QStringList& fields = m_settings.m_colFieldNames;
    QString sql = "Delete From " + m_settings.m_strTableName + " Where " + fields.value(0) + " = '" +
                  FixQuotes(row.code) + "'";
    if (fields.size() > 1) {
        if (row.subIsNull.value(0))
            sql += " and " + fields[1] + " Is Null";
        else
            sql += " and " + fields[1] + " = '" + FixQuotes(row.subItems.value(0)) + "'";
    }
    sql += filterClause();

    TransactionGuard transaction(connection());
    if (!transaction.active()) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Deletion::Failed;
    }
    // Checked again under the lock: another user may have made a row depend on it meanwhile.
    switch (CheckDependencies(row.code)) {
    case Dependency::Failed:
        return Deletion::Failed;
    case Dependency::Found:
        return Deletion::Dependent;
    case Dependency::None:
        break;
    }
    qint64 deleted = 0;
    if (!execute(sql, &deleted)) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Deletion::Failed;
    }
    if (deleted == 0)
        return Deletion::NothingDeleted;
    if (m_settings.m_LookupCode && m_settings.m_strTableName == kSource && !restoreLevelRow()) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Deletion::Failed;
    }
    if (!transaction.Commit()) {
        ErrorHandler::FailShowing(location, vbOKOnly);
        return Deletion::Failed;
    }
    return Deletion::Deleted;
}

bool LookupList::restoreLevelRow() {
    // A level exists only while CS_SOURCE holds a row of it; its last code must not take it along.
    const QString area = FixQuotes(m_settings.m_strLevelType);
    const QString level = FixQuotes(Level());
    m_strSQL = "Select * from CS_SOURCE Where SOAREA = '" + area + "' and SOLEVEL = '" + level + "'";
    Recordset rest;
    if (!rest.Open(m_strSQL, connection()))
        return false;
    const bool levelRemains = rest.RecordCount() > 0;
    rest.Close();
    if (levelRemains)
        return true;
    return execute("INSERT INTO CS_SOURCE (SOAREA,SOLEVEL,SOCODE,SODESC) VALUES ('" + area + "','" + level +
                   "',' ',' ')");
}
