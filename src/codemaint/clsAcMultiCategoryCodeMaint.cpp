#include "codemaint/clsAcMultiCategoryCodeMaint.h"

#include "codemaint/CodeEditorAccess.h"
#include "codemaint/RangeCopy.h"
#include "rangemaint/LevelRangeRemoval.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"

clsAcMultiCategoryCodeMaint::clsAcMultiCategoryCodeMaint() = default;
clsAcMultiCategoryCodeMaint::~clsAcMultiCategoryCodeMaint() = default;

void clsAcMultiCategoryCodeMaint::SetCodeMaintTableName(qint16 type) {
    if (type == 1) {
        m_strHierTable = QStringLiteral("CS_MULTIPLIERHIER");
        m_strHierColumn = QStringLiteral("CS_MULTIPLIER");
        m_objRangeMaint = std::make_unique<clsAcMultiplierRangeMaint>();
    } else if (type == 2) {
        m_strHierTable = QStringLiteral("CS_CATEGORYHIER");
        m_strHierColumn = QStringLiteral("CS_CATEGORY");
        m_objRangeMaint = std::make_unique<clsAcCategoriesRangeMaint>();
    } else {
        return;
    }
    m_intType = type;
    m_hierarchy.emplace(m_strHierTable,
                        QStringList{QStringLiteral("CS_AREA"), QStringLiteral("CS_COA"), m_strHierColumn,
                                    QStringLiteral("CS_LEVEL"), QStringLiteral("CS_CODE")});
}

QString clsAcMultiCategoryCodeMaint::TreeQuery(const QString& descriptionJoin) const {
    if (m_strHierTable.isEmpty())
        return {};
    return QStringLiteral("Select * From ") + m_strHierTable + QStringLiteral(" A ") + descriptionJoin +
           QStringLiteral("left outer join CS_SOURCE on A.CS_LEVEL = CS_SOURCE.SOLEVEL and A.CS_CODE = "
                          "CS_SOURCE.SOCODE ") +
           QStringLiteral("and A.CS_AREA = CS_SOURCE.SOAREA ") +
           FilterCondition(QStringLiteral(" Where CS_CODE =")) +
           QStringLiteral(" Order by CS_AREA, CS_COA, ") + m_strHierColumn +
           QStringLiteral(", CS_LEVEL, CS_CODE");
}

QString clsAcMultiCategoryCodeMaint::GetSQL_Multiplier() const {
    return TreeQuery(QStringLiteral("left outer join CS_MULTIPLIER on A.") + m_strHierColumn +
                     QStringLiteral(" = CS_MULTIPLIER.MULPT "));
}

QString clsAcMultiCategoryCodeMaint::GetSQL_Category() const {
    return TreeQuery(QStringLiteral("left outer join CS_CAT_DESC on A.") + m_strHierColumn +
                     QStringLiteral(" = CS_CAT_DESC.CAT_CODE "));
}

QString clsAcMultiCategoryCodeMaint::TreeStatement() const {
    switch (m_intType) {
    case 1:
        return GetSQL_Multiplier();
    case 2:
        return GetSQL_Category();
    default:
        return {};
    }
}

Existence clsAcMultiCategoryCodeMaint::RecordExists(const QString& area, const QString& account,
                                                    const QString& multiCategory, const QString& level,
                                                    const QString& code) const {
    if (!m_hierarchy)
        return Existence::Failed;
    const QStringList values{area, account, multiCategory, level, code};
    QList<qsizetype> ignored;
    for (qsizetype c = 1; c < values.size(); ++c)
        if (values[c].isEmpty())
            ignored << c;
    return m_hierarchy->Exists(values, ignored);
}

// Below the root a chart of account (node 1), below it a multiplier or category (3), below that a level
// (2) and below the level a code (4). The parents are the selected node's, as stored; the new value is
// the entry's.
bool clsAcMultiCategoryCodeMaint::EntryToAdd(qint32 selected, NewEntry& entry) const {
    const CodeKeyParts k = m_frmOwner->StoredKeyParts();
    const CodeEntryValues e = m_frmOwner->EntryValues();
    const QString area = m_frmOwner->LevelType();
    const bool multipliers = m_intType == 1;
    switch (selected) {
    case 0:
        entry.values = {area, e.values.COA};
        entry.nodeType = 1;
        entry.message = QStringLiteral("Chart of Account already exists");
        entry.title = QStringLiteral("Duplicate Account");
        break;
    case 1:
        entry.values = {area, k.COA, e.values.MultiCategory};
        entry.nodeType = 3;
        entry.message = multipliers ? QStringLiteral("Multiplier already exists within current Account")
                                    : QStringLiteral("Category already exists within current Account");
        entry.title =
            multipliers ? QStringLiteral("Duplicate Multiplier") : QStringLiteral("Duplicate Category");
        entry.description = e.multiDescription;
        break;
    case 3:
        entry.values = {area, k.COA, k.MultiCategory, e.values.level};
        entry.nodeType = 2;
        entry.message = multipliers ? QStringLiteral("Level already exists within current Multiplier")
                                    : QStringLiteral("Level already exists within current Category");
        entry.title = QStringLiteral("Duplicate Level");
        break;
    case 2:
        entry.values = {area, k.COA, k.MultiCategory, k.level, e.values.Code};
        entry.nodeType = 4;
        entry.message = QStringLiteral("Code already exists within current Level");
        entry.title = QStringLiteral("Duplicate Code");
        entry.description = e.codeDescription;
        break;
    default:
        return false;
    }
    entry.parentDepth = static_cast<int>(entry.values.size()) - 1;
    return true;
}

bool clsAcMultiCategoryCodeMaint::EntryToDelete(qint32 selected, Entry& entry) const {
    // How many values name the entry of each node type.
    static constexpr int kDepth[] = {0, 2, 4, 3, 5};
    if (selected < 1 || selected > 4)
        return false;
    const CodeKeyParts k = m_frmOwner->StoredKeyParts();
    const QString area = m_frmOwner->LevelType();
    entry.values = QStringList{area, k.COA, k.MultiCategory, k.level, k.Code}.mid(0, kDepth[selected]);
    entry.nodeType = selected;
    entry.parentDepth = static_cast<int>(entry.values.size()) - 1;
    return true;
}

CodeKeyParts clsAcMultiCategoryCodeMaint::KeyPartsOf(const QStringList& values) const {
    return {values.value(1), values.value(2), values.value(3), values.value(4)};
}

bool clsAcMultiCategoryCodeMaint::MaintRangeOfAccountHier(const QStringList& values, bool attach) {
    if (!m_objRangeMaint || values.size() < 5)
        return false;
    const QString& account = values[1];
    const QString& holder = values[2];
    const RangeCopy code(clsAcLevelRangeMaint::Table(), {account, values[3], values[4]});
    if (attach)
        return code.Attach(m_objRangeMaint->Table(), {account, holder});
    // The multiplier (category) keeps what another code attached to it still holds.
    LevelRangeRemoval removal(values[0], account, clsAcLevelRangeMaint::Table(), true);
    return removal.HolderLeft(m_intType == 1, holder, {values[3], values[4]});
}
