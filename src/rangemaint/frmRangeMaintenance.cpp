#include "rangemaint/frmRangeMaintenance.h"

#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/EntryBox.h"
#include "platform/MousePointer.h"
#include "platform/UserDialogs.h"
#include "rangemaint/clsAcCategoriesRangeMaint.h"
#include "rangemaint/clsAcLevelRangeMaint.h"
#include "rangemaint/clsAcMultiplierRangeMaint.h"
#include "rangemaint/clsBuLevelRangeMaint.h"
#include "services/MaintTree.h"
#include "services/ProgressPacer.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

namespace {

const QString kSaveAddRange = QStringLiteral("Save and ready to add next range");

} // namespace

frmRangeMaintenance::frmRangeMaintenance(QWidget* parent)
    : MaintenanceWindow(MaintenanceTypes::Range, parent) {
    setObjectName("frmRangeMaintenance");
    BuildControls();
}

frmRangeMaintenance::~frmRangeMaintenance() = default;

QGroupBox* frmRangeMaintenance::BuildFieldGroup(int i) {
    auto* frame = new QGroupBox;
    const auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    };
    const auto label = [&](const QString& text, int top, int left = 120, int width = 2200) {
        auto* l = new QLabel(text, frame);
        place(l, left, top, width, 285);
        return l;
    };
    const auto box = [&](int top, int left, int width) {
        auto* b = new EntryBox(frame);
        place(b, left, top, width, 315);
        return b;
    };
    const auto button = [&](const QString& text, int top, int left, int width = 375) {
        auto* b = new QPushButton(text, frame);
        place(b, left, top, width, 315);
        return b;
    };
    // Group 1 has a level line between the chart of account and the code.
    const int codeTop = i == 1 ? 1080 : 660;
    const int rangeTop = codeTop + 420;
    lblChartOfAccount[i] = label(QStringLiteral("Chart Of Account:"), 300);
    txtChartOfAccount[i] = box(270, 2400, 1800);
    cmdAccount[i] = button(QStringLiteral("..."), 270, 4260);
    if (i == 1) {
        lblLevel = label(QStringLiteral("Level:"), 720);
        txtLevel = box(690, 2400, 1800);
        cmdLevel = button(QStringLiteral("..."), 690, 4260);
    }
    lblCodCat[i] = label(QStringLiteral("Code:"), codeTop + 30);
    txtcodCat[i] = box(codeTop, 2400, 1800);
    cmdCodCat[i] = button(QStringLiteral("..."), codeTop, 4260);
    lblCodCatDesc[i] = label(QString(), codeTop + 30, 4740, 3600);
    lblRangAccountFr[i] = label(QStringLiteral("Range Of Account From:"), rangeTop + 30);
    txtRangAccountFr[i] = box(rangeTop, 2400, 1800);
    cmdlookupFr[i] = button(QStringLiteral("..."), rangeTop, 4260);
    lblTo[i] = label(QStringLiteral("To:"), rangeTop + 30, 4740, 400);
    txtRangAccountTo[i] = box(rangeTop, 5160, 1800);
    cmdlookupTo[i] = button(QStringLiteral("..."), rangeTop, 7020);
    CmdSaveAdd[i] = button(QStringLiteral("Save && Add"), rangeTop + 420, 2400, 1800);
    CmdSaveAdd[i]->setToolTip(kSaveAddRange);
    frame->setFixedHeight(Twips(rangeTop + 900));
    return frame;
}

