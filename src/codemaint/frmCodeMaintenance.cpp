#include "codemaint/frmCodeMaintenance.h"

#include "codemaint/clsAcBuLevelCodeMaint.h"
#include "codemaint/clsAcMultiCategoryCodeMaint.h"
#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "services/MaintTree.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStringBuilder>
#include <QVBoxLayout>
#include <initializer_list>

namespace {

const QString kTagLevel = QStringLiteral("2");
const QString kTagLeaf = QStringLiteral("4");

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

QGroupBox* frmCodeMaintenance::BuildFrame(int i) {
    auto* frame = new QGroupBox;
    const auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    };
    // One row: caption, box and lookup button, with the description beside them where there is one.
    struct Row {
        QLabel* caption;
        EntryBox* box;
        QPushButton* lookup;
        QLabel* description;
    };
    int top = 300;
    const auto row = [&](const QString& text, bool described) {
        Row r{new QLabel(text, frame), new EntryBox(frame), new QPushButton(QStringLiteral("..."), frame),
              described ? new QLabel(frame) : nullptr};
        place(r.caption, 120, top + 30, 2200, 285);
        place(r.box, 2400, top, 1800, 315);
        place(r.lookup, 4260, top, 375, 315);
        if (r.description)
            place(r.description, 4740, top + 30, 3300, 285);
        top += 420;
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
    CmdSaveAdd[i] = new QPushButton(QStringLiteral("Save && Add"), frame);
    place(CmdSaveAdd[i], 2400, top, 1800, 315);
    CmdSaveAdd[i]->setToolTip(QStringLiteral("Save and ready to add next code"));
    frame->setFixedHeight(Twips(top + 500));
    return frame;
}

void frmCodeMaintenance::BuildControls() {
    auto* vsMain = new QSplitter(Qt::Horizontal, this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(vsMain);

    vsMain->addWidget(BuildTreePane(QStringLiteral(" Code Selection:")));

    // The entry panel keeps the positions of its layout numbers, so its children are placed by hand.
    auto* vsRightCodeMaint = new QWidget;
    for (int i = 0; i < 2; ++i) {
        fralevelCode[i] = BuildFrame(i);
        fralevelCode[i]->setParent(vsRightCodeMaint);
        fralevelCode[i]->setGeometry(Twips(120), Twips(460), Twips(8160), fralevelCode[i]->height());
    }
    vsRightCodeMaint->setMinimumSize(Twips(8400), Twips(460) + fralevelCode[1]->height() + Twips(240));
    vsMain->addWidget(vsRightCodeMaint);
    vsMain->setStretchFactor(0, 1);
    vsMain->setStretchFactor(1, 1);
    // The panel needs no more than its minimum; the tree takes the rest.
    vsMain->setSizes({Twips(6000), Twips(8400)});

    connect(txtChildLevel, &QLineEdit::textChanged, this, [this] { txtChildLevel_Change(); });
}

QSize frmCodeMaintenance::sizeHint() const {
    return {Twips(14400), Twips(7200)};
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
    NewRecord = false;

    const qint16 type = MaintenanceType();
    if (type < 1 || type > 5)
        return;
    fralevelCode[i]->move(fralevelCode[i]->x(), Twips(460));
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

void frmCodeMaintenance::LoadMaintenanceTree() {
    m_rsMain = Recordset();
    // An editor opened without a warehouse has nothing to show and nothing to complain about.
    if (gDBConnection.State() != 1)
        return;
    m_rsMain = GetMainRecordset();
    if (m_rsMain.IsNothing())
        return;
    PopulateCodeMaintTree();
    m_rsMain.Close();
}

Recordset frmCodeMaintenance::GetMainRecordset() {
    const QString sql = m_clsMaintenanceType ? m_clsMaintenanceType->TreeStatement() : QString();
    if (sql.trimmed().isEmpty())
        return Recordset();
    return GetRecordset(sql);
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
    m_clsGenMaint->AddNode_ChartOfAccount(*trvMaintenance, strcurRoot, strcurAccount, description, false);
    return true;
}

// Rows come ordered by chart of account, multiplier or category, level and code; each node is added when
// its path first occurs. Rows that only hold an entry's place (blanks below it) add nothing below it.
void frmCodeMaintenance::WalkMultiCategoryRows() {
    Recordset& rs = m_rsMain;
    MaintTree& tree = *trvMaintenance;
    clsGenericMaint& gm = *m_clsGenMaint;
    const bool multipliers = MaintenanceType() == 1;
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
        const QString multiCategoryValue = TrimRight(multiCategory.Text());
        if (multiCategoryValue != strcurMutiCat) {
            strcurMutiCat = multiCategoryValue;
            strcurLevel.clear();
            strcurCode.clear();
            gm.AddNode_CodCat(tree, strcurRoot, strcurAccount, QString(), strcurMutiCat,
                              TrimRight(multiCategoryDesc.Text()), false, m_intMaintenanceType);
            continue;
        }
        const QString levelValue = TrimRight(level.Text());
        if (levelValue != strcurLevel) {
            strcurLevel = levelValue;
            strcurCode.clear();
            AddNode_MultiCategoryLevel(tree, strcurRoot, strcurAccount, strcurMutiCat, strcurLevel, false);
            continue;
        }
        const QString codeValue = TrimRight(code.Text());
        if (codeValue != strcurCode) {
            strcurCode = codeValue;
            AddNode_MultiCategoryCode(tree, strcurRoot, strcurAccount, strcurMutiCat, strcurLevel, strcurCode,
                                      TrimRight(codeDesc.Text()), false);
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
    const QString accountDesc =
        MaintenanceType() >= 4
            ? QString(MaintenanceDescription()).remove(QStringLiteral(" Level Code Maintenance"))
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
        const QString levelValue = TrimRight(parentLevel.Text());
        if (levelValue != strcurLevel) {
            strcurLevel = levelValue;
            strcurCode.clear();
            strcurChildCode.clear();
            gm.AddNode_Level(tree, strcurRoot, strcurAccount, strcurLevel, false);
            continue;
        }
        const QString codeValue = TrimRight(parentCode.Text());
        if (codeValue != strcurCode) {
            strcurCode = codeValue;
            strcurChildCode.clear();
            gm.AddNode_CodCat(tree, strcurRoot, strcurAccount, strcurLevel, strcurCode,
                              TrimRight(parentCodeDesc.Text()), false, m_intMaintenanceType);
            continue;
        }
        const QString childCodeValue = TrimRight(childCode.Text());
        if (childCodeValue != strcurChildCode) {
            strcurChildCode = childCodeValue;
            strcurChildLevel = TrimRight(childLevel.Text());
            // The same child code at a later child level comes after other children: it is not a second
            // node.
            if (!strcurChildCode.isEmpty() &&
                !tree.Node(clsGenericMaint::BuildLevelKey(strcurRoot, strcurAccount, strcurLevel, strcurCode,
                                                          strcurChildCode, QString())))
                AddNode_ChildLevelCode(tree, strcurRoot, strcurAccount, strcurLevel, strcurCode,
                                       strcurChildLevel, strcurChildCode, childDesc.Text().trimmed(), false);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

TreeNode* frmCodeMaintenance::AddNode_MultiCategoryLevel(MaintTree& trvMaint, const QString& root,
                                                         const QString& Account, const QString& MultiCategory,
                                                         const QString& Level, bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryLevel;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    return m_clsGenMaint->AddNode(trvMaint,
                                  clsGenericMaint::BuildKey(root, Account, MultiCategory, {}, {}, {}),
                                  clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}),
                                  Level, TreeImages::Level, kTagLevel, false, NewRecord, std::move(info),
                                  QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryLevel"));
}

TreeNode* frmCodeMaintenance::AddNode_MultiCategoryCode(MaintTree& trvMaint, const QString& root,
                                                        const QString& Account, const QString& MultiCategory,
                                                        const QString& Level, const QString& Code,
                                                        const QString& CodeDesc, bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryCode;
    info.root = root;
    info.account = Account;
    info.multiCategory = MultiCategory;
    info.level = Level;
    info.code = Code;
    info.description = CodeDesc;
    return m_clsGenMaint->AddNode(
        trvMaint, clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, {}, {}),
        clsGenericMaint::BuildKey(root, Account, MultiCategory, Level, Code, {}),
        Code % QLatin1Char(':') % CodeDesc, TreeImages::ChildCode, kTagLeaf, false, NewRecord,
        std::move(info), QStringLiteral("frmCodeMaintenance:AddNode_MultiCategoryCode"));
}

TreeNode* frmCodeMaintenance::AddNode_ChildLevelCode(MaintTree& trvMaint, const QString& root,
                                                     const QString& Account, const QString& ParentLevel,
                                                     const QString& ParentCode, const QString& ChildLevel,
                                                     const QString& ChildCode, const QString& ChildDesc,
                                                     bool NewRecord) {
    NodeInfo info;
    info.kind = NodeKind::ChildLevelCode;
    info.root = root;
    info.account = Account;
    info.level = ParentLevel;
    info.code = ParentCode;
    info.childLevel = ChildLevel;
    info.childCode = ChildCode;
    info.description = ChildDesc;
    return m_clsGenMaint->AddNode(
        trvMaint, clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, {}, {}),
        clsGenericMaint::BuildLevelKey(root, Account, ParentLevel, ParentCode, ChildCode, {}),
        ChildLevel % QLatin1String(" - ") % ChildCode % QLatin1Char(':') % ChildDesc, TreeImages::ChildCode,
        kTagLeaf, false, NewRecord, std::move(info),
        QStringLiteral("frmCodeMaintenance:AddNode_ChildLevelCode"));
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
