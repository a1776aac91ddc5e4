#include "services/clsGenericMaint.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/Recordset.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"

#include <QStringBuilder>
#include <algorithm>

namespace {

const QString kTagRoot = QStringLiteral("0");
const QString kTagChartOfAccount = QStringLiteral("1");
const QString kTagLevel = QStringLiteral("2");
const QString kTagCode = QStringLiteral("3");
const QString kTagLeaf = QStringLiteral("4");

// A key as a person can read it in the log.
QString shownKey(QStringView key) {
    QString shown = key.toString();
    shown.replace(clsGenericMaint::KeySeparator, QLatin1Char('|'));
    return shown;
}

// A parent key is only looked up, never kept, so it is built in one buffer that every add reuses, without
// allocating. Only the parent look-up at the start of AddNode reads it. Parent keys end in empty fields.
QStringView parentKey(const QString& root, const QString& account, const QString& level, const QString& s4,
                      const QString& s5, bool leaveOutEmptyLevel) {
    static QString buffer;
    const bool withLevel = !level.isEmpty() || !leaveOutEmptyLevel;
    const QString* fields[] = {&root, &account, withLevel ? &level : &s4, withLevel ? &s4 : &s5,
                               withLevel ? &s5 : nullptr};
    qsizetype length = 6;
    for (const QString* field : fields)
        length += field ? field->size() : 0;
    buffer.resize(length);
    QChar* out = buffer.data();
    for (const QString* field : fields) {
        if (field) {
            std::copy(field->cbegin(), field->cend(), out);
            out += field->size();
        }
        *out++ = clsGenericMaint::KeySeparator;
    }
    *out = clsGenericMaint::KeySeparator;
    return buffer;
}

} // namespace

void clsGenericMaint::ExpandCurrent(bool bExpand, MaintTree& trvMaint) {
    TreeNode* node = trvMaint.SelectedItem();
    if (!node)
        return;
    // Repainted once at the end rather than once per node.
    trvMaint.setUpdatesEnabled(false);
    ExpandNode(node, bExpand);
    trvMaint.SetExpanded(node, bExpand);
    trvMaint.EnsureVisible(node);
    trvMaint.setUpdatesEnabled(true);
    trvMaint.SetSelectedItem(node);
}

void clsGenericMaint::ExpandNode(TreeNode* nodeParent, bool bExpand) {
    MaintTree* tree = nodeParent ? nodeParent->Tree() : nullptr;
    if (!tree)
        return;
    // Descendants before their parent.
    for (int row = 0; row < nodeParent->ChildCount(); ++row) {
        TreeNode* child = nodeParent->Child(row);
        ExpandNode(child, bExpand);
        tree->SetExpanded(child, bExpand);
    }
}

void clsGenericMaint::InitializeTree(MaintTree& trvMaint) {
    trvMaint.Clear();
}

TreeNode* clsGenericMaint::AddNode_Root(MaintTree& trvMaint, const QString& root) {
    NodeInfo info;
    info.kind = NodeKind::Root;
    info.root = root;
    return AddNode(trvMaint, QStringView(), BuildKey(root, {}, {}, {}, {}, {}), root, TreeImages::Root,
                   kTagRoot, true, false, std::move(info), QStringLiteral("clsGenericMaint:AddNode_Root"));
}

TreeNode* clsGenericMaint::AddNode_ChartOfAccount(MaintTree& trvMaint, const QString& root,
                                                  const QString& Account, const QString& Desc, bool NewRecord,
                                                  std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::ChartOfAccount;
    info.root = root;
    info.account = Account;
    info.description = Desc;
    info.SetStored(stored);
    const QString text = Desc.isEmpty() ? Account : Account % QLatin1Char(':') % Desc;
    return AddNode(trvMaint, parentKey(root, {}, {}, {}, {}, false), BuildKey(root, Account, {}, {}, {}, {}),
                   text, TreeImages::ChartOfAccount, kTagChartOfAccount, true, NewRecord, std::move(info),
                   QStringLiteral("clsGenericMaint:AddNode_ChartOfAccount"));
}

TreeNode* clsGenericMaint::AddNode_Level(MaintTree& trvMaint, const QString& root, const QString& Account,
                                         const QString& Level, bool NewRecord,
                                         std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::Level;
    info.root = root;
    info.account = Account;
    info.level = Level;
    info.SetStored(stored);
    return AddNode(trvMaint, parentKey(root, Account, {}, {}, {}, false),
                   BuildKey(root, Account, Level, {}, {}, {}), Level, TreeImages::Level, kTagLevel, false,
                   NewRecord, std::move(info), QStringLiteral("clsGenericMaint:AddNode_Level"));
}