void frmRangeMaintenance::BuildControls() {
    auto* vsMain = new QSplitter(Qt::Horizontal, this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(vsMain);

    vsMain->addWidget(BuildTreePane(QStringLiteral(" Account No. Selection:")));

    // The entry panel keeps the positions of its layout numbers, so its children are placed by hand.
    auto* vsRightRangeMaint = new QWidget;
    vsRightRangeMaint->setMinimumSize(Twips(8400), Twips(8400));
    fraCodCat = BuildFieldGroup(0);
    fralevel = BuildFieldGroup(1);
    for (QGroupBox* frame : {fraCodCat, fralevel}) {
        frame->setParent(vsRightRangeMaint);
        frame->setGeometry(Twips(120), Twips(460), Twips(8160), frame->height());
    }
    ChkBlockedAccounts =
        new QCheckBox(QStringLiteral("All accounts including block accounts"), vsRightRangeMaint);
    lstAccountList = new QTreeWidget(vsRightRangeMaint);
    lstAccountList->setRootIsDecorated(false);
    lstAccountList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAccountList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vsMain->addWidget(vsRightRangeMaint);
    // The entry panel keeps its designed width; the tree takes all the width the window has beyond it.
    vsMain->setStretchFactor(0, 1);
    vsMain->setStretchFactor(1, 0);
    vsMain->setCollapsible(0, false);
    vsMain->setHandleWidth(Twips(90));
    // A handle the user can see and grab, whatever the style draws.
    QSplitterHandle* handle = vsMain->handle(1);
    handle->setBackgroundRole(QPalette::Mid);
    handle->setAutoFillBackground(true);

    connect(ChkBlockedAccounts, &QCheckBox::clicked, this, [this] { ChkBlockedAccounts_Click(); });
}

QString frmRangeMaintenance::FilterText() const {
    return TxtFilterAccount->text();
}

bool frmRangeMaintenance::TreeEnabled() const {
    return trvMaintenance->isEnabled();
}

void frmRangeMaintenance::SetTreeEnabled(bool enabled) {
    trvMaintenance->setEnabled(enabled);
}

void frmRangeMaintenance::Form_Load() {
    LoadCommon();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates previous) { Form_Resize(previous); });
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

void frmRangeMaintenance::Form_Resize(Qt::WindowStates previous) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && (sub->isMinimized() || (previous & Qt::WindowMinimized)))
        sub->raise();
}

void frmRangeMaintenance::Form_Unload() {
    ReleaseMaintenanceObjects();
    m_rsMain = Recordset();
    MaintenanceWindow::Form_Unload();
}

void frmRangeMaintenance::CreateMaintenanceObjects() {
    m_clsGenMaint = std::make_unique<clsGenericMaint>();
    switch (MaintenanceType()) {
    case 1:
        m_clsMaintenanceType = std::make_unique<clsAcMultiplierRangeMaint>();
        break;
    case 2:
        m_clsMaintenanceType = std::make_unique<clsAcCategoriesRangeMaint>();
        break;
    case 3:
        m_clsMaintenanceType = std::make_unique<clsAcLevelRangeMaint>();
        break;
    case 4:
    case 5:
        m_clsMaintenanceType = std::make_unique<clsBuLevelRangeMaint>();
        break;
    default:
        return;
    }
    m_clsMaintenanceType->OwnerForm(this);
}

void frmRangeMaintenance::ReleaseMaintenanceObjects() {
    m_clsMaintenanceType.reset();
    // The tree's nodes stay until the window goes; only the services object is released.
    m_clsGenMaint.reset();
}

void frmRangeMaintenance::SetFieldsIndex() {
    switch (MaintenanceType()) {
    case 1:
    case 2:
        m_intFieldsIndex = 0;
        break;
    case 3:
    case 4:
    case 5:
        m_intFieldsIndex = 1;
        break;
    default:
        break;
    }
}

void frmRangeMaintenance::InitializeFields() {
    const int i = m_intFieldsIndex;
    txtChartOfAccount[i]->setReadOnly(true);
    txtcodCat[i]->setReadOnly(true);
    txtLevel->setReadOnly(true);
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblChartOfAccount[i], txtChartOfAccount[i], lblCodCat[i], txtcodCat[i], lblCodCatDesc[i],
             txtLevel, lblLevel, cmdLevel, lblRangAccountFr[i], lblTo[i], txtRangAccountFr[i],
             txtRangAccountTo[i], cmdAccount[i], cmdCodCat[i], cmdlookupFr[i], cmdlookupTo[i], CmdSaveAdd[i]})
        w->hide();
    SetFrameVisibility(false, false);
    NewRecord = false;
    InitializeListView();

    const qint16 type = MaintenanceType();
    if (type < 1 || type > 5)
        return;
    QGroupBox* frame = i == 0 ? fraCodCat : fralevel;
    frame->move(frame->x(), Twips(460));
    if (type <= 2)
        lstAccountList->setGeometry(lstAccountList->x(), Twips(3200), lstAccountList->width(), Twips(4800));
    else
        lstAccountList->setGeometry(lstAccountList->x(), Twips(3700), lstAccountList->width(), Twips(4300));
    frame->setTitle(MaintenanceTypes::TypeName(type));
    if (type <= 3) {
        if (type == 1)
            lblCodCat[i]->setText(QStringLiteral("Multiplier:"));
        else if (type == 2)
            lblCodCat[i]->setText(QStringLiteral("Category:"));
        else {
            lblChartOfAccount[i]->setText(QStringLiteral("Chart Of Account:"));
            lblCodCat[i]->setText(QStringLiteral("Code:"));
        }
        lblRangAccountFr[i]->setText(QStringLiteral("Account Number From:"));
        lblselection->setText(QStringLiteral(" Account No. Selection:"));
    } else {
        const QString prefix =
            QString(MaintenanceDescription()).remove(QStringLiteral(" Level Range Maintenance")).trimmed();
        lblChartOfAccount[i]->setText(QStringLiteral("Business Level:"));
        lblRangAccountFr[i]->setText(prefix + QStringLiteral(" From:"));
        lblselection->setText(prefix + QStringLiteral(" Selection:"));
    }
    // Once for the life of the window; Apply lays the panel out again.
    if (type >= 3 && !txtcodCat[1]->validator())
        SetNumericOnly(txtcodCat[1]);
}

