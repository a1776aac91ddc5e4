#include "codemaint/clsAcBuLevelCodeMaint.h"

#include "codemaint/CodeEditorAccess.h"
#include "codemaint/HierarchyTable.h"
#include "codemaint/RangeCopy.h"
#include "frame/modMain.h"
#include "rangemaint/LevelHierarchyWalk.h"
#include "rangemaint/LevelRangeRemoval.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/clsBuLevelRangeMaint.h"

namespace {

const HierarchyTable& LevelHier() {
    static const HierarchyTable table(QStringLiteral("CS_LEVELHIER"),
                                      {QStringLiteral("CS_AREA"), QStringLiteral("CS_COA"),
                                       QStringLiteral("CS_PARENTLEVEL"), QStringLiteral("CS_PARENTCODE"),
                                       QStringLiteral("CS_CHILDLEVEL"), QStringLiteral("CS_CHILDCODE")});
    return table;
}

// The range table of an area's codes. Business units and areas hold their ranges under the business
// level, which stands in CS_COA here.
const RangeTable* RangesOf(const QString& area) {
    if (area == QLatin1String("AC"))
        return &clsAcLevelRangeMaint::Table();
    if (area == QLatin1String("BU") || area == QLatin1String("BA"))
        return &clsBuLevelRangeMaint::Table();
    return nullptr;
}

// The child values of a parent code's child row: the child level, then the child code.
constexpr int kParentDepth = 4;
constexpr qsizetype kChildLevel = 4;

} // namespace

QString clsAcBuLevelCodeMaint::GetSQL_Level() const {
    const QString area = m_frmOwner ? m_frmOwner->LevelType() : QString();
    return QStringLiteral("Select distinct CS_AREA, CS_COA, CS_PARENTLEVEL, CS_PARENTCODE, S1.SODESC as "
                          "CS_PARENTCODEDESC,") +
           QStringLiteral(" CS_CHILDLEVEL, CS_CHILDCODE , S2.SODESC as CO_CHILDDESC") +
           QStringLiteral(" from CS_LEVELHIER ") + QStringLiteral(" left outer join CS_SOURCE S1") +
           QStringLiteral(" on CS_LEVELHIER.CS_PARENTLEVEL = S1.SOLEVEL and CS_LEVELHIER.CS_PARENTCODE = "
                          "S1.SOCODE and CS_LEVELHIER.CS_AREA = S1.SOAREA") +
           QStringLiteral(" left outer join CS_SOURCE S2") +
           QStringLiteral(" on CS_LEVELHIER.CS_CHILDLEVEL = S2.SOLEVEL and CS_LEVELHIER.CS_CHILDCODE = "
                          "S2.SOCODE and CS_LEVELHIER.CS_AREA = S2.SOAREA") +
           QStringLiteral(" Where CS_AREA = ") + SqlText(area) +
           FilterCondition(QStringLiteral(" and CS_CHILDCODE = ")) +
           QStringLiteral(" Order by CS_COA, CS_PARENTLEVEL, CS_PARENTCODE, CS_CHILDLEVEL, CS_CHILDCODE");
}

const HierarchyTable* clsAcBuLevelCodeMaint::Hierarchy() const {
    return &LevelHier();
}

Existence clsAcBuLevelCodeMaint::RecordExists(const QString& area, const QString& chart,
                                              const QString& parentLevel, const QString& parentCode,
                                              const QString& childLevel, const QString& childCode) const {
    const QStringList values{area, chart, parentLevel, parentCode, childLevel, childCode};
    QList<qsizetype> ignored;
    for (qsizetype c = 2; c < 4; ++c)
        if (values[c].isEmpty())
            ignored << c;
    if (childLevel.isEmpty() || childCode.isEmpty())
        ignored << kChildLevel << kChildLevel + 1;
    return LevelHier().Exists(values, ignored);
}

std::optional<QString> clsAcBuLevelCodeMaint::GetChildCodeSaveSQL(const QString& chart,
                                                                  const QString& parentLevel,
                                                                  const QString& parentCode,
                                                                  const QString& childLevel,
                                                                  const QString& childCode) const {
    const QString area = m_frmOwner ? m_frmOwner->LevelType() : QString();
    return LevelHier().AddEntry({area, chart, parentLevel, parentCode, childLevel, childCode}, kParentDepth);
}