TreeNode* clsGenericMaint::AddNode_CodCat(MaintTree& trvMaint, const QString& root, const QString& Account,
                                          const QString& Level, const QString& CodCat, const QString& Desc,
                                          bool NewRecord, int m_intMaintenanceType,
                                          std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::CodCat;
    info.root = root;
    info.account = Account;
    info.level = Level;
    info.code = CodCat;
    info.description = Desc;
    info.SetStored(stored);
    const QString& image = m_intMaintenanceType == 1   ? TreeImages::Multiplier
                           : m_intMaintenanceType == 2 ? TreeImages::Categories
                                                       : TreeImages::Code;
    return AddNode(trvMaint, parentKey(root, Account, Level, {}, {}, true),
                   BuildLevelKey(root, Account, Level, CodCat, {}, {}), CodCat % QLatin1Char(':') % Desc,
                   image, kTagCode, false, NewRecord, std::move(info),
                   QStringLiteral("clsGenericMaint:AddNode_CodCat"));
}

TreeNode* clsGenericMaint::AddNode_RangeAccount(MaintTree& trvMaint, const QString& root,
                                                const QString& Account, const QString& Level,
                                                const QString& Code, const QString& Fr_Account,
                                                const QString& ToAccount, bool NewRecord,
                                                std::optional<NodeRowKey> stored) {
    NodeInfo info;
    info.kind = NodeKind::RangeAccount;
    info.root = root;
    info.account = Account;
    info.level = Level;
    info.code = Code;
    info.fromAccount = Fr_Account;
    info.toAccount = ToAccount;
    info.SetStored(stored);
    return AddNode(trvMaint, parentKey(root, Account, Level, Code, {}, true),
                   BuildLevelKey(root, Account, Level, Code, Fr_Account, ToAccount),
                   Fr_Account % QLatin1String(" - ") % ToAccount, TreeImages::RangeAccount, kTagLeaf, false,
                   NewRecord, std::move(info), QStringLiteral("clsGenericMaint:AddNode_RangeAccount"));
}

TreeNode* clsGenericMaint::AddNode_ChildCode(MaintTree& trvMaint, const QString& root, const QString& Account,
                                             const QString& Level, const QString& ParentCode,
                                             const QString& ChildCode, const QString& ChildDesc,
                                             bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::ChildCode;
    info.root = root;
    info.account = Account;
    info.level = Level;
    info.code = ParentCode;
    info.childCode = ChildCode;
    info.description = ChildDesc;
    return AddNode(trvMaint, parentKey(root, Account, Level, ParentCode, {}, true),
                   BuildLevelKey(root, Account, Level, ParentCode, ChildCode, {}),
                   ChildCode % QLatin1Char(':') % ChildDesc, TreeImages::ChildCode, kTagLeaf, false,
                   NewRecord, std::move(info), QStringLiteral("clsGenericMaint:AddNode_ChildCode"));
}

namespace {

// What the user has just added is selected and shown, even under a collapsed parent.
void showSelected(MaintTree& tree, TreeNode* node) {
    tree.SetSelectedItem(node);
    tree.EnsureVisible(node);
}

} // namespace

TreeNode* clsGenericMaint::AddNode(MaintTree& trvMaint, QStringView parentKey, QString key, QString text,
                                   const QString& image, const QString& tag, bool expanded, bool selected,
                                   NodeInfo info, const QString& location) {
    TreeNode* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = trvMaint.Node(parentKey);
        if (!parent) {
            Err().Raise(MaintTree::ElementNotFound,
                        "Element not found: no node has the parent key " % shownKey(parentKey),
                        QStringLiteral("clsGenericMaint"));
            ErrorHandler::Fail(location);
            return nullptr;
        }
    }
    const QString wanted = key;
    TreeNode* node =
        trvMaint.Add(parent, std::move(key), std::move(text), tag, image, std::move(info), expanded);
    if (!node) {
        TreeNode* holder = wanted.isEmpty() ? nullptr : trvMaint.Node(wanted);
        if (holder)
            Err().Raise(MaintTree::KeyNotUnique, "Key is not unique in collection: " % shownKey(wanted),
                        QStringLiteral("clsGenericMaint"));
        ErrorHandler::Fail(location);
        if (holder && selected)
            showSelected(trvMaint, holder);
        return holder;
    }
    if (selected)
        showSelected(trvMaint, node);
    return node;
}