void frmRangeMaintenance::InitializeListView() {
    lstAccountList->setGeometry(Twips(120), Twips(3500), Twips(8160), Twips(4300));
    lstAccountList->setSortingEnabled(false);
    lstAccountList->sortByColumn(0, Qt::AscendingOrder);
    lstAccountList->hide();
    ChkBlockedAccounts->hide();
    CreateColumnHeaders();
}

void frmRangeMaintenance::CreateColumnHeaders() {
    struct Column {
        const char* caption;
        int width;
    };
    std::vector<Column> columns;
    switch (MaintenanceType()) {
    case 1:
        columns = {{"Account No.", 1500}, {"Description", 3500}, {"Value", 3400}};
        break;
    case 2:
        columns = {{"Account No.", 1500}, {"Description", 3000}, {"Category", 1000}, {"Description", 3500}};
        break;
    case 3:
        columns = {{"Account No.", 1500}, {"Description", 3000}, {"Code", 1500}, {"Description", 3000}};
        break;
    case 4:
        columns = {{"Business Unit", 2500}, {"Code", 1500}, {"Description", 4600}};
        break;
    case 5:
        columns = {{"Business Area", 2500}, {"Code", 1500}, {"Description", 4600}};
        break;
    default:
        break;
    }
    QStringList captions;
    for (const Column& c : columns)
        captions << QString::fromLatin1(c.caption);
    lstAccountList->setColumnCount(std::max<int>(1, static_cast<int>(columns.size())));
    lstAccountList->setHeaderLabels(captions);
    lstAccountList->setHeaderHidden(columns.empty());
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        lstAccountList->setColumnWidth(c, Twips(columns[c].width));
    ChkBlockedAccounts->move(Twips(120), lstAccountList->y() - Twips(330));
}

void frmRangeMaintenance::SetFrameVisibility(bool showCodeFrame, bool showLevelFrame) {
    fraCodCat->setVisible(showCodeFrame);
    fralevel->setVisible(showLevelFrame);
    lstAccountList->show();
    const qint16 type = MaintenanceType();
    ChkBlockedAccounts->setVisible(type != 4 && type != 5);
}

void frmRangeMaintenance::SetChartGroupVisible(bool visible) {
    const int i = m_intFieldsIndex;
    lblChartOfAccount[i]->setVisible(visible);
    txtChartOfAccount[i]->setVisible(visible);
    cmdAccount[i]->setVisible(visible);
}

void frmRangeMaintenance::SetLevelGroupVisible(bool visible) {
    lblLevel->setVisible(visible);
    txtLevel->setVisible(visible);
    cmdLevel->setVisible(visible);
}

void frmRangeMaintenance::SetCodeGroupVisible(bool visible) {
    const int i = m_intFieldsIndex;
    lblCodCat[i]->setVisible(visible);
    lblCodCatDesc[i]->setVisible(visible);
    txtcodCat[i]->setVisible(visible);
    cmdCodCat[i]->setVisible(visible);
}

void frmRangeMaintenance::SetRangeGroupVisible(bool visible) {
    const int i = m_intFieldsIndex;
    lblRangAccountFr[i]->setVisible(visible);
    lblTo[i]->setVisible(visible);
    txtRangAccountFr[i]->setVisible(visible);
    txtRangAccountTo[i]->setVisible(visible);
    cmdlookupFr[i]->setVisible(visible);
    cmdlookupTo[i]->setVisible(visible);
}

void frmRangeMaintenance::ShowChartOfAccountFields() {
    SetChartGroupVisible(true);
    SetLevelGroupVisible(false);
    SetCodeGroupVisible(false);
    SetRangeGroupVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->hide();
}

void frmRangeMaintenance::ShowLevelFields() {
    SetChartGroupVisible(true);
    SetLevelGroupVisible(true);
    SetCodeGroupVisible(false);
    SetRangeGroupVisible(false);
    CmdSaveAdd[m_intFieldsIndex]->hide();
}