// Below the root a chart of account or business level (node 1), below it a parent level (2), a parent
// code (3) and the child (4). The parents are the selected node's, as stored; the new values are the
// entry's.
bool clsAcBuLevelCodeMaint::EntryToAdd(qint32 selected, NewEntry& entry) const {
    const CodeKeyParts k = m_frmOwner->StoredKeyParts();
    const CodeEntryValues e = m_frmOwner->EntryValues();
    const QString area = m_frmOwner->LevelType();
    const qint16 type = m_frmOwner->MaintenanceType();
    switch (selected) {
    case 0:
        entry.values = {area, e.values.COA};
        entry.message = type == 4 || type == 5 ? QStringLiteral("Business Level already exists")
                                               : QStringLiteral("Chart of Account already exists");
        entry.title = QStringLiteral("Duplicate Account");
        if (type == 4 || type == 5)
            entry.description =
                m_frmOwner->MaintenanceDescription().remove(QStringLiteral(" Level Code Maintenance"));
        break;
    case 1:
        entry.values = {area, k.COA, e.values.level};
        entry.message = QStringLiteral("Level already exists within current Account");
        entry.title = QStringLiteral("Duplicate Level");
        break;
    case 2:
        entry.values = {area, k.COA, k.level, e.values.Code};
        entry.message = QStringLiteral("Code already exists within current Level");
        entry.title = QStringLiteral("Duplicate Code");
        entry.description = e.codeDescription;
        break;
    case 3:
        entry.values = {area, k.COA, k.level, k.Code, e.values.ChildLevel, e.values.ChildCode};
        entry.message = QStringLiteral("Child Code already exists within current Parent Code");
        entry.title = QStringLiteral("Duplicate Code");
        entry.description = e.childDescription;
        break;
    default:
        return false;
    }
    entry.nodeType = selected + 1;
    entry.parentDepth = selected == 3 ? kParentDepth : static_cast<int>(entry.values.size()) - 1;
    // A child code occurs once under its parent code, whatever its level.
    if (selected == 3)
        entry.ignored = {kChildLevel};
    return true;
}

bool clsAcBuLevelCodeMaint::EntryToDelete(qint32 selected, Entry& entry) const {
    // How many values name the entry of each node type.
    static constexpr int kDepth[] = {0, 2, 3, 4, 6};
    if (selected < 1 || selected > 4)
        return false;
    const CodeKeyParts k = m_frmOwner->StoredKeyParts();
    const QString area = m_frmOwner->LevelType();
    entry.values =
        QStringList{area, k.COA, k.level, k.Code, k.ChildLevel, k.ChildCode}.mid(0, kDepth[selected]);
    entry.nodeType = selected;
    entry.parentDepth = selected == 4 ? kParentDepth : static_cast<int>(entry.values.size()) - 1;
    // A child goes whatever its level, as its node does not tell its level apart.
    if (selected == 4)
        entry.ignored = {kChildLevel};
    return true;
}

Existence clsAcBuLevelCodeMaint::Conflict(const NewEntry& entry) const {
    if (entry.nodeType != 4)
        return Existence::Absent;
    const QStringList& v = entry.values;
    const LevelHierarchyWalk::Code child{v[4], v[5]};
    // The walk answers the ancestors as the hierarchy stores them, padded or not: a code is the same
    // with or without trailing blanks, as the walk's own look-ups take it.
    const auto same = [&child](const LevelHierarchyWalk::Code& c) {
        return LevelHierarchyWalk::Same(c, child);
    };
    bool circle = same({v[2], v[3]});
    if (!circle) {
        // The walk is led by the parent as stored.
        LevelHierarchyWalk walk(v[0], v[1]);
        std::vector<LevelHierarchyWalk::Code> ancestors;
        if (!walk.Ancestors({v[2], v[3]}, ancestors))
            return Existence::Failed;
        circle = std::any_of(ancestors.begin(), ancestors.end(), same);
    }
    return circle ? Existence::Present : Existence::Absent;
}

CodeKeyParts clsAcBuLevelCodeMaint::KeyPartsOf(const QStringList& values) const {
    return {values.value(1), {}, values.value(2), values.value(3), values.value(4), values.value(5)};
}

bool clsAcBuLevelCodeMaint::MaintRangeOfAccountHier(const QStringList& values, bool attach) {
    if (values.size() < 6)
        return false;
    const RangeTable* table = RangesOf(values[0]);
    if (!table)
        return true;
    // The chart (for business units and areas the business level) is the same for child and parent.
    const QString& chart = values[1];
    const RangeCopy child(*table, {chart, values[4], values[5]});
    if (attach)
        return child.Attach(*table, {chart, values[2], values[3]});
    // The parent code, its ancestors and their multipliers and categories keep what another code still
    // gives them.
    // The levels Detaching read belong to this delete only.
    const QStringList levels = m_detachedLevels.isEmpty() ? QStringList{values[4]} : m_detachedLevels;
    m_detachedLevels.clear();
    LevelRangeRemoval removal(values[0], chart, *table, values[0] == QLatin1String("AC"));
    return removal.Left({values[2], values[3]}, values[5], levels);
}

bool clsAcBuLevelCodeMaint::Detaching(const Entry& entry) {
    m_detachedLevels.clear();
    return !Hierarchy() ||
           Hierarchy()->ColumnValues(entry.values, entry.ignored, kChildLevel, m_detachedLevels);
}
