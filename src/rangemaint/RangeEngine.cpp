#include "rangemaint/RangeEngine.h"

#include "frame/ErrorHandler.h"
#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/MessageLoop.h"
#include "platform/Recordset.h"
#include "platform/UserDialogs.h"
#include "rangemaint/RangeEditorAccess.h"

#include <QTreeWidget>
#include <algorithm>

QString RangeEngine::FilterCondition(const QString& lead, const QString& fromColumn,
                                     const QString& toColumn) const {
    const QString filter = m_owner ? m_owner->FilterText().trimmed() : QString();
    if (filter.isEmpty())
        return {};
    return lead + SqlText(filter) + QStringLiteral(" between ") + fromColumn + QStringLiteral(" and ") +
           toColumn;
}

QTreeWidget* RangeEngine::BeginListFill() {
    if (!m_owner)
        return nullptr;
    m_owner->SetTreeEnabled(false);
    QTreeWidget* list = m_owner->AccountList();
    if (list)
        list->clear();
    // The tree stays off meanwhile, so no selection can start a second fill.
    MessageLoop::DoEvents();
    return list;
}

void RangeEngine::EndListFill() {
    if (!m_owner)
        return;
    // The columns keep their designed widths but grow to their texts, which the list scrolls sideways
    // rather than cut short.
    if (QTreeWidget* list = m_owner->AccountList())
        for (int column = 0; column < list->columnCount(); ++column) {
            const int designed = list->columnWidth(column);
            list->resizeColumnToContents(column);
            list->setColumnWidth(column, std::max(designed, list->columnWidth(column)));
        }
    m_owner->SetTreeEnabled(true);
}

void RangeEngine::AddListRow(QTreeWidget* list, const Recordset& rs, const QStringList& columns) {
    QStringList texts;
    texts.reserve(columns.size());
    for (const QString& column : columns)
        texts << rs.Fields(column).Text();
    list->addTopLevelItem(new QTreeWidgetItem(texts));
}

bool RangeEngine::LevelNumber(const QString& level, int& number) {
    QString text = level;
    text.remove(QLatin1Char('L'), Qt::CaseSensitive);
    bool ok = false;
    number = text.trimmed().toInt(&ok);
    if (!ok)
        number = 0;
    return ok;
}

QString RangeEngine::AccountListKey(const QString& coa, const QString& level, const QString& code) const {
    return coa + QChar(0xFF) + level + QChar(0xFF) + code;
}

void RangeEngine::KeepDatabaseError() {
    // A failed query has been shown and may have been cleared; the connection still knows what the
    // database said.
    if (Err().Number() != 0)
        return;
    const DbError e = gDBConnection->adoConnection().LastError();
    Err().Raise(e.isSet() ? e.number : CurrentError::UnspecifiedError,
                e.isSet() ? e.description : QStringLiteral("The warehouse could not be read"), e.source,
                e.cause);
}

bool RangeEngine::FailLookup(const QString& location) {
    KeepDatabaseError();
    return ErrorHandler::Fail(location);
}

bool RangeEngine::FailTelling(const QString& location) {
    KeepDatabaseError();
    ErrorHandler::Tell(Err().Description(), vbCritical);
    return ErrorHandler::Fail(location);
}
