#include "codemaint/frmCodeMaintenance.h"

#include "codemaint/CodeNodes.h"
#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "codemaint/clsAcMultiCategoryCodeMaint.h"
#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"
#include "services/MaintTree.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "services/frmLookup.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringBuilder>
#include <QVBoxLayout>
#include <initializer_list>
#include <optional>

namespace {

void SetVisible(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* w : widgets)
        w->setVisible(visible);
}

void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* w : widgets)
        w->setEnabled(enabled);
}

} // namespace

frmCodeMaintenance::frmCodeMaintenance(QWidget* parent) : MaintenanceWindow(MaintenanceTypes::Code, parent) {
    setObjectName("frmCodeMaintenance");
    BuildControls();
}

frmCodeMaintenance::~frmCodeMaintenance() = default;

QGroupBox* frmCodeMaintenance::BuildFrame(int i, std::vector<QWidget*>& tabOrder) {
    auto* frame = new QGroupBox;
    // Columns: caption, box, its "..." and the description, which takes the width the frame gains with
    // the window.
    enum { Caption, Box, Lookup, Description };
    QGridLayout* grid = FrameGrid(frame, Description);
    // One row: caption, box and lookup button, with the description beside them where there is one.
    struct Row {
        QLabel* caption;
        EntryBox* box;
        QPushButton* lookup;
        QLabel* description;
    };
    int top = 0;
    const auto row = [&](const QString& text, bool described) {
        Row r{new QLabel(text), KeyBox(), LookupButton(), described ? DescriptionLabel() : nullptr};
        grid->addWidget(r.caption, top, Caption);
        grid->addWidget(r.box, top, Box);
        grid->addWidget(r.lookup, top, Lookup);
        if (r.description)
            grid->addWidget(r.description, top, Description);
        ++top;
        tabOrder.insert(tabOrder.end(), {r.box, r.lookup});
        return r;
    };
    const Row chart = row(QStringLiteral("Chart Of Account:"), false);
    lblCOAccount[i] = chart.caption;
    txtCOAccount[i] = chart.box;
    cmdCOAccount[i] = chart.lookup;
    if (i == 0) {
        const Row multi = row(QString(), true);
        lblMulti = multi.caption;
        txtMulti = multi.box;
        cmdMulti = multi.lookup;
        lblMultiDesc = multi.description;
    }
    const Row level = row(i == 0 ? QStringLiteral("Level:") : QStringLiteral("Parent Level:"), false);
    lblParentLevel[i] = level.caption;
    txtParentLevel[i] = level.box;
    cmdParentLevel[i] = level.lookup;
    const Row code = row(i == 0 ? QStringLiteral("Code:") : QStringLiteral("Parent Code:"), true);
    lblParentCode[i] = code.caption;
    txtParentCode[i] = code.box;
    cmdParentCode[i] = code.lookup;
    lblParentCodeDesc[i] = code.description;
    if (i == 1) {
        const Row childLevel = row(QStringLiteral("Child Level:"), false);
        lblChildLevel = childLevel.caption;
        txtChildLevel = childLevel.box;
        cmdChildLevel = childLevel.lookup;
        const Row childCode = row(QStringLiteral("Child Code:"), true);
        lblChildCode = childCode.caption;
        txtChildCode = childCode.box;
        cmdChildCode = childCode.lookup;
        lblChildCodeDesc = childCode.description;
    }
    CmdSaveAdd[i] = new QPushButton(QStringLiteral("Save && Add"));
    CmdSaveAdd[i]->setToolTip(QStringLiteral("Save and ready to add next code"));
    grid->addWidget(CmdSaveAdd[i], top, Box);
    tabOrder.push_back(CmdSaveAdd[i]);
    KeepRowsInPlace(grid);
    return frame;
}

void frmCodeMaintenance::BuildControls() {
    // Each row's box, then its lookup button, top to bottom.
    std::vector<QWidget*> tabOrder;
    BuildPanes(QStringLiteral(" Code Selection:"), [this, &tabOrder] {
        auto* vsRightCodeMaint = new QWidget;
        QVBoxLayout* panel = EntryPanelLayout(vsRightCodeMaint);
        for (int i = 0; i < 2; ++i) {
            fralevelCode[i] = BuildFrame(i, tabOrder);
            panel->addWidget(fralevelCode[i]);
        }
        panel->addStretch(1);
        return vsRightCodeMaint;
    });
    SetEntryTabOrder(tabOrder);

    connect(txtChildLevel, &QLineEdit::textChanged, this, [this] { txtChildLevel_Change(); });
    connect(trvMaintenance, &MaintTree::NodeClick, this,
            [this](TreeNode* node) { trvMaintenance_NodeClick(node); });
    connect(trvMaintenance, &MaintTree::MouseUp, this, &frmCodeMaintenance::trvMaintenance_MouseUp);
    for (int i = 0; i < 2; ++i) {
        connect(cmdCOAccount[i], &QPushButton::clicked, this, [this, i] { cmdCOAccount_Click(i); });
        connect(cmdParentLevel[i], &QPushButton::clicked, this, [this, i] { cmdParentLevel_Click(i); });
        connect(cmdParentCode[i], &QPushButton::clicked, this, [this, i] { cmdParentCode_Click(i); });
        connect(CmdSaveAdd[i], &QPushButton::clicked, this, [this, i] { CmdSaveAdd_Click(i); });
    }
    connect(cmdMulti, &QPushButton::clicked, this, [this] { cmdMulti_Click(); });
    connect(cmdChildLevel, &QPushButton::clicked, this, [this] { cmdChildLevel_Click(); });
    connect(cmdChildCode, &QPushButton::clicked, this, [this] { cmdChildCode_Click(); });
}