void frmRangeMaintenance::ShowCodeFields(bool showLevel) {
    SetChartGroupVisible(true);
    SetLevelGroupVisible(showLevel);
    SetCodeGroupVisible(true);
    SetRangeGroupVisible(false);
    QPushButton* saveAdd = CmdSaveAdd[m_intFieldsIndex];
    saveAdd->show();
    switch (MaintenanceType()) {
    case 1:
        saveAdd->setToolTip(QStringLiteral("Save and ready to add next multiplier"));
        break;
    case 2:
        saveAdd->setToolTip(QStringLiteral("Save and ready to add next category"));
        break;
    default:
        saveAdd->setToolTip(QStringLiteral("Save and ready to add next code"));
        break;
    }
    mb_AddCode = true;
    mb_AddRange = false;
}

void frmRangeMaintenance::ShowRangeFields(bool showLevel) {
    SetChartGroupVisible(true);
    SetLevelGroupVisible(showLevel);
    SetCodeGroupVisible(true);
    SetRangeGroupVisible(true);
    CmdSaveAdd[m_intFieldsIndex]->show();
    CmdSaveAdd[m_intFieldsIndex]->setToolTip(kSaveAddRange);
    mb_AddCode = false;
    mb_AddRange = true;
}

void frmRangeMaintenance::EnableParentFields(bool Enabled) {
    const int i = m_intFieldsIndex;
    if (gNodeType < 1 || gNodeType > 3)
        return;
    txtChartOfAccount[i]->setEnabled(Enabled);
    cmdAccount[i]->setEnabled(Enabled);
    if (gNodeType >= 2) {
        txtLevel->setEnabled(Enabled);
        cmdLevel->setEnabled(Enabled);
    }
    if (gNodeType == 3) {
        txtcodCat[i]->setEnabled(Enabled);
        cmdCodCat[i]->setEnabled(Enabled);
    }
}

void frmRangeMaintenance::EnableKeyFields(bool Enabled) {
    const int i = m_intFieldsIndex;
    txtChartOfAccount[i]->setEnabled(Enabled);
    cmdAccount[i]->setEnabled(Enabled);
    txtLevel->setEnabled(Enabled);
    cmdLevel->setEnabled(Enabled);
    txtcodCat[i]->setEnabled(Enabled);
    cmdCodCat[i]->setEnabled(Enabled);
}

bool frmRangeMaintenance::FieldsChanged() const {
    const int i = m_intFieldsIndex;
    return txtChartOfAccount[i]->DataChanged || txtcodCat[i]->DataChanged || txtLevel->DataChanged ||
           txtRangAccountFr[i]->DataChanged || txtRangAccountTo[i]->DataChanged;
}

void frmRangeMaintenance::LoadMaintenanceTree() {
    lstAccountList->clear();
    m_rsMain = Recordset();
    // An editor opened without a warehouse has nothing to show and nothing to complain about.
    if (gDBConnection.State() != 1)
        return;
    m_rsMain = GetMainRecordset();
    if (m_rsMain.IsNothing())
        return;
    PopulateMaintenanceTree();
    m_rsMain.Close();
}

Recordset frmRangeMaintenance::GetMainRecordset() {
    QString sql;
    RangeEngine* engine = m_clsMaintenanceType.get();
    switch (MaintenanceType()) {
    case 1:
        sql = static_cast<clsAcMultiplierRangeMaint*>(engine)->GetSQL_Multiplier();
        break;
    case 2:
        sql = static_cast<clsAcCategoriesRangeMaint*>(engine)->GetSQL_Categories();
        break;
    case 3:
        sql = static_cast<clsAcLevelRangeMaint*>(engine)->GetSQL_Level();
        break;
    case 4:
    case 5:
        sql = static_cast<clsBuLevelRangeMaint*>(engine)->GetSQL_BU_Level();
        break;
    default:
        break;
    }
    if (sql.trimmed().isEmpty())
        return Recordset();
    Recordset rs = GetRecordset(sql);
    if (rs.IsNothing())
        ErrorHandler::Fail(QStringLiteral("frmRangeMaintenance:GetMainRecordset"));
    return rs;
}

void frmRangeMaintenance::PopulateMaintenanceTree() {
    strcurAccount.clear();
    strcurLevel.clear();
    strcurCode.clear();
    strcurCat.clear();
    strcurFrAccount.clear();
    strcurToAccount.clear();
    PopulateTree(
        m_rsMain, [this] { WalkRows(); }, QStringLiteral("frmRangeMaintenance:PopulateMaintenanceTree"));
}