QString clsGenericMaint::ShownValue(const QString& stored) {
    qsizetype n = stored.size();
    while (n > 0 && stored.at(n - 1) == QLatin1Char(' '))
        --n;
    return n == stored.size() ? stored : stored.left(n);
}

QString clsGenericMaint::BuildKey(const QString& s1, const QString& s2, const QString& s3, const QString& s4,
                                  const QString& s5, const QString& s6) {
    return s1 % KeySeparator % s2 % KeySeparator % s3 % KeySeparator % s4 % KeySeparator % s5 % KeySeparator %
           s6 % KeySeparator;
}

QString clsGenericMaint::BuildLevelKey(const QString& root, const QString& account, const QString& level,
                                       const QString& s4, const QString& s5, const QString& s6) {
    if (level.isEmpty())
        return BuildKey(root, account, s4, s5, s6, QString());
    return BuildKey(root, account, level, s4, s5, s6);
}

void clsGenericMaint::AddtoProgressBar() {
    if (ProgressPacer* load = ProgressPacer::Current())
        load->Step();
}

void clsGenericMaint::CalculateYieldCount(qint32 lcMaxValue) {
    ::CalculateYieldCount(lcMaxValue);
}

namespace {

// The existence query of a check: true when it finds a row; the not-found message otherwise. A query
// that cannot be opened has already been shown by GetRecordset; it answers false without a second
// message and logs the database's error.
bool existsOrTell(const QString& sql, const QString& notFound, int style, const QString& location) {
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK)
        return ErrorHandler::Fail(location);
    const bool found = rs.RecordCount() > 0;
    rs.Close();
    if (!found)
        MsgBox(notFound, style, "Error");
    return found;
}

bool blank(const QString& value, const QString& message) {
    if (!value.isEmpty())
        return false;
    MsgBox(message, vbExclamation, "Error");
    return true;
}

} // namespace

bool clsGenericMaint::validateAccount(const QString& Account, int MaintType) {
    if (blank(Account, "Account cannot be blank"))
        return false;
    // The business-level editors pass a business level here, not a chart of account.
    if (MaintType == 4 || MaintType == 5)
        return true;
    return existsOrTell("select DISTINCT BUSINESS_UNIT_ID from CHART_OF_ACCOUNT where BUSINESS_UNIT_ID = '" +
                            FixQuotes(Account) + "'",
                        "It's not a valid Account", vbExclamation, "clsGenericMaint:validateAccount");
}

bool clsGenericMaint::validateLevel(const QString& Level, int /*MaintType*/, const QString& LvlType) {
    if (blank(Level, "Level cannot be blank"))
        return false;
    return existsOrTell(QString("Select DISTINCT SOLEVEL from CS_SOURCE where ") + "SOLEVEL = '" +
                            FixQuotes(Level) + "' and SOAREA = '" + FixQuotes(LvlType) + "'",
                        "It's not a valid Level", vbExclamation, "clsGenericMaint:validateLevel");
}

bool clsGenericMaint::validateCategories(const QString& Category) {
    if (blank(Category, "Category cannot be blank"))
        return false;
    return existsOrTell("Select DISTINCT CAT_CODE from CS_CAT_DESC where CAT_CODE = '" + FixQuotes(Category) +
                            "'",
                        "It's not a valid Category", vbCritical, "clsGenericMaint:validateCategories");
}

bool clsGenericMaint::validateMulptCode(const QString& Multiplier) {
    if (blank(Multiplier, "Multiplier cannot be blank"))
        return false;
    return existsOrTell("Select DISTINCT MULPT from CS_MULTIPLIER where MULPT = '" + FixQuotes(Multiplier) +
                            "'",
                        "It's not a valid Multiplier", vbExclamation, "clsGenericMaint:validateMulptCode");
}

bool clsGenericMaint::ValidateLevelCode(const QString& Level, const QString& Code, const QString& LvlType) {
    if (blank(Code, "Level Code cannot be blank"))
        return false;
    return existsOrTell(QString("Select DISTINCT SOCODE from CS_SOURCE where ") + "SOCODE = '" +
                            FixQuotes(Code) + "' and " + "SOAREA = '" + FixQuotes(LvlType) + "' and " +
                            "SOLEVEL = '" + FixQuotes(Level) + "'",
                        "It's not a valid Level Code", vbExclamation, "clsGenericMaint:ValidateLevelCode");
}