QString frmCodeMaintenance::FilterText() const {
    return TxtFilterAccount->text();
}

void frmCodeMaintenance::Form_Load() {
    SetMaintenanceCaption();
    CreateMaintenanceObjects();
    m_clsGenMaint->InitializeTree(*trvMaintenance);
    SetFieldsIndex();
    InitializeFields();
    if (gMainForm) {
        gMainForm->ActiveInsert(false);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(false);
    }
    LoadMaintenanceTree();
    NewRecord = false;
    DelRecord = false;
}

void frmCodeMaintenance::SetMaintenanceCaption() {
    LoadCommon();
}

void frmCodeMaintenance::Form_Unload() {
    ReleaseMaintenanceObjects();
    m_rsMain = Recordset();
    MaintenanceWindow::Form_Unload();
}

void frmCodeMaintenance::CreateMaintenanceObjects() {
    m_clsGenMaint = std::make_unique<clsGenericMaint>();
    const qint16 type = MaintenanceType();
    if (type == 1 || type == 2) {
        auto engine = std::make_unique<clsAcMultiCategoryCodeMaint>();
        engine->OwnerForm(this);
        engine->SetCodeMaintTableName(type);
        m_clsMaintenanceType = std::move(engine);
    } else if (type >= 3 && type <= 5) {
        m_clsMaintenanceType = std::make_unique<clsAcBuLevelCodeMaint>();
        m_clsMaintenanceType->OwnerForm(this);
    }
}

void frmCodeMaintenance::UseEngine(std::unique_ptr<CodeEngine> engine) {
    m_clsMaintenanceType = std::move(engine);
    if (m_clsMaintenanceType)
        m_clsMaintenanceType->OwnerForm(this);
}

void frmCodeMaintenance::ReleaseMaintenanceObjects() {
    m_clsMaintenanceType.reset();
    // The tree's nodes stay until the window goes; only the services object is released.
    m_clsGenMaint.reset();
}

void frmCodeMaintenance::SetFieldsIndex() {
    const qint16 type = MaintenanceType();
    if (type == 1 || type == 2)
        m_intFieldsIndex = 0;
    else if (type >= 3 && type <= 5)
        m_intFieldsIndex = 1;
}

void frmCodeMaintenance::InitializeFields() {
    const int i = m_intFieldsIndex;
    for (EntryBox* box :
         {txtCOAccount[i], txtParentLevel[i], txtParentCode[i], txtChildLevel, txtChildCode, txtMulti})
        box->setReadOnly(true);
    SetVisible(
        {lblCOAccount[i],   txtCOAccount[i],  cmdCOAccount[i],  txtParentLevel[i], lblParentLevel[i],
         cmdParentLevel[i], lblParentCode[i], txtParentCode[i], cmdParentCode[i],  lblParentCodeDesc[i],
         txtChildLevel,     lblChildLevel,    cmdChildLevel,    txtChildCode,      lblChildCode,
         lblChildCodeDesc,  cmdChildCode,     lblMulti,         txtMulti,          lblMultiDesc,
         cmdMulti,          CmdSaveAdd[i]},
        false);
    SetFrameVisibility(false, false);
    // A pending insert (Apply) ends as when the user cancels it: the key fields and their buttons on
    // again, nothing selected.
    if (NewRecord)
        CancelInsert();
    m_intNodeType = 0;

    const qint16 type = MaintenanceType();
    if (type < 1 || type > 5)
        return;
    // The type's frame keeps its place at the top of the panel while it is hidden.
    KeepPlaceWhenHidden(fralevelCode[i]);
    const QString description = MaintenanceDescription();
    if (type <= 2) {
        fralevelCode[i]->setTitle(QString(description).remove(QStringLiteral("Code Maintenance")).trimmed());
        lblMulti->setText(type == 1 ? QStringLiteral("Multiplier:") : QStringLiteral("Categories:"));
        return;
    }
    fralevelCode[i]->setTitle(QString(description).remove(QStringLiteral("Maintenance")).trimmed());
    lblCOAccount[i]->setText(type == 3 ? QStringLiteral("Chart Of Account:")
                                       : QStringLiteral("Business Level:"));
    // Once for the life of the window; Apply lays the panel out again.
    if (!txtParentCode[i]->validator())
        SetNumericOnly(txtParentCode[i]);
}

QString frmCodeMaintenance::TreeStatement() const {
    return m_clsMaintenanceType ? m_clsMaintenanceType->TreeStatement() : QString();
}

void frmCodeMaintenance::PopulateCodeMaintTree() {
    for (QString* s :
         {&strcurAccount, &strcurMutiCat, &strcurLevel, &strcurCode, &strcurChildLevel, &strcurChildCode})
        s->clear();
    const bool multiCategory = MaintenanceType() <= 2;
    PopulateTree(
        m_rsMain, [this, multiCategory] { multiCategory ? WalkMultiCategoryRows() : WalkLevelRows(); },
        QStringLiteral("frmCodeMaintenance:PopulateCodeMaintTree"));
}

// The first step of every turn of both walks: a row without chart of account is passed over, and a new
// chart of account adds its node and clears the values below it. Answers whether the turn ended there.
// Each node shows its values without trailing blanks and keeps its first row's key as stored.
bool frmCodeMaintenance::AccountTurn(const Field& account, const QString& description) {
    const QString value = TrimRight(account.Text());
    if (value.isEmpty()) {
        m_rsMain.MoveNext();
        return true;
    }
    if (value == strcurAccount)
        return false;
    strcurAccount = value;
    for (QString* s : {&strcurMutiCat, &strcurLevel, &strcurCode, &strcurChildCode})
        s->clear();
    CodeNodes::Entry(*m_clsGenMaint, *trvMaintenance, strcurRoot, MaintenanceType(), 1, {account.Text()},
                     description, false);
    return true;
}