void frmRangeMaintenance::WalkRows() {
    const qint16 type = MaintenanceType();
    Recordset& rs = m_rsMain;
    MaintTree& tree = *trvMaintenance;
    clsGenericMaint& gm = *m_clsGenMaint;
    const bool accounts = type <= 2;
    const bool categories = type == 2;
    const Field top = rs.Fields(type == 1   ? "MUL_COA"
                                : type == 2 ? "CAT_COA"
                                : type == 3 ? "CO_COA"
                                            : "SO_AREA");
    // The account trees of types 1 and 2 have no level column; asking for one would raise an error.
    std::optional<Field> level;
    if (!accounts)
        level = rs.Fields(type == 3 ? "CO_LEVEL" : "SO_LEVELS");
    const Field code = rs.Fields(type == 1   ? "MUL_CODE"
                                 : type == 2 ? "CAT_TYP_CD"
                                 : type == 3 ? "CO_CODE"
                                             : "SO_CODE");
    const Field desc = rs.Fields(type == 1 ? "MULDESC" : type == 2 ? "CAT_DESC" : "SODESC");
    const Field from = rs.Fields(type == 1   ? "MUL_FR_ACCT"
                                 : type == 2 ? "CAT_FR_ACCT"
                                 : type == 3 ? "CO_FR_ACCT"
                                             : "SO_FR_CD");
    const Field to = rs.Fields(type == 1   ? "MUL_TO_ACCT"
                               : type == 2 ? "CAT_TO_ACCT"
                               : type == 3 ? "CO_TO_ACCT"
                                           : "SO_TO_CD");
    const QString topDescription =
        type >= 4 ? QString(MaintenanceDescription()).remove(QStringLiteral(" Level Range Maintenance"))
                  : QString();
    QString& curCode = categories ? strcurCat : strcurCode;

    while (!rs.IsEOF()) {
        const QString topValue = TrimRight(top.Text());
        if (topValue.trimmed().isEmpty()) {
            rs.MoveNext();
            continue;
        }
        if (topValue != strcurAccount) {
            strcurAccount = topValue;
            strcurLevel.clear();
            strcurCode.clear();
            strcurCat.clear();
            strcurFrAccount.clear();
            strcurToAccount.clear();
            gm.AddNode_ChartOfAccount(tree, strcurRoot, strcurAccount, topDescription, false);
        }
        if (!accounts) {
            const QString levelValue = TrimRight(level->Text());
            if (levelValue != strcurLevel) {
                strcurLevel = levelValue;
                strcurCode.clear();
                strcurFrAccount.clear();
                strcurToAccount.clear();
                gm.AddNode_Level(tree, strcurRoot, strcurAccount, strcurLevel, NewRecord);
            }
        }
        const QString codeValue = TrimRight(code.Text());
        if (codeValue != curCode) {
            curCode = codeValue;
            strcurFrAccount.clear();
            strcurToAccount.clear();
            gm.AddNode_CodCat(tree, strcurRoot, strcurAccount, strcurLevel, curCode, TrimRight(desc.Text()),
                              NewRecord, m_intMaintenanceType);
        }
        const QString fromValue = TrimRight(from.Text());
        const QString toValue = TrimRight(to.Text());
        if (fromValue != strcurFrAccount || toValue != strcurToAccount) {
            strcurFrAccount = fromValue;
            strcurToAccount = toValue;
            gm.AddNode_RangeAccount(tree, strcurRoot, strcurAccount, strcurLevel, curCode, strcurFrAccount,
                                    strcurToAccount, false);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

void frmRangeMaintenance::ChkBlockedAccounts_Click() {
    if (!Engine())
        return;
    const qint16 blocked = ChkBlockedAccounts->isChecked() ? 1 : 0;
    switch (MaintenanceType()) {
    case 1:
        static_cast<clsAcMultiplierRangeMaint*>(Engine())->PopulateAccountList(m_COA, m_level, m_Code,
                                                                               blocked);
        break;
    case 2:
        static_cast<clsAcCategoriesRangeMaint*>(Engine())->PopulateAccountList(m_COA, m_level, m_Code,
                                                                               blocked);
        break;
    case 3:
        static_cast<clsAcLevelRangeMaint*>(Engine())->PopulateAccountList(m_COA, m_level, m_Code, blocked);
        break;
    default:
        break;
    }
}

void frmRangeMaintenance::Synchronize() {
    MousePointer hourglass;
}