// Rows come ordered by chart of account, multiplier or category, level and code; each node is added when
// its path first occurs. Rows that only hold an entry's place (blanks below it) add nothing below it.
void frmCodeMaintenance::WalkMultiCategoryRows() {
    Recordset& rs = m_rsMain;
    MaintTree& tree = *trvMaintenance;
    clsGenericMaint& gm = *m_clsGenMaint;
    const qint16 type = MaintenanceType();
    const bool multipliers = type == 1;
    const Field account = rs.Fields(QStringLiteral("CS_COA"));
    const Field multiCategory =
        rs.Fields(multipliers ? QStringLiteral("CS_MULTIPLIER") : QStringLiteral("CS_CATEGORY"));
    const Field multiCategoryDesc =
        rs.Fields(multipliers ? QStringLiteral("MULDESC") : QStringLiteral("CAT_DESC"));
    const Field level = rs.Fields(QStringLiteral("CS_LEVEL"));
    const Field code = rs.Fields(QStringLiteral("CS_CODE"));
    const Field codeDesc = rs.Fields(QStringLiteral("SODESC"));
    while (!rs.IsEOF()) {
        if (AccountTurn(account, QString()))
            continue;
        const CodeKeyParts row{account.Text(), multiCategory.Text(), level.Text(), code.Text()};
        const QString multiCategoryValue = TrimRight(row.MultiCategory);
        if (multiCategoryValue != strcurMutiCat) {
            strcurMutiCat = multiCategoryValue;
            strcurLevel.clear();
            strcurCode.clear();
            CodeNodes::Entry(gm, tree, strcurRoot, type, 3, row, TrimRight(multiCategoryDesc.Text()), false);
            continue;
        }
        const QString levelValue = TrimRight(row.level);
        if (levelValue != strcurLevel) {
            strcurLevel = levelValue;
            strcurCode.clear();
            CodeNodes::Entry(gm, tree, strcurRoot, type, 2, row, {}, false);
            continue;
        }
        const QString codeValue = TrimRight(row.Code);
        if (codeValue != strcurCode) {
            strcurCode = codeValue;
            CodeNodes::Entry(gm, tree, strcurRoot, type, 4, row, TrimRight(codeDesc.Text()), false);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

// Rows come ordered by chart of account, parent level, parent code, child level and child code. A child
// code is shown once under its parent code, at the first child level it comes with.
void frmCodeMaintenance::WalkLevelRows() {
    Recordset& rs = m_rsMain;
    MaintTree& tree = *trvMaintenance;
    clsGenericMaint& gm = *m_clsGenMaint;
    const qint16 type = MaintenanceType();
    const QString accountDesc =
        type >= 4 ? QString(MaintenanceDescription()).remove(QStringLiteral(" Level Code Maintenance"))
                  : QString();
    const Field account = rs.Fields(QStringLiteral("CS_COA"));
    const Field parentLevel = rs.Fields(QStringLiteral("CS_PARENTLEVEL"));
    const Field parentCode = rs.Fields(QStringLiteral("CS_PARENTCODE"));
    const Field parentCodeDesc = rs.Fields(QStringLiteral("CS_PARENTCODEDESC"));
    const Field childLevel = rs.Fields(QStringLiteral("CS_CHILDLEVEL"));
    const Field childCode = rs.Fields(QStringLiteral("CS_CHILDCODE"));
    const Field childDesc = rs.Fields(QStringLiteral("CO_CHILDDESC"));
    while (!rs.IsEOF()) {
        if (AccountTurn(account, accountDesc))
            continue;
        const CodeKeyParts row{account.Text(),  {}, parentLevel.Text(), parentCode.Text(), childLevel.Text(),
                               childCode.Text()};
        const QString levelValue = TrimRight(row.level);
        if (levelValue != strcurLevel) {
            strcurLevel = levelValue;
            strcurCode.clear();
            strcurChildCode.clear();
            CodeNodes::Entry(gm, tree, strcurRoot, type, 2, row, {}, false);
            continue;
        }
        const QString codeValue = TrimRight(row.Code);
        if (codeValue != strcurCode) {
            strcurCode = codeValue;
            strcurChildCode.clear();
            CodeNodes::Entry(gm, tree, strcurRoot, type, 3, row, TrimRight(parentCodeDesc.Text()), false);
            continue;
        }
        const QString childCodeValue = TrimRight(row.ChildCode);
        if (childCodeValue != strcurChildCode) {
            strcurChildCode = childCodeValue;
            strcurChildLevel = TrimRight(row.ChildLevel);
            // The same child code at a later child level comes after other children: it is not a second
            // node.
            if (!strcurChildCode.isEmpty() && !tree.Node(CodeNodes::EntryKey(strcurRoot, type, 4, row)))
                CodeNodes::Entry(gm, tree, strcurRoot, type, 4, row, childDesc.Text().trimmed(), false);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

TreeNode* frmCodeMaintenance::AddNode_MultiCategoryLevel(MaintTree& trvMaint, const QString& root,
                                                         const QString& Account, const QString& MultiCategory,
                                                         const QString& Level, bool NewRecord) {
    return CodeNodes::MultiCategoryLevel(*m_clsGenMaint, trvMaint, root, Account, MultiCategory, Level,
                                         NewRecord);
}

TreeNode* frmCodeMaintenance::AddNode_MultiCategoryCode(MaintTree& trvMaint, const QString& root,
                                                        const QString& Account, const QString& MultiCategory,
                                                        const QString& Level, const QString& Code,
                                                        const QString& CodeDesc, bool NewRecord) {
    return CodeNodes::MultiCategoryCode(*m_clsGenMaint, trvMaint, root, Account, MultiCategory, Level, Code,
                                        CodeDesc, NewRecord);
}

TreeNode* frmCodeMaintenance::AddNode_ChildLevelCode(MaintTree& trvMaint, const QString& root,
                                                     const QString& Account, const QString& ParentLevel,
                                                     const QString& ParentCode, const QString& ChildLevel,
                                                     const QString& ChildCode, const QString& ChildDesc,
                                                     bool NewRecord) {
    return CodeNodes::ChildLevelCode(*m_clsGenMaint, trvMaint, root, Account, ParentLevel, ParentCode,
                                     ChildLevel, ChildCode, ChildDesc, NewRecord);
}

void frmCodeMaintenance::SetFrameVisibility(bool frame0, bool frame1) {
    fralevelCode[0]->setVisible(frame0);
    fralevelCode[1]->setVisible(frame1);
}

void frmCodeMaintenance::SetChartRowVisible(bool visible) {
    const int i = m_intFieldsIndex;
    SetVisible({lblCOAccount[i], txtCOAccount[i], cmdCOAccount[i]}, visible);
}

void frmCodeMaintenance::SetMultiRowVisible(bool visible) {
    SetVisible({lblMulti, txtMulti, lblMultiDesc, cmdMulti}, visible);
}

void frmCodeMaintenance::SetLevelRowVisible(bool visible) {
    const int i = m_intFieldsIndex;
    SetVisible({lblParentLevel[i], txtParentLevel[i], cmdParentLevel[i]}, visible);
}

void frmCodeMaintenance::SetCodeRowVisible(bool visible) {
    const int i = m_intFieldsIndex;
    SetVisible({lblParentCode[i], txtParentCode[i], lblParentCodeDesc[i], cmdParentCode[i]}, visible);
}

void frmCodeMaintenance::SetChildRowsVisible(bool visible) {
    SetVisible({lblChildLevel, txtChildLevel, cmdChildLevel, lblChildCode, txtChildCode, lblChildCodeDesc,
                cmdChildCode},
               visible);
}

void frmCodeMaintenance::ShowChartOfAccountFields() {
    SetChartRowVisible(true);
    txtCOAccount[m_intFieldsIndex]->setReadOnly(true);
    SetMultiRowVisible(false);
    SetLevelRowVisible(false);
    SetCodeRowVisible(false);
    SetChildRowsVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->hide();
}

void frmCodeMaintenance::ShowMultiplierFields() {
    SetChartRowVisible(true);
    SetMultiRowVisible(true);
    SetLevelRowVisible(false);
    SetCodeRowVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->hide();
}

void frmCodeMaintenance::ShowLevelFields() {
    SetChartRowVisible(true);
    if (MaintenanceType() <= 2)
        SetMultiRowVisible(true);
    SetLevelRowVisible(true);
    txtParentLevel[m_intFieldsIndex]->setReadOnly(true);
    SetCodeRowVisible(false);
    SetChildRowsVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->hide();
}

void frmCodeMaintenance::ShowCodeFields(bool showLevel) {
    SetChartRowVisible(true);
    SetLevelRowVisible(showLevel);
    SetCodeRowVisible(true);
    SetChildRowsVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->setVisible(MaintenanceType() <= 2);
}

void frmCodeMaintenance::ShowAllFields(bool showLevel) {
    SetChartRowVisible(true);
    if (MaintenanceType() <= 2)
        SetMultiRowVisible(true);
    SetLevelRowVisible(showLevel);
    SetCodeRowVisible(true);
    SetChildRowsVisible(true);
    CmdSaveAdd[m_intFieldsIndex]->show();
}

bool frmCodeMaintenance::FieldsChanged() const {
    const int i = m_intFieldsIndex;
    return txtCOAccount[i]->DataChanged || txtParentCode[i]->DataChanged || txtParentLevel[i]->DataChanged ||
           txtChildCode->DataChanged || txtMulti->DataChanged;
}

void frmCodeMaintenance::EnableParentFields(bool Enabled) {
    const int i = m_intFieldsIndex;
    const bool multiCategory = MaintenanceType() <= 2;
    switch (gNodeType) {
    case 1:
        SetEnabled({txtCOAccount[i], cmdCOAccount[i]}, Enabled);
        break;
    case 2:
        SetEnabled({txtCOAccount[i], cmdCOAccount[i], txtParentLevel[i], cmdParentLevel[i]}, Enabled);
        if (multiCategory)
            SetEnabled({txtMulti, lblMultiDesc, cmdMulti}, Enabled);
        break;
    case 3:
        SetEnabled({txtCOAccount[i], cmdCOAccount[i]}, Enabled);
        if (multiCategory)
            SetEnabled({txtMulti, lblMultiDesc, cmdMulti}, Enabled);
        else
            SetEnabled({txtParentLevel[i], cmdParentLevel[i], txtParentCode[i], cmdParentCode[i]}, Enabled);
        break;
    default:
        break;
    }
}

void frmCodeMaintenance::EnableKeyFields(bool Enabled) {
    const int i = m_intFieldsIndex;
    SetEnabled({txtCOAccount[i], cmdCOAccount[i], txtParentLevel[i], cmdParentLevel[i], txtParentCode[i],
                lblParentCodeDesc[i], cmdParentCode[i], txtChildCode, lblChildCodeDesc, cmdChildCode,
                txtMulti, lblMultiDesc, cmdMulti},
               Enabled);
}

void frmCodeMaintenance::txtChildLevel_Change() {
    txtChildCode->setText(QString());
    lblChildCodeDesc->setText(QString());
}

void frmCodeMaintenance::SetNodeType(qint32 type) {
    m_intNodeType = type;
    PublishNodeType();
}

CodeEntryValues frmCodeMaintenance::EntryValues() const {
    const int i = m_intFieldsIndex;
    return {{txtCOAccount[i]->text(), txtMulti->text(), txtParentLevel[i]->text(), txtParentCode[i]->text(),
             txtChildLevel->text(), txtChildCode->text()},
            lblMultiDesc->text(),
            lblParentCodeDesc[i]->text(),
            lblChildCodeDesc->text()};
}

void frmCodeMaintenance::EnableNew(bool enable) {
    if (gMainForm)
        gMainForm->ActiveInsert(enable);
}

void frmCodeMaintenance::EnableDelete(bool enable) {
    if (gMainForm)
        gMainForm->ActiveDelete(enable);
}

void frmCodeMaintenance::PublishNodeType() {
    gNodeType = m_intNodeType;
}

void frmCodeMaintenance::CancelInsert() {
    NewRecord = false;
    EnableKeyFields(true);
    if (gMainForm)
        gMainForm->ActiveSave(false);
}

bool frmCodeMaintenance::trvMaintenance_NodeClick(TreeNode* Node) {
    if (!Node)
        return false;
    if (NewRecord) {
        TreeNode* previous = trvMaintenance->Node(m_strLastNodeKey);
        if (FieldsChanged()) {
            gMsgResponse = QString::number(MsgBox(QStringLiteral("Do you want to cancel insert?"),
                                                  vbYesNo + vbQuestion, QStringLiteral("Cancel Insert")));
            // Kept only while there is a node to go back to.
            if (gMsgResponse.toInt() != vbYes && previous) {
                trvMaintenance->SetSelectedItem(previous);
                return false;
            }
        }
        CancelInsert();
    }
    trvMaintenance->SetSelectedItem(Node);
    m_strLastNodeKey = Node->Key();
    const qint16 type = MaintenanceType();
    if (type == 1 || type == 2)
        SetFrameVisibility(true, false);
    else if (type >= 3 && type <= 5)
        SetFrameVisibility(false, true);
    else
        return true;
    ShowNode(Node);
    return true;
}

// Every value comes from what the node was built from, never from its text, so a code holding ":" or
// " - " is read whole.
void frmCodeMaintenance::ShowNode(TreeNode* Node) {
    const QString& tag = Node->Tag();
    const int nodeType =
        tag.size() == 1 && tag >= QLatin1String("0") && tag <= QLatin1String("4") ? tag.toInt() : -1;
    if (nodeType < 0) {
        m_intNodeType = 0;
        PublishNodeType();
        InitializeFields();
        return;
    }
    m_intNodeType = nodeType;
    PublishNodeType();
    m_storedKey = CodeNodes::StoredParts(*Node, MaintenanceType());
    if (gMainForm) {
        gMainForm->ActiveInsert(nodeType != 4);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(nodeType != 0 && Node->ChildCount() == 0);
    }
    const int i = m_intFieldsIndex;
    const NodeInfo& info = Node->Info();
    const NodeInfo parent = Node->Parent() ? Node->Parent()->Info() : NodeInfo();
    const bool multiCategory = MaintenanceType() <= 2;
    switch (nodeType) {
    case 0:
        SetFrameVisibility(false, false);
        return;
    case 1:
        ShowChartOfAccountFields();
        break;
    case 2:
        ShowLevelFields();
        break;
    case 3:
        if (multiCategory)
            ShowMultiplierFields();
        else
            ShowCodeFields(true);
        break;
    default:
        ShowAllFields(true);
        break;
    }
    txtCOAccount[i]->setText(info.account);
    m_COA = info.account.trimmed();
    if (nodeType == 1)
        return;
    if (multiCategory) {
        txtMulti->setText(nodeType == 3 ? info.code : info.multiCategory);
        m_MultiCategory = txtMulti->text().trimmed();
        // The multiplier's description is on its own node: the node itself, or one or two levels up.
        const TreeNode* multiplier = Node;
        while (multiplier && multiplier->Tag() != QLatin1String("3"))
            multiplier = multiplier->Parent();
        lblMultiDesc->setText(multiplier ? multiplier->Info().description : QString());
        if (nodeType == 3)
            return;
    }
    txtParentLevel[i]->setText(info.level);
    m_level = info.level.trimmed();
    if (nodeType == 2)
        return;
    txtParentCode[i]->setText(info.code);
    lblParentCodeDesc[i]->setText(nodeType == 3 || multiCategory ? info.description : parent.description);
    m_Code = info.code.trimmed();
    if (multiCategory) {
        m_COA = txtCOAccount[i]->text();
        m_MultiCategory = txtMulti->text();
        return;
    }
    if (nodeType == 3)
        return;
    // The child level first: a new child level clears the child code.
    txtChildLevel->setText(info.childLevel);
    txtChildCode->setText(info.childCode);
    lblChildCodeDesc->setText(info.description);
    m_ChildLevel = info.childLevel.trimmed();
    m_ChildCode = info.childCode.trimmed();
}

void frmCodeMaintenance::trvMaintenance_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers,
                                                const QPoint& point) {
    if (Button != Qt::RightButton)
        return;
    TreeNode* node = trvMaintenance->HitTest(point);
    if (!node || !trvMaintenance_NodeClick(node) || !gMainForm)
        return;
    const QString& tag = node->Tag();
    const bool entry = tag == QLatin1String("1") || tag == QLatin1String("2") || tag == QLatin1String("3") ||
                       tag == QLatin1String("4");
    gMainForm->ActiveDelete(entry && node->ChildCount() == 0);
    gMainForm->ActiveInsert(tag != QLatin1String("4") && (entry || tag == QLatin1String("0")));
    gMainForm->ActiveSync(false);
    gMainForm->mnuRightSubMenu->popup(trvMaintenance->viewport()->mapToGlobal(point));
}

qint16 frmCodeMaintenance::GetLevelNumber(const QString& level) {
    const QString digits = QString(level).remove(QLatin1Char('L'), Qt::CaseSensitive).trimmed();
    if (digits.isEmpty() || digits.size() > 5)
        return 0;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    const int n = digits.toInt();
    return n <= 32767 ? static_cast<qint16>(n) : 0;
}

QString frmCodeMaintenance::GetNextLevelCode(const QString& CurrentLevel) {
    const qint16 n = GetLevelNumber(CurrentLevel);
    // The last level has no next one.
    if (n < 1 || n == 32767) {
        MsgBox(QLatin1Char('\'') + CurrentLevel + QStringLiteral("' is not a valid Level"), vbExclamation);
        return {};
    }
    return QLatin1Char('L') + QString::number(n + 1);
}

std::optional<bool> frmCodeMaintenance::FindsRow(const QString& sql, const QString& location) {
    Recordset rs = GetRecordset(sql);
    if (rs.IsNothing()) {
        RangeEngine::FailLookup(location);
        return std::nullopt;
    }
    const bool found = rs.RecordCount() > 0;
    rs.Close();
    return found;
}

void frmCodeMaintenance::Insert() {
    PublishNodeType();
    NewRecord = true;
    if (gMainForm)
        gMainForm->ActiveSave(true);
    const int i = m_intFieldsIndex;
    const bool multiCategory = MaintenanceType() <= 2;
    EntryBox* focus = nullptr;
    switch (m_intNodeType) {
    case 0:
        SetFrameVisibility(multiCategory, !multiCategory);
        ShowChartOfAccountFields();
        focus = txtCOAccount[i];
        break;
    case 1:
        if (multiCategory) {
            ShowMultiplierFields();
            lblMultiDesc->clear();
            focus = txtMulti;
        } else {
            ShowCodeFields(true);
            ShowLevelFields();
            focus = txtParentLevel[i];
        }
        break;
    case 2:
        ShowCodeFields(true);
        lblParentCodeDesc[i]->clear();
        focus = txtParentCode[i];
        break;
    case 3:
        if (multiCategory) {
            ShowLevelFields();
            focus = txtParentLevel[i];
            break;
        }
        ShowAllFields(true);
        txtChildLevel->clear();
        txtChildCode->clear();
        lblChildCodeDesc->clear();
        txtChildCode->setEnabled(true);
        txtChildLevel->setEnabled(true);
        // The next level is proposed only where the area's dictionary has it.
        if (const QString next = GetNextLevelCode(txtParentLevel[i]->text());
            !next.isEmpty() &&
            LevelDefined(next, QStringLiteral("frmCodeMaintenance:insert")).value_or(false))
            txtChildLevel->setText(next);
        txtChildLevel->setFocus();
        break;
    default:
        break;
    }
    if (focus) {
        focus->clear();
        focus->setEnabled(true);
        focus->setFocus();
    }
    EnableParentFields(false);
}

void frmCodeMaintenance::Save() {
    SaveEntry();
}

bool frmCodeMaintenance::SaveEntry() {
    PublishNodeType();
    if (!NewRecord)
        return true;
    std::optional<MousePointer> hourglass(std::in_place);
    if (!ValidateEntry())
        return false;
    const bool saved = m_clsMaintenanceType && m_clsMaintenanceType->Save();
    hourglass.reset();
    if (!saved) {
        // The entry stays as the user picked it, so a corrected Save writes it.
        ErrorHandler::Tell(QStringLiteral("Item could not be added. Accept Cancelled"), vbCritical,
                           QStringLiteral("Error"));
        return false;
    }
    // The engine has selected the node it added and moved the node type on.
    m_intNodeType = gNodeType;
    if (TreeNode* added = trvMaintenance->SelectedItem())
        m_strLastNodeKey = added->Key();
    NewRecord = false;
    if (gMainForm)
        gMainForm->ActiveSave(false);
    EnableKeyFields(true);
    return true;
}

void frmCodeMaintenance::CmdSaveAdd_Click(int) {
    if (!SaveEntry())
        return;
    TreeNode* selected = trvMaintenance->SelectedItem();
    if (selected && selected->Tag() == QLatin1String("4") && selected->Parent()) {
        trvMaintenance->SetSelectedItem(selected->Parent());
        m_strLastNodeKey = selected->Parent()->Key();
        m_intNodeType = selected->Parent()->Tag().toInt();
    }
    Insert();
}

void frmCodeMaintenance::Delete() {
    PublishNodeType();
    if (NewRecord)
        CancelInsert();
    DelRecord = true;
    gMsgResponse = QString::number(MsgBox(QStringLiteral("Do you want to delete selected item?"),
                                          vbYesNo + vbQuestion, QStringLiteral("Delete")));
    if (gMsgResponse.toInt() != vbYes) {
        DelRecord = false;
        return;
    }
    std::optional<MousePointer> hourglass(std::in_place);
    const bool deleted = m_clsMaintenanceType && m_clsMaintenanceType->Delete();
    hourglass.reset();
    if (!deleted)
        ErrorHandler::Tell(QStringLiteral("Item cannot be deleted. Delete cancelled"), vbExclamation,
                           QStringLiteral("Error"));
}

bool frmCodeMaintenance::ValidateEntry() {
    const int i = m_intFieldsIndex;
    const qint16 type = MaintenanceType();
    const auto check = [](bool ok, QWidget* focus) {
        if (!ok && focus)
            focus->setFocus();
        return ok;
    };
    switch (m_intNodeType) {
    case 0:
        return check(m_clsGenMaint->validateAccount(txtCOAccount[i]->text().trimmed(), type),
                     txtCOAccount[i]);
    case 1:
        if (type == 1)
            return check(m_clsGenMaint->validateMulptCode(txtMulti->text().trimmed()), txtMulti);
        if (type == 2)
            return check(m_clsGenMaint->validateCategories(txtMulti->text().trimmed()), txtMulti);
        return check(m_clsGenMaint->validateLevel(txtParentLevel[i]->text().trimmed(), type, LevelType()),
                     txtParentLevel[i]);
    case 2:
        return check(m_clsGenMaint->ValidateLevelCode(txtParentLevel[i]->text().trimmed(),
                                                      txtParentCode[i]->text().trimmed(), LevelType()),
                     txtParentCode[i]);
    case 3:
        if (type <= 2)
            return check(m_clsGenMaint->validateLevel(txtParentLevel[i]->text().trimmed(), type, LevelType()),
                         txtParentLevel[i]);
        return ValidateChildCode();
    default:
        return false;
    }
}

std::optional<bool> frmCodeMaintenance::LevelDefined(const QString& level, const QString& location) const {
    return FindsRow(QStringLiteral("Select DISTINCT SOLEVEL from CS_SOURCE where SOLEVEL = ") +
                        SqlText(level) + QStringLiteral(" and SOAREA = ") + SqlText(LevelType()),
                    location);
}

bool frmCodeMaintenance::Refuse(QWidget* box, const QString& message) {
    MsgBox(message, vbExclamation, QStringLiteral("Error"));
    box->setFocus();
    return false;
}

bool frmCodeMaintenance::ValidateChildLevel() {
    const QString level = txtChildLevel->text().trimmed();
    if (level.isEmpty())
        return Refuse(txtChildLevel, QStringLiteral("Child Level cannot be blank "));
    const std::optional<bool> known =
        LevelDefined(level, QStringLiteral("frmCodeMaintenance:ValidateChildLevel"));
    if (!known)
        return false;
    bool valid = *known || Refuse(txtChildLevel, QStringLiteral("It's not a valid Child Level"));
    if (GetLevelNumber(level) <= GetLevelNumber(txtParentLevel[m_intFieldsIndex]->text().trimmed()))
        valid = Refuse(txtChildLevel, QStringLiteral("Child Level must be greater than Parent Level"));
    return valid;
}

bool frmCodeMaintenance::ValidateChildCode() {
    if (!ValidateChildLevel())
        return false;
    const QString code = txtChildCode->text().trimmed();
    if (code.isEmpty())
        return Refuse(txtChildCode, QStringLiteral("Child Code cannot be blank "));
    const std::optional<bool> known =
        FindsRow(QStringLiteral("Select DISTINCT SOCODE from CS_SOURCE where SOCODE = ") + SqlText(code) +
                     QStringLiteral(" and SOAREA = ") + SqlText(LevelType()) +
                     QStringLiteral(" and SOLEVEL = ") + SqlText(txtChildLevel->text()),
                 QStringLiteral("frmCodeMaintenance:ValidateChildCode"));
    return known && (*known || Refuse(txtChildCode, QStringLiteral("It's not a valid Level Code")));
}

std::unique_ptr<frmLookup> frmCodeMaintenance::NewLookup() {
    gLookupOK = true;
    return std::make_unique<frmLookup>();
}

bool frmCodeMaintenance::ShowLookup(frmLookup& lookup) {
    if (gLookupOK)
        lookup.Show();
    return lookup.m_OK && !lookup.m_colSelection.isEmpty();
}

void frmCodeMaintenance::AddDependencyRows(frmLookup& lookup, bool codes) const {
    const auto row = [&](const char* table, const char* code, const char* area, const char* level) {
        lookup.m_DependencyTable << QString::fromLatin1(table);
        lookup.m_DependencyFldCode << (codes ? QString::fromLatin1(code) : QString());
        lookup.m_DependencyFldArea << QString::fromLatin1(area);
        lookup.m_DependencyFldlevel << QString::fromLatin1(level);
    };
    const qint16 type = MaintenanceType();
    if (type == 4 || type == 5) {
        row("CS_BA_BU_LEVELS", "SO_CODE", "SO_AREA", "SO_LEVELS");
    } else {
        row("CS_COA_ACCT_RANGE", "CO_CODE", "", "CO_LEVEL");
        row("CS_MULTIPLIERHIER", "CS_CODE", "CS_AREA", "CS_LEVEL");
        row("CS_CATEGORYHIER", "CS_CODE", "CS_AREA", "CS_LEVEL");
    }
    // The level hierarchies use the codes of every area.
    row("CS_LEVELHIER", "CS_PARENTCODE", "CS_AREA", "CS_PARENTLEVEL");
    row("CS_LEVELHIER", "CS_CHILDCODE", "CS_AREA", "CS_CHILDLEVEL");
}

void frmCodeMaintenance::SetLevelLookup(frmLookup& lookup) const {
    lookup.m_colHideFieldNames = {"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};
    lookup.m_colFieldNames = {"SOLEVEL"};
    lookup.m_colColumnNames = {"Level"};
    lookup.m_strTableName = QStringLiteral("CS_SOURCE");
    AddDependencyRows(lookup, false);
    lookup.m_strCaption = QStringLiteral("Table Lookup of Level");
    lookup.m_strFilter = QStringLiteral("SOAREA = ") + SqlText(LevelType());
    lookup.m_strLevelType = LevelType();
    lookup.m_Lookuplevel = true;
}

// A level box of blanks counts as filled: the list then holds the codes of the empty level.
void frmCodeMaintenance::SetCodeLookup(frmLookup& lookup, const QString& level) const {
    lookup.m_colHideFieldNames = {"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};
    lookup.m_colFieldNames = {"SOCODE", "SODESC"};
    lookup.m_colColumnNames = {"Code", "Description"};
    lookup.m_strTableName = QStringLiteral("CS_SOURCE");
    AddDependencyRows(lookup, true);
    lookup.m_strCaption = QStringLiteral("Table Lookup of Code");
    lookup.m_strFilter = QStringLiteral(" SOAREA = ") + SqlText(LevelType());
    if (!level.isEmpty())
        lookup.m_strFilter += QStringLiteral(" and SOLEVEL = ") + SqlText(level.trimmed());
    lookup.m_strLevelType = LevelType();
    lookup.m_LookupCode = true;
}

void frmCodeMaintenance::cmdCOAccount_Click(int Index) {
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    const qint16 type = MaintenanceType();
    if (type == 4 || type == 5) {
        lookup->m_strTableName = QStringLiteral("CS_SOURCE");
        lookup->m_colFieldNames = {SqlText(LevelType())};
        lookup->m_colColumnNames = {"Business Level"};
        lookup->m_strCaption = QStringLiteral("Table Lookup of Business Level");
    } else {
        lookup->m_strTableName = QStringLiteral("CHART_OF_ACCOUNT");
        lookup->m_colFieldNames = {"BUSINESS_UNIT_ID", "BUSINESS_UNIT_NM"};
        lookup->m_colColumnNames = {"Chart Of Account", "Description"};
        lookup->m_strCaption = QStringLiteral("Table Lookup of Chart Of Account");
    }
    // A pick-only list: the dialog loads here, and a list that cannot be read is not shown.
    lookup->cmdClear()->setEnabled(false);
    lookup->cmdAdd()->setEnabled(false);
    lookup->cmdDelete()->setEnabled(false);
    lookup->txtCode()->setReadOnly(true);
    if (ShowLookup(*lookup))
        txtCOAccount[Index]->setText(lookup->m_colSelection.value(0));
}

void frmCodeMaintenance::cmdMulti_Click() {
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    const qint16 type = MaintenanceType();
    // Only the multiplier and category hierarchies have this row.
    if (type != 1 && type != 2)
        return;
    if (type == 1) {
        lookup->m_strTableName = QStringLiteral("CS_MULTIPLIER");
        lookup->m_colFieldNames = {"MULPT", "MULDESC"};
        lookup->m_colColumnNames = {"Multiplier", "Description"};
        lookup->m_strFilter = QStringLiteral(" CS_MULTIPLIER.MULPT LIKE 'M%'");
        lookup->m_strCaption = QStringLiteral("Table Lookup of Multiplier");
        lookup->cmdClear()->setEnabled(false);
        lookup->cmdDelete()->setEnabled(false);
        lookup->txtCode()->setReadOnly(true);
        lookup->txtDesc()->setReadOnly(true);
    } else {
        lookup->m_strTableName = QStringLiteral("CS_CAT_DESC");
        lookup->m_colFieldNames = {"CAT_CODE", "CAT_DESC"};
        lookup->m_colColumnNames = {"Category", "Description"};
        lookup->m_strCaption = QStringLiteral("Table Lookup of Categories");
        // The hierarchy names its categories too.
        for (const auto& [table, code] :
             {std::pair{"CS_CAT_TYPE", "CAT_TYP_CD"}, {"CS_CATEGORYHIER", "CS_CATEGORY"}}) {
            lookup->m_DependencyTable << QString::fromLatin1(table);
            lookup->m_DependencyFldCode << QString::fromLatin1(code);
            lookup->m_DependencyFldArea << QString();
            lookup->m_DependencyFldlevel << QString();
        }
    }
    lookup->m_LookupCode = true;
    if (ShowLookup(*lookup)) {
        txtMulti->setText(lookup->m_colSelection.value(0));
        lblMultiDesc->setText(lookup->m_colSelection.value(1));
    }
}

void frmCodeMaintenance::cmdParentLevel_Click(int Index) {
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    SetLevelLookup(*lookup);
    if (ShowLookup(*lookup))
        txtParentLevel[Index]->setText(lookup->m_colSelection.value(0));
}

void frmCodeMaintenance::cmdChildLevel_Click() {
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    SetLevelLookup(*lookup);
    if (!ShowLookup(*lookup))
        return;
    txtChildLevel->setText(lookup->m_colSelection.value(0));
    txtChildCode->setFocus();
}

void frmCodeMaintenance::cmdParentCode_Click(int Index) {
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    SetCodeLookup(*lookup, txtParentLevel[Index]->text());
    lookup->m_strLevel = txtParentLevel[Index]->text();
    if (ShowLookup(*lookup)) {
        txtParentCode[Index]->setText(lookup->m_colSelection.value(0));
        lblParentCodeDesc[Index]->setText(lookup->m_colSelection.value(1));
    }
}

void frmCodeMaintenance::cmdChildCode_Click() {
    // Only the level hierarchies have this row.
    if (MaintenanceType() < 3 || MaintenanceType() > 5)
        return;
    const std::unique_ptr<frmLookup> lookup = NewLookup();
    SetCodeLookup(*lookup, txtChildLevel->text());
    lookup->m_strLevel = txtChildLevel->text().trimmed();
    if (ShowLookup(*lookup)) {
        txtChildCode->setText(lookup->m_colSelection.value(0));
        lblChildCodeDesc->setText(lookup->m_colSelection.value(1));
    }
}
