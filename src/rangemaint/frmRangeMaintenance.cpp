#include "rangemaint/frmRangeMaintenance.h"

#include "frame/CError.h"
#include "frame/ErrorHandler.h"
#include "frame/ModMaintenance.h"
#include "frame/clsDBConnection.h"
#include "frame/frmMain.h"
#include "frame/modMain.h"
#include "platform/CurrentError.h"
#include "platform/EntryBox.h"
#include "platform/MousePointer.h"
#include "platform/ResourceCursor.h"
#include "platform/TransactionGuard.h"
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
#include "services/frmLookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>
#include <utility>

namespace {

const QString kSaveAddRange = QStringLiteral("Save and ready to add next range");

} // namespace

frmRangeMaintenance::frmRangeMaintenance(QWidget* parent)
    : MaintenanceWindow(MaintenanceTypes::Range, parent) {
    setObjectName("frmRangeMaintenance");
    BuildControls();
    ConnectEntryPanel();
    ConnectTreeEvents();
}

frmRangeMaintenance::~frmRangeMaintenance() = default;

QGroupBox* frmRangeMaintenance::BuildFieldGroup(int i) {
    auto* frame = new QGroupBox;
    // Columns: caption, box, its "...", then the To caption (or the code's description), box and "...";
    // the last column takes the width the frame gains with the window.
    enum { Caption, Box, Lookup, ToCaption, ToBox, ToLookup, Rest };
    QGridLayout* grid = FrameGrid(frame, Rest);
    const auto box = [&](int row, int column) {
        EntryBox* b = KeyBox();
        grid->addWidget(b, row, column);
        return b;
    };
    const auto lookup = [&](int row, int column) {
        QPushButton* b = LookupButton();
        grid->addWidget(b, row, column);
        return b;
    };
    const auto caption = [&](const QString& text, int row, int column) {
        auto* l = new QLabel(text);
        grid->addWidget(l, row, column);
        return l;
    };
    // Group 1 has a level line between the chart of account and the code.
    const int codeRow = i == 1 ? 2 : 1;
    const int rangeRow = codeRow + 1;
    lblChartOfAccount[i] = caption(QStringLiteral("Chart Of Account:"), 0, Caption);
    txtChartOfAccount[i] = box(0, Box);
    cmdAccount[i] = lookup(0, Lookup);
    if (i == 1) {
        lblLevel = caption(QStringLiteral("Level:"), 1, Caption);
        txtLevel = box(1, Box);
        cmdLevel = lookup(1, Lookup);
    }
    lblCodCat[i] = caption(QStringLiteral("Code:"), codeRow, Caption);
    txtcodCat[i] = box(codeRow, Box);
    cmdCodCat[i] = lookup(codeRow, Lookup);
    lblCodCatDesc[i] = DescriptionLabel();
    grid->addWidget(lblCodCatDesc[i], codeRow, ToCaption, 1, Rest - ToCaption + 1);
    lblRangAccountFr[i] = caption(QStringLiteral("Range Of Account From:"), rangeRow, Caption);
    txtRangAccountFr[i] = box(rangeRow, Box);
    cmdlookupFr[i] = lookup(rangeRow, Lookup);
    lblTo[i] = caption(QStringLiteral("To:"), rangeRow, ToCaption);
    txtRangAccountTo[i] = box(rangeRow, ToBox);
    cmdlookupTo[i] = lookup(rangeRow, ToLookup);
    CmdSaveAdd[i] = new QPushButton(QStringLiteral("Save && Add"));
    CmdSaveAdd[i]->setToolTip(kSaveAddRange);
    grid->addWidget(CmdSaveAdd[i], rangeRow + 1, Box);
    KeepRowsInPlace(grid);
    return frame;
}

void frmRangeMaintenance::BuildControls() {
    BuildPanes(QStringLiteral(" Account No. Selection:"), [this] { return BuildEntryPanel(); });
    SetEntryTabOrder(EntryTabOrder());
    connect(ChkBlockedAccounts, &QCheckBox::clicked, this, [this] { ChkBlockedAccounts_Click(); });
}

std::vector<QWidget*> frmRangeMaintenance::EntryTabOrder() const {
    // Each group's boxes in reading order, then its lookup buttons.
    std::vector<QWidget*> order;
    for (int i = 0; i < 2; ++i) {
        order.insert(order.end(), {txtChartOfAccount[i], cmdAccount[i]});
        if (i == 1)
            order.insert(order.end(), {txtLevel, cmdLevel});
        order.insert(order.end(), {txtcodCat[i], cmdCodCat[i], txtRangAccountFr[i], txtRangAccountTo[i],
                                   cmdlookupFr[i], cmdlookupTo[i], CmdSaveAdd[i]});
    }
    order.insert(order.end(), {ChkBlockedAccounts, lstAccountList});
    return order;
}

QWidget* frmRangeMaintenance::BuildEntryPanel() {
    auto* vsRightRangeMaint = new QWidget;
    QVBoxLayout* panel = EntryPanelLayout(vsRightRangeMaint);
    fraCodCat = BuildFieldGroup(0);
    fralevel = BuildFieldGroup(1);
    panel->addWidget(fraCodCat);
    panel->addWidget(fralevel);
    ChkBlockedAccounts = new QCheckBox(QStringLiteral("All accounts including block accounts"));
    KeepPlaceWhenHidden(ChkBlockedAccounts);
    panel->addWidget(ChkBlockedAccounts);
    lstAccountList = new QTreeWidget;
    lstAccountList->setRootIsDecorated(false);
    lstAccountList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAccountList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstAccountList->setMinimumHeight(Twips(1500));
    KeepPlaceWhenHidden(lstAccountList);
    // The list takes the height the window has below the frame.
    panel->addWidget(lstAccountList, 1);
    return vsRightRangeMaint;
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
    // Busy from the first read on: the widths, and then the tree, whose statement may take seconds.
    MousePointer hourglass;
    LoadCommon();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates previous) { Form_Resize(previous); });
    CreateMaintenanceObjects();
    m_clsGenMaint->InitializeTree(*trvMaintenance);
    SetFieldsIndex();
    InitializeFields();
    ReadBoundSizes();
    LimitBoundBoxes(true);
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
    // The type's frame keeps its place at the top of the panel while it is hidden, and the list below it.
    QGroupBox* frame = i == 0 ? fraCodCat : fralevel;
    KeepPlaceWhenHidden(frame);
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

void frmRangeMaintenance::ReadBoundSizes() {
    // The widths the warehouse declares, so a server's own sizes hold; a longer bound would be stored whole
    // where the database does not hold its columns to their widths.
    m_boundSizes = {-1, -1};
    if (Engine() && gDBConnection.State() == 1)
        Engine()->BoundSizes(m_boundSizes.first, m_boundSizes.second);
}

void frmRangeMaintenance::LimitBoundBoxes(bool typing) {
    // A box that shows a stored range shows it whole, however long another program wrote it.
    // The widths count characters, as the range table does.
    const int i = m_intFieldsIndex;
    txtRangAccountFr[i]->SetMaxCharacters(typing && m_boundSizes.first > 0 ? m_boundSizes.first : -1);
    txtRangAccountTo[i]->SetMaxCharacters(typing && m_boundSizes.second > 0 ? m_boundSizes.second : -1);
}

bool frmRangeMaintenance::PickFits(const EntryBox* box, const QString& value) {
    const int room = box->MaxCharacters();
    if (room < 0 || RangeTable::Characters(value) <= room)
        return true;
    // The box would cut the pick short and name another account.
    MsgBox(QStringLiteral("\"%1\" is longer than the %2 characters this box holds.").arg(value).arg(room),
           vbExclamation, QStringLiteral("Error"));
    return false;
}

void frmRangeMaintenance::InitializeListView() {
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
    const qint32 nodeType = m_nodeType;
    if (nodeType < 1 || nodeType > 3)
        return;
    txtChartOfAccount[i]->setEnabled(Enabled);
    cmdAccount[i]->setEnabled(Enabled);
    if (nodeType >= 2) {
        txtLevel->setEnabled(Enabled);
        cmdLevel->setEnabled(Enabled);
    }
    if (nodeType == 3) {
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
    // The emptied list is filled again by the next selection, whatever it was filled for before.
    lstAccountList->clear();
    m_listKey.reset();
    MaintenanceWindow::LoadMaintenanceTree();
}

QString frmRangeMaintenance::TreeStatement() const {
    return m_clsMaintenanceType ? m_clsMaintenanceType->TreeSQL() : QString();
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
    // The engine names its tree query's columns; only the account trees of types 1 and 2 have no level.
    const RangeTreeColumns columns = m_clsMaintenanceType->TreeColumns();
    const Field top = rs.Fields(columns.top);
    std::optional<Field> level;
    if (!accounts)
        level = rs.Fields(columns.level);
    const Field code = rs.Fields(columns.code);
    const Field desc = rs.Fields(columns.description);
    const Field from = rs.Fields(columns.from);
    const Field to = rs.Fields(columns.to);
    const QString topDescription =
        type >= 4 ? QString(MaintenanceDescription()).remove(QStringLiteral(" Level Range Maintenance"))
                  : QString();
    QString& curCode = categories ? strcurCat : strcurCode;

    // Each node shows its values without trailing blanks and keeps its first row's key as stored, which
    // addresses its rows.
    while (!rs.IsEOF()) {
        const NodeRowKey row{top.Text(), accounts ? QString() : level->Text(), code.Text(), from.Text(),
                             to.Text()};
        const QString topValue = TrimRight(row.account);
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
            gm.AddNode_ChartOfAccount(tree, strcurRoot, strcurAccount, topDescription, false,
                                      NodeRowKey{row.account});
        }
        if (!accounts) {
            const QString levelValue = TrimRight(row.level);
            if (levelValue != strcurLevel) {
                strcurLevel = levelValue;
                strcurCode.clear();
                strcurFrAccount.clear();
                strcurToAccount.clear();
                gm.AddNode_Level(tree, strcurRoot, strcurAccount, strcurLevel, NewRecord,
                                 NodeRowKey{row.account, row.level});
            }
        }
        const QString codeValue = TrimRight(row.code);
        if (codeValue != curCode) {
            curCode = codeValue;
            strcurFrAccount.clear();
            strcurToAccount.clear();
            gm.AddNode_CodCat(tree, strcurRoot, strcurAccount, strcurLevel, curCode, TrimRight(desc.Text()),
                              NewRecord, m_intMaintenanceType, NodeRowKey{row.account, row.level, row.code});
        }
        const QString fromValue = TrimRight(row.fromAccount);
        const QString toValue = TrimRight(row.toAccount);
        if (fromValue != strcurFrAccount || toValue != strcurToAccount) {
            strcurFrAccount = fromValue;
            strcurToAccount = toValue;
            gm.AddNode_RangeAccount(tree, strcurRoot, strcurAccount, strcurLevel, curCode, strcurFrAccount,
                                    strcurToAccount, false, row);
        }
        rs.MoveNext();
        gm.AddtoProgressBar();
    }
}

void frmRangeMaintenance::ChkBlockedAccounts_Click() {
    // Only the account lists know blocked accounts.
    if (!Engine() || MaintenanceType() > 3)
        return;
    m_listKey = Engine()->AccountListKey(m_COA, m_level, m_Code);
    Engine()->FillAccountList(m_COA, m_level, m_Code, ChkBlockedAccounts->isChecked() ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------------------
// Synchronize

void frmRangeMaintenance::Synchronize() {
    std::optional<MousePointer> hourglass(std::in_place);
    const qint16 type = MaintenanceType();
    // Only the level types have a hierarchy, and only a level, code or range has ranges to carry.
    if (type < 3 || type > 5 || !Engine() || m_nodeType < 2 || m_nodeType > 4 || gDBConnection.State() != 1)
        return;
    const QString location = QStringLiteral("frmRangeMaintenance:Synchronize");
    // A look-up that fails clears it, having shown why; the user is told of any other failure below, once.
    gQueryOK = true;
    bool done = false;
    {
        TransactionGuard transaction(gDBConnection->adoConnection());
        if (!transaction.active()) {
            ErrorHandler::Fail(location);
        } else {
            // The selected entry's rows as stored, blanks included.
            const RangeKeyParts& k = m_storedKey;
            bool carried = false;
            if (m_nodeType == 2)
                carried = LevelSynchronize(LevelType(), k.COA, k.level);
            else if (m_nodeType == 3)
                carried = CodeSynchronize(LevelType(), k.COA, k.level, k.Code);
            else
                carried = RangeStored(LevelType(), k) &&
                          AccountRangeSynchronize(LevelType(), k.COA, k.level, k.Code, k.FR_ACCT, k.TO_ACCT);
            done = carried && transaction.Commit();
            if (carried && !done)
                ErrorHandler::Fail(location);
        }
        // Told after the rollback, so the tables and the tree are as before while the user reads it, and
        // in place of what a step of it has told already.
        if (!done) {
            hourglass.reset();
            if (gQueryOK)
                ErrorHandler::Tell(ErrorReporter().LastDescription(), vbCritical);
        }
    }
}

bool frmRangeMaintenance::LevelSynchronize(const QString& area, const QString& coa, const QString& level) {
    // The engine carries all the level's ranges together, in a few statements whatever its codes.
    return EntryStored(area, coa, level, nullptr, QStringLiteral("frmRangeMaintenance:LevelSynchronize")) &&
           (!Engine() || Engine()->CopiedUpRangesOfCodes(area, coa, level, QString()));
}

bool frmRangeMaintenance::EntryGone(const QString& location) {
    Err().Raise(CurrentError::UnspecifiedError, WarehouseChangedText(),
                QStringLiteral("frmRangeMaintenance"));
    return ErrorHandler::Fail(location);
}

QString frmRangeMaintenance::EntryTable() const {
    return MaintenanceType() == 3 ? QStringLiteral("CS_COA_ACCT_RANGE") : QStringLiteral("CS_BA_BU_LEVELS");
}

QString frmRangeMaintenance::EntryCondition(const QString& area, const QString& coa, const QString& level,
                                            const QString* code) const {
    const bool accounts = MaintenanceType() == 3;
    QString rows = accounts ? QStringLiteral(" CO_COA =") + SqlText(coa) + QStringLiteral(" and ") +
                                  SqlEquals(QStringLiteral("CO_LEVEL"), level)
                            : QStringLiteral(" SO_AREA =") + SqlText(area) + QStringLiteral(" and ") +
                                  SqlEquals(QStringLiteral("SO_LEVELS"), level);
    if (code)
        rows += QStringLiteral(" and ") +
                SqlEquals(accounts ? QStringLiteral("CO_CODE") : QStringLiteral("SO_CODE"), *code);
    return rows;
}

QString frmRangeMaintenance::EntryRows(const QString& area, const QString& coa, const QString& level,
                                       const QString* code) const {
    return QStringLiteral(" from ") + EntryTable() + QStringLiteral(" where ") +
           EntryCondition(area, coa, level, code);
}

bool frmRangeMaintenance::EntryStored(const QString& area, const QString& coa, const QString& level,
                                      const QString* code, const QString& location) {
    // One row answers: a level may hold many thousand rows, none of which need be read.
    const Existence stored = RangeTable::AnyRow(EntryTable(), EntryCondition(area, coa, level, code));
    if (stored == Existence::Failed)
        return RangeEngine::FailLookup(location);
    return stored == Existence::Present || EntryGone(location);
}

bool frmRangeMaintenance::RangeStored(const QString& area, const RangeKeyParts& range) {
    QList<std::pair<QString, QString>> ranges;
    if (!StoredRanges(area, range.COA, range.level, range.Code, ranges))
        return false;
    return ranges.contains({range.FR_ACCT, range.TO_ACCT}) ||
           EntryGone(QStringLiteral("frmRangeMaintenance:AccountRangeSynchronize"));
}

bool frmRangeMaintenance::StoredRanges(const QString& area, const QString& coa, const QString& level,
                                       const QString& code, QList<std::pair<QString, QString>>& ranges) {
    const bool accounts = MaintenanceType() == 3;
    const QString sql =
        accounts ? QStringLiteral("Select distinct CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT") +
                       EntryRows(area, coa, level, &code) +
                       QStringLiteral(" Order by CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT")
                 : QStringLiteral("Select distinct SO_AREA, SO_LEVELS, SO_CODE, SO_FR_CD, SO_TO_CD ") +
                       EntryRows(area, coa, level, &code) +
                       QStringLiteral(" Order by SO_AREA, SO_LEVELS, SO_CODE, SO_FR_CD, SO_TO_CD");
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return RangeEngine::FailLookup(QStringLiteral("frmRangeMaintenance:AccountRangeSynchronize"));
    ranges.clear();
    for (; !rs.IsEOF(); rs.MoveNext())
        ranges.append({rs.Fields(3).Text(), rs.Fields(4).Text()});
    rs.Close();
    return true;
}

bool frmRangeMaintenance::CodeSynchronize(const QString& area, const QString& coa, const QString& level,
                                          const QString& code) {
    return EntryStored(area, coa, level, &code, QStringLiteral("frmRangeMaintenance:CodeSynchronize")) &&
           (!Engine() || Engine()->CopiedUpRangesOfCodes(area, coa, level, code));
}

bool frmRangeMaintenance::AccountRangeSynchronize(const QString& area, const QString& coa,
                                                  const QString& level, const QString& code,
                                                  const QString& from, const QString& to) {
    // The engine reports its own failures.
    RangeEngine* engine = Engine();
    if (!engine)
        return true;
    if (!engine->CopiedUpRangeOfAccountHier(area, coa, level, code, from, to))
        return false;
    if (MaintenanceType() != 3)
        return true;
    return engine->CopiedUpRangeOfAccountMultiHier(area, coa, level, code, from, to) &&
           engine->CopiedUpRangeOfAccountCategoryHier(area, coa, level, code, from, to);
}

// ---------------------------------------------------------------------------------------------------------
// Mouse, key and drag events of the tree

void frmRangeMaintenance::ConnectTreeEvents() {
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    MaintTree* tree = trvMaintenance;
    connect(tree, &MaintTree::MouseDown, this, &frmRangeMaintenance::trvMaintenance_MouseDown);
    connect(tree, &MaintTree::MouseMove, this, &frmRangeMaintenance::trvMaintenance_MouseMove);
    connect(tree, &MaintTree::MouseUp, this, &frmRangeMaintenance::trvMaintenance_MouseUp);
    connect(tree, &MaintTree::DragOver, this, &frmRangeMaintenance::trvMaintenance_DragOver);
    connect(tree, &MaintTree::DragDrop, this, &frmRangeMaintenance::trvMaintenance_DragDrop);
    connect(tree, &MaintTree::DragEnd, this, &frmRangeMaintenance::trvMaintenance_DragEnd);
}

TreeNode* frmRangeMaintenance::DragSource() const {
    return m_nodeDragSource.isValid() ? trvMaintenance->Model()->nodeFromIndex(m_nodeDragSource) : nullptr;
}

void frmRangeMaintenance::trvMaintenance_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers,
                                                   const QPoint& point) {
    TreeNode* node = trvMaintenance->HitTest(point);
    m_nodeDragSource = QPersistentModelIndex();
    m_pressPoint = point;
    if (!node)
        return;
    if (node->Tag() == QLatin1String("4"))
        m_nodeDragSource = QPersistentModelIndex(trvMaintenance->Model()->indexFromNode(node));
    m_pressedKey = node->Key();
    trvMaintenance_NodeClick(node);
}

void frmRangeMaintenance::trvMaintenance_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers,
                                                   const QPoint& point) {
    if (Button != Qt::LeftButton || trvMaintenance->Dragging() || !DragSource())
        return;
    // The range pressed goes with the pointer once it has moved as far as a drag needs, whatever lies
    // under it then.
    if ((point - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    trvMaintenance->SetDragIcon(ResourceCursor::Load(QStringLiteral("NoDragging")));
    trvMaintenance->BeginDrag();
}

void frmRangeMaintenance::trvMaintenance_DragOver(const QPoint& point, int State) {
    const int height = trvMaintenance->viewport()->height();
    const bool over = State != MaintTree::DragLeave;
    if (over && point.y() > 0 && point.y() < Twips(100))
        SetAutoScroll(true, true);
    else if (over && point.y() > height - Twips(200) && point.y() < height)
        SetAutoScroll(true, false);
    else
        SetAutoScroll(false, mb_ScrollUp);
    TreeNode* node = over ? trvMaintenance->HitTest(point) : nullptr;
    if (!node)
        return;
    if (node->Tag() == QLatin1String("3")) {
        trvMaintenance->SetDragIcon(ResourceCursor::Load(QStringLiteral("Dragging")));
        trvMaintenance->SetDropHighlight(node);
        trvMaintenance->EnsureVisible(node);
    } else {
        trvMaintenance->SetDragIcon(ResourceCursor::Load(QStringLiteral("NoDragging")));
        trvMaintenance->SetDropHighlight(nullptr);
    }
}

void frmRangeMaintenance::trvMaintenance_DragDrop(const QPoint& point) {
    TreeNode* target = trvMaintenance->HitTest(point);
    TreeNode* source = DragSource();
    bool copied = false;
    if (target && source && target->Tag() == QLatin1String("3") && validDraggedNode(source, target) &&
        Engine())
        copied = Engine()->CopyDraggedRangOfAccount(source, target);
    trvMaintenance_DragEnd();
    // The destination code is selected now: the editor follows it, so what it shows and what a following
    // Delete acts on is that code, never the range dragged.
    if (copied && trvMaintenance->SelectedItem())
        trvMaintenance_NodeClick(trvMaintenance->SelectedItem());
}

void frmRangeMaintenance::trvMaintenance_DragEnd() {
    // A drag ended, even by Escape with the button still down, starts again only from a new press.
    m_nodeDragSource = QPersistentModelIndex();
    SetAutoScroll(false, mb_ScrollUp);
    trvMaintenance->SetDropHighlight(nullptr);
}

void frmRangeMaintenance::SetAutoScroll(bool on, bool up) {
    mb_ScrollUp = up;
    mb_DragDrop = on;
    if (on)
        Timer1->start();
    else
        Timer1->stop();
}

void frmRangeMaintenance::Timer1_Timer() {
    if (!mb_DragDrop) {
        // A quarter of a second for the messages still coming, then the timer rests; ticks meanwhile wait
        // with it, and a drag that took up scrolling again keeps it.
        if (m_timerSettling)
            return;
        m_timerSettling = true;
        QEventLoop settle;
        QTimer::singleShot(250, &settle, &QEventLoop::quit);
        settle.exec(QEventLoop::ExcludeUserInputEvents);
        m_timerSettling = false;
        if (!mb_DragDrop)
            Timer1->stop();
        return;
    }
    trvMaintenance->verticalScrollBar()->triggerAction(mb_ScrollUp ? QAbstractSlider::SliderSingleStepSub
                                                                   : QAbstractSlider::SliderSingleStepAdd);
}

bool frmRangeMaintenance::validDraggedNode(TreeNode* nodeSource, TreeNode* nodeDestin) {
    const qint16 type = MaintenanceType();
    if (type < 1 || type > 5 || !nodeSource || !nodeDestin)
        return false;
    const bool accounts = type <= 2;
    // The paths up from the range (range, code, [level,] chart) and from the code (code, [level,] chart).
    const int depth = accounts ? 2 : 3;
    std::vector<const TreeNode*> source{nodeSource}, target{nodeDestin};
    while (static_cast<int>(source.size()) <= depth && source.back())
        source.push_back(source.back()->Parent());
    while (static_cast<int>(target.size()) < depth && target.back())
        target.push_back(target.back()->Parent());
    if (!source.back() || !target.back()) {
        Err().Raise(91, QStringLiteral("Object variable or With block variable not set"),
                    QStringLiteral("frmRangeMaintenance"));
        return ErrorHandler::Fail(QStringLiteral("frmRangeMaintenance:validDraggedNode"));
    }
    // Another chart of account, or another level of the same chart, is another code whatever its text.
    for (int up = depth; up >= 2; --up)
        if (source[up]->Text() != target[up - 1]->Text())
            return true;
    return source[1]->Text() != target[0]->Text();
}

void frmRangeMaintenance::trvMaintenance_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers,
                                                 const QPoint& point) {
    m_pressedKey.clear();
    if (Button != Qt::RightButton || !gMainForm)
        return;
    TreeNode* node = trvMaintenance->HitTest(point);
    if (!node)
        return;
    const QString& tag = node->Tag();
    const qint16 type = MaintenanceType();
    gMainForm->ActiveDelete(node->ChildCount() == 0);
    gMainForm->ActiveInsert(tag != QLatin1String("4"));
    gMainForm->ActiveSync(type >= 3 && type <= 5 && tag != QLatin1String("0") && tag != QLatin1String("1"));
    gMainForm->mnuRightSubMenu->popup(trvMaintenance->viewport()->mapToGlobal(point));
}

// ---------------------------------------------------------------------------------------------------------
// Node selection

void frmRangeMaintenance::UseEngine(std::unique_ptr<RangeEngine> engine) {
    m_clsMaintenanceType = std::move(engine);
    if (m_clsMaintenanceType)
        m_clsMaintenanceType->OwnerForm(this);
    m_listKey.reset();
}

void frmRangeMaintenance::ConnectEntryPanel() {
    connect(trvMaintenance, &MaintTree::NodeClick, this, [this](TreeNode* node) {
        // The click that ends a press has had its selection at the press already.
        const QString pressed = std::exchange(m_pressedKey, QString());
        if (pressed.isEmpty() || node->Key() != pressed)
            trvMaintenance_NodeClick(node);
    });
    for (int i = 0; i < 2; ++i) {
        connect(cmdAccount[i], &QPushButton::clicked, this, [this, i] { cmdAccount_Click(i); });
        connect(cmdCodCat[i], &QPushButton::clicked, this, [this, i] { cmdCodCat_Click(i); });
        connect(cmdlookupFr[i], &QPushButton::clicked, this, [this, i] { cmdlookupFr_Click(i); });
        connect(cmdlookupTo[i], &QPushButton::clicked, this, [this, i] { cmdlookupTo_Click(i); });
        connect(CmdSaveAdd[i], &QPushButton::clicked, this, [this, i] { CmdSaveAdd_Click(i); });
    }
    connect(cmdLevel, &QPushButton::clicked, this, [this] { cmdLevel_Click(); });
}

void frmRangeMaintenance::SetNodeType(qint32 type) {
    m_nodeType = type;
    gNodeType = type;
}

void frmRangeMaintenance::EnableNew(bool enable) {
    if (gMainForm)
        gMainForm->ActiveInsert(enable);
}

void frmRangeMaintenance::EnableDelete(bool enable) {
    if (gMainForm)
        gMainForm->ActiveDelete(enable);
}

RangeKeyParts frmRangeMaintenance::EntryValues() const {
    const int i = m_intFieldsIndex;
    return {txtChartOfAccount[i]->text().trimmed(), txtLevel->text().trimmed(),
            txtcodCat[i]->text().trimmed(), txtRangAccountFr[i]->text().trimmed(),
            txtRangAccountTo[i]->text().trimmed()};
}

QString frmRangeMaintenance::CodeDescription() const {
    return lblCodCatDesc[m_intFieldsIndex]->text().trimmed();
}

void frmRangeMaintenance::ResetFieldsChanged() {
    const int i = m_intFieldsIndex;
    for (EntryBox* box :
         {txtChartOfAccount[i], txtcodCat[i], txtLevel, txtRangAccountFr[i], txtRangAccountTo[i]})
        box->DataChanged = false;
}

bool frmRangeMaintenance::SettlePendingInsert() {
    if (!NewRecord)
        return true;
    if (FieldsChanged()) {
        gMsgResponse = QString::number(MsgBox(QStringLiteral("Do you want to cancel insert?"),
                                              vbYesNo + vbQuestion, QStringLiteral("Cancel Insert")));
        if (gMsgResponse.toInt() != vbYes) {
            // The insert goes on where it was; the node is found again by its key, not by a position.
            trvMaintenance->SetSelectedItem(m_lastNodeKey.isEmpty() ? nullptr
                                                                    : trvMaintenance->Node(m_lastNodeKey));
            return false;
        }
    }
    NewRecord = false;
    EnableKeyFields(true);
    if (gMainForm)
        gMainForm->ActiveSave(false);
    return true;
}

void frmRangeMaintenance::trvMaintenance_NodeClick(TreeNode* Node) {
    if (!Node || trvMaintenance->IndexOf(Node) < 0)
        return;
    // Clicking the node of a pending insert again asks as any other node does; with nothing typed the
    // entry simply goes on.
    if (NewRecord && !m_lastNodeKey.isEmpty() && Node->Key() == m_lastNodeKey && !FieldsChanged())
        return;
    if (!SettlePendingInsert())
        return;
    trvMaintenance->SetSelectedItem(Node);
    m_lastNodeKey = Node->Key();
    const qint16 type = MaintenanceType();
    if (type < 1 || type > 5)
        return;
    const bool accounts = type <= 2;
    SetFrameVisibility(accounts, !accounts);
    bool isNumber = false;
    const int tag = Node->Tag().toInt(&isNumber);
    if (!isNumber || tag < 0 || tag > 4 || (accounts && tag == 2)) {
        SetNodeType(0);
        InitializeFields();
        return;
    }
    SetNodeType(tag);
    if (gMainForm) {
        const bool childless = Node->ChildCount() == 0;
        gMainForm->ActiveInsert(tag != 4);
        gMainForm->ActiveSave(false);
        gMainForm->ActiveDelete(tag != 0 && childless);
    }
    ShowNodeFields(*Node, tag);
}

void frmRangeMaintenance::ShowNodeFields(const TreeNode& node, int tag) {
    const int i = m_intFieldsIndex;
    const qint16 type = MaintenanceType();
    const bool accounts = type <= 2;
    const auto showList = [this](bool list, bool blockedBox) {
        lstAccountList->setVisible(list);
        ChkBlockedAccounts->setVisible(blockedBox);
    };
    switch (tag) {
    case 0:
        SetFrameVisibility(false, false);
        showList(false, false);
        return;
    case 1:
        ShowChartOfAccountFields();
        if (!accounts)
            showList(false, false);
        break;
    case 2:
        ShowLevelFields();
        break;
    case 3:
        ShowCodeFields(!accounts);
        if (accounts)
            showList(true, true);
        break;
    default:
        ShowRangeFields(!accounts);
        break;
    }

    // Every value comes from what the node was built of, never from its display text.
    const NodeInfo& info = node.Info();
    const QString coa = info.account.trimmed();
    const QString level = info.level.trimmed();
    const QString code = info.code.trimmed();
    txtChartOfAccount[i]->setText(coa);
    if (!accounts && tag >= 2)
        txtLevel->setText(level);
    if (tag >= 3) {
        const TreeNode* codeNode = tag == 3 ? &node : node.Parent();
        txtcodCat[i]->setText(code);
        lblCodCatDesc[i]->setText(codeNode ? codeNode->Info().description.trimmed() : QString());
    }
    if (tag == 4) {
        LimitBoundBoxes(false);
        txtRangAccountFr[i]->setText(info.fromAccount.trimmed());
        txtRangAccountTo[i]->setText(info.toAccount.trimmed());
    }
    ResetFieldsChanged();

    if (accounts) {
        if (tag == 1 && type == 1)
            showList(false, false);
        else
            RefillAccountList(coa, QString(), tag == 1 ? txtcodCat[i]->text() : code);
    } else if (tag >= 2) {
        RefillAccountList(coa, level, QString());
        if (type == 3)
            lstAccountList->show();
        else
            ChkBlockedAccounts->hide();
    }
    m_COA = coa;
    if (!accounts && tag >= 2)
        m_level = level;
    if (tag >= 3)
        m_Code = code;
    if (tag == 4) {
        m_FR_ACCT = info.fromAccount.trimmed();
        m_TO_ACCT = info.toAccount.trimmed();
    }
    const NodeRowKey row = info.StoredKey();
    m_storedKey = {row.account, row.level, row.code, row.fromAccount, row.toAccount};
}

void frmRangeMaintenance::RefillAccountList(const QString& coa, const QString& level, const QString& code) {
    RangeEngine* engine = Engine();
    if (!engine)
        return;
    // The list follows the values it was filled for, also when they gave no rows.
    const QString key = engine->AccountListKey(coa, level, code);
    if (m_listKey && *m_listKey == key)
        return;
    m_listKey = key;
    engine->FillAccountList(coa, level, code, ChkBlockedAccounts->isChecked() ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------------------
// Edit commands

void frmRangeMaintenance::OpenField(QLineEdit* box) {
    box->clear();
    box->setEnabled(true);
    box->setFocus();
}

void frmRangeMaintenance::Insert() {
    MaintenanceWindow::Insert();
    const int i = m_intFieldsIndex;
    const bool accounts = MaintenanceType() <= 2;
    switch (m_nodeType) {
    case 0:
        SetFrameVisibility(accounts, !accounts);
        ShowChartOfAccountFields();
        OpenField(txtChartOfAccount[i]);
        break;
    case 1:
        if (!accounts) {
            ShowCodeFields(true);
            ShowLevelFields();
            OpenField(txtLevel);
            break;
        }
        [[fallthrough]];
    case 2:
        ShowCodeFields(!accounts);
        lblCodCatDesc[i]->clear();
        cmdCodCat[i]->setEnabled(true);
        OpenField(txtcodCat[i]);
        break;
    case 3:
        ShowRangeFields(!accounts);
        LimitBoundBoxes(true);
        txtRangAccountTo[i]->clear();
        OpenField(txtRangAccountFr[i]);
        break;
    default:
        break;
    }
    EnableParentFields(false);
    ResetFieldsChanged();
}

void frmRangeMaintenance::Save() {
    SaveEntry();
}

bool frmRangeMaintenance::SaveEntry() {
    RangeEngine* engine = Engine();
    if (!NewRecord || !engine)
        return true;
    MousePointer hourglass;
    if (!ValidateEntry())
        return false;
    if (!engine->Save()) {
        ErrorHandler::Tell(QStringLiteral("Item could not be added. Accept Cancelled"), vbCritical,
                           QStringLiteral("Error"));
        // A refused entry stays pending as typed; an insert the engine ended opens the key fields again.
        if (!NewRecord) {
            if (gMainForm)
                gMainForm->ActiveSave(false);
            EnableKeyFields(true);
        }
        return false;
    }
    // The engine has selected the new node, whose selection set Delete, and left New off.
    if (gMainForm)
        gMainForm->ActiveSave(false);
    EnableKeyFields(true);
    return true;
}

void frmRangeMaintenance::Delete() {
    DelRecord = true;
    gMsgResponse = QString::number(MsgBox(QStringLiteral("Do you want to delete selected item?"),
                                          vbYesNo + vbQuestion, QStringLiteral("Delete")));
    if (gMsgResponse.toInt() != vbYes) {
        DelRecord = false;
        return;
    }
    MousePointer hourglass;
    RangeEngine* engine = Engine();
    if (!engine || !engine->Delete())
        ErrorHandler::Tell(QStringLiteral("Item cannot be deleted. Delete cancelled"), vbExclamation,
                           QStringLiteral("Error"));
}

void frmRangeMaintenance::CmdSaveAdd_Click(int Index) {
    TreeNode* selected = trvMaintenance->SelectedItem();
    const QString tag = selected ? selected->Tag() : QString();
    const bool codeEntry = mb_AddCode && tag == (Index == 0 ? QLatin1String("1") : QLatin1String("2"));
    const bool rangeEntry = mb_AddRange && tag == QLatin1String("3");
    if ((codeEntry || rangeEntry) && !SaveEntry())
        return;
    selected = trvMaintenance->SelectedItem();
    if (selected && (selected->Tag() == QLatin1String("3") || selected->Tag() == QLatin1String("4")) &&
        selected->Parent()) {
        trvMaintenance->SetSelectedItem(selected->Parent());
        m_lastNodeKey = selected->Parent()->Key();
        SetNodeType(selected->Parent()->Tag().toInt());
        // The parent holds at least the node just left, and a node with children is never offered for
        // Delete: its rows would go without their ranges leaving the hierarchy.
        if (gMainForm)
            gMainForm->ActiveDelete(false);
    }
    Insert();
}

// ---------------------------------------------------------------------------------------------------------
// Validation

bool frmRangeMaintenance::Refuse(QWidget* field, const QString& message) {
    MsgBox(message, vbExclamation, QStringLiteral("Error"));
    field->setFocus();
    return false;
}

bool frmRangeMaintenance::ValidateEntry() {
    const int i = m_intFieldsIndex;
    const qint16 type = MaintenanceType();
    const RangeKeyParts entry = EntryValues();
    clsGenericMaint& gm = *m_clsGenMaint;
    const auto check = [](bool valid, QWidget* field) {
        if (!valid)
            field->setFocus();
        return valid;
    };
    switch (m_nodeType) {
    case 0:
        if (!check(gm.validateAccount(entry.COA, type), txtChartOfAccount[i]))
            return false;
        // The tree shows only the business level named after the area: another would vanish on reload.
        if ((type == 4 || type == 5) && entry.COA != LevelType())
            return Refuse(txtChartOfAccount[i], QStringLiteral("Business Level must be ") + LevelType());
        return true;
    case 1:
        if (type == 1)
            return check(gm.validateMulptCode(entry.Code), txtcodCat[i]);
        if (type == 2)
            return check(gm.validateCategories(entry.Code), txtcodCat[i]);
        if (type >= 3 && type <= 5)
            return check(gm.validateLevel(entry.level, type, LevelType()), txtLevel);
        return false;
    case 2:
        return check(gm.ValidateLevelCode(entry.level, entry.Code, LevelType()), txtcodCat[i]);
    case 3:
        if (type == 4)
            return ValidateBusinessUnit();
        if (type == 5)
            return ValidateBusinessArea();
        return ValidateRangeAccount();
    default:
        return false;
    }
}

bool frmRangeMaintenance::ValidateRangeAccount() {
    const int i = m_intFieldsIndex;
    const RangeKeyParts entry = EntryValues();
    if (entry.FR_ACCT.isEmpty())
        return Refuse(txtRangAccountFr[i], QStringLiteral("Account From cannot be blank "));
    if (entry.TO_ACCT.isEmpty())
        return Refuse(txtRangAccountTo[i], QStringLiteral("Account To cannot be blank "));
    if (!FromToAcRangeOk(MatchDBCase(entry.FR_ACCT), MatchDBCase(entry.TO_ACCT))) {
        if (!gQueryOK)
            return false;
        return Refuse(txtRangAccountTo[i], QStringLiteral("Account From cannot be greater than Account To"));
    }
    return KnownOrWarned(
        QStringLiteral("Select DISTINCT ACCOUNT_NO from CHART_OF_ACCOUNT where ACCOUNT_NO =") +
            SqlText(entry.FR_ACCT),
        QStringLiteral("It's not a valid 'Account From' "),
        QStringLiteral("frmRangeMaintenance:ValidateRangeAccount"));
}

bool frmRangeMaintenance::ValidateBusinessArea() {
    return ValidateBusinessRange(QStringLiteral("Business Area"), QStringLiteral("BUSINESS_AREA"),
                                 QStringLiteral("BUSINESS_AR_DIM_ID"),
                                 QStringLiteral("frmRangeMaintenance:ValidateBusinessArea"));
}

bool frmRangeMaintenance::ValidateBusinessUnit() {
    return ValidateBusinessRange(QStringLiteral("Business Unit"), QStringLiteral("BUSINESS_UNIT"),
                                 QStringLiteral("BUS_UNIT_DIM_ID"),
                                 QStringLiteral("frmRangeMaintenance:ValidateBusinessUnit"));
}

bool frmRangeMaintenance::ValidateBusinessRange(const QString& noun, const QString& table,
                                                const QString& column, const QString& location) {
    const int i = m_intFieldsIndex;
    const RangeKeyParts entry = EntryValues();
    if (entry.FR_ACCT.isEmpty())
        return Refuse(txtRangAccountFr[i], noun + QStringLiteral(" From cannot be blank"));
    // A range needs both bounds, also a range of business units: a blank To holds no unit at all.
    if (entry.TO_ACCT.isEmpty())
        return Refuse(txtRangAccountTo[i], noun + QStringLiteral(" To cannot be blank"));
    return KnownOrWarned(QStringLiteral("Select DISTINCT ") + column + QStringLiteral(" from ") + table +
                             QStringLiteral(" where ") + column + QStringLiteral(" =") +
                             SqlText(entry.FR_ACCT),
                         QStringLiteral("It's not a valid ") + noun + QStringLiteral(" "), location);
}

bool frmRangeMaintenance::KnownOrWarned(const QString& sql, const QString& warning, const QString& location) {
    Recordset rs = GetRecordset(sql);
    if (!gQueryOK || rs.IsNothing())
        return RangeEngine::FailLookup(location);
    const bool known = rs.RecordCount() >= 1;
    rs.Close();
    if (!known)
        MsgBox(warning, vbInformation, QStringLiteral("Warning"));
    return true;
}

bool frmRangeMaintenance::FromToAcRangeOk(const QString& from, const QString& to) {
    // The server compares the two texts under its own collation; no table's rows are needed for it.
    Recordset rs = GetRecordset(
        QStringLiteral("Select 1 as INORDER") + FromOneRowOf(QStringLiteral("CS_COA_ACCT_RANGE")) +
        QStringLiteral(" where ") + SqlText(from) + QStringLiteral(" <= ") + SqlText(to));
    if (!gQueryOK || rs.IsNothing())
        return RangeEngine::FailLookup(QStringLiteral("frmRangeMaintenance:FromToAcRangeOk"));
    const bool inOrder = rs.RecordCount() >= 1;
    rs.Close();
    return inOrder;
}

// ---------------------------------------------------------------------------------------------------------
// Lookup buttons

namespace {

// A pick-only lookup: nothing can be added, deleted or cleared, and the code cannot be typed.
void PickOnly(frmLookup& d, bool lockDescription) {
    d.cmdClear()->setEnabled(false);
    d.cmdAdd()->setEnabled(false);
    d.cmdDelete()->setEnabled(false);
    d.txtCode()->setReadOnly(true);
    if (lockDescription)
        d.txtDesc()->setReadOnly(true);
}

void AddDependency(frmLookup& d, const QString& table, const QString& code, const QString& area,
                   const QString& level) {
    d.m_DependencyTable << table;
    d.m_DependencyFldCode << code;
    d.m_DependencyFldArea << area;
    d.m_DependencyFldlevel << level;
}

// What must not hold a level or code of the area before it may be deleted: the area's range table and
// both sides of the level hierarchy.
void AddLevelCodeDependencies(frmLookup& d, qint16 type, bool code) {
    const QString none;
    if (type == 4 || type == 5) {
        AddDependency(d, QStringLiteral("CS_BA_BU_LEVELS"), code ? QStringLiteral("SO_CODE") : none,
                      QStringLiteral("SO_AREA"), QStringLiteral("SO_LEVELS"));
    } else {
        AddDependency(d, QStringLiteral("CS_COA_ACCT_RANGE"), code ? QStringLiteral("CO_CODE") : none, none,
                      QStringLiteral("CO_LEVEL"));
        AddDependency(d, QStringLiteral("CS_MULTIPLIERHIER"), code ? QStringLiteral("CS_CODE") : none,
                      QStringLiteral("CS_AREA"), QStringLiteral("CS_LEVEL"));
        AddDependency(d, QStringLiteral("CS_CATEGORYHIER"), code ? QStringLiteral("CS_CODE") : none,
                      QStringLiteral("CS_AREA"), QStringLiteral("CS_LEVEL"));
    }
    AddDependency(d, QStringLiteral("CS_LEVELHIER"), code ? QStringLiteral("CS_PARENTCODE") : none,
                  QStringLiteral("CS_AREA"), QStringLiteral("CS_PARENTLEVEL"));
    AddDependency(d, QStringLiteral("CS_LEVELHIER"), code ? QStringLiteral("CS_CHILDCODE") : none,
                  QStringLiteral("CS_AREA"), QStringLiteral("CS_CHILDLEVEL"));
}

} // namespace

template <typename Configure, typename Restrict>
std::optional<QStringList> frmRangeMaintenance::RunLookup(Configure configure, Restrict restrict) {
    gLookupOK = true;
    frmLookup dialog(this);
    configure(dialog);
    // The load reads the list and clears gLookupOK when it cannot.
    dialog.Form_Load();
    restrict(dialog);
    if (!gLookupOK)
        return std::nullopt;
    dialog.Show();
    if (!dialog.m_OK)
        return std::nullopt;
    return dialog.m_colSelection;
}

void frmRangeMaintenance::cmdAccount_Click(int Index) {
    const bool accounts = MaintenanceType() <= 3;
    const auto chosen = RunLookup(
        [&](frmLookup& d) {
            if (accounts) {
                d.m_strTableName = QStringLiteral("CHART_OF_ACCOUNT");
                d.m_colFieldNames = {QStringLiteral("BUSINESS_UNIT_ID"), QStringLiteral("BUSINESS_UNIT_NM")};
                d.m_colColumnNames = {QStringLiteral("Chart Of Account"), QStringLiteral("Description")};
                d.m_strCaption = QStringLiteral("Table Lookup of Chart Of Account");
            } else {
                d.m_strTableName = QStringLiteral("CS_SOURCE");
                d.m_colFieldNames = {SqlText(LevelType())};
                d.m_colColumnNames = {QStringLiteral("Business Level")};
                d.m_strCaption = QStringLiteral("Table Lookup of Business Level");
            }
        },
        [](frmLookup& d) { PickOnly(d, false); });
    if (chosen)
        txtChartOfAccount[Index]->setText(chosen->value(0));
}

void frmRangeMaintenance::cmdLevel_Click() {
    const qint16 type = MaintenanceType();
    const auto chosen = RunLookup(
        [&](frmLookup& d) {
            d.m_strTableName = QStringLiteral("CS_SOURCE");
            d.m_colHideFieldNames = {QStringLiteral("SOAREA"), QStringLiteral("SOLEVEL"),
                                     QStringLiteral("SOCODE"), QStringLiteral("SODESC")};
            d.m_colFieldNames = {QStringLiteral("SOLEVEL")};
            d.m_colColumnNames = {QStringLiteral("Level")};
            d.m_strFilter = QStringLiteral("SOAREA = ") + SqlText(LevelType());
            d.m_strCaption = QStringLiteral("Table Lookup of Level");
            d.m_strLevel = txtLevel->text();
            d.m_strLevelType = LevelType();
            AddLevelCodeDependencies(d, type, false);
            d.m_Lookuplevel = true;
        },
        [](frmLookup&) {});
    if (chosen)
        txtLevel->setText(chosen->value(0));
}

void frmRangeMaintenance::cmdCodCat_Click(int Index) {
    const qint16 type = MaintenanceType();
    const auto chosen = RunLookup(
        [&](frmLookup& d) {
            if (type == 1) {
                d.m_strTableName = QStringLiteral("CS_MULTIPLIER");
                d.m_colFieldNames = {QStringLiteral("MULPT"), QStringLiteral("MULDESC")};
                d.m_colColumnNames = {QStringLiteral("Multiplier"), QStringLiteral("Description")};
                d.m_strFilter = QStringLiteral(" CS_MULTIPLIER.MULPT LIKE 'M%'");
                d.m_strCaption = QStringLiteral("Table Lookup of Multiplier");
            } else if (type == 2) {
                d.m_strTableName = QStringLiteral("CS_CAT_DESC");
                d.m_colFieldNames = {QStringLiteral("CAT_CODE"), QStringLiteral("CAT_DESC")};
                d.m_colColumnNames = {QStringLiteral("Category"), QStringLiteral("Description")};
                d.m_strCaption = QStringLiteral("Table Lookup of Categories");
                AddDependency(d, QStringLiteral("CS_CAT_TYPE"), QStringLiteral("CAT_TYP_CD"), QString(),
                              QString());
                // A category the category hierarchy uses is in use as well.
                AddDependency(d, QStringLiteral("CS_CATEGORYHIER"), QStringLiteral("CS_CATEGORY"), QString(),
                              QString());
            } else {
                d.m_strTableName = QStringLiteral("CS_SOURCE");
                d.m_colHideFieldNames = {QStringLiteral("SOAREA"), QStringLiteral("SOLEVEL"),
                                         QStringLiteral("SOCODE"), QStringLiteral("SODESC")};
                d.m_colFieldNames = {QStringLiteral("SOCODE"), QStringLiteral("SODESC")};
                d.m_colColumnNames = {QStringLiteral("Code"), QStringLiteral("Description")};
                d.m_strFilter = QStringLiteral(" SOAREA = ") + SqlText(LevelType());
                if (!txtLevel->text().isEmpty())
                    d.m_strFilter += QStringLiteral(" and SOLEVEL = ") + SqlText(txtLevel->text().trimmed());
                d.m_strCaption = QStringLiteral("Table Lookup of Code");
                d.m_strLevel = txtLevel->text();
                d.m_strLevelType = LevelType();
                AddLevelCodeDependencies(d, type, true);
            }
            d.m_LookupCode = true;
        },
        [type](frmLookup& d) {
            if (type != 1)
                return;
            d.cmdClear()->setEnabled(false);
            d.cmdDelete()->setEnabled(false);
            d.txtCode()->setReadOnly(true);
            d.txtDesc()->setReadOnly(true);
        });
    if (chosen) {
        txtcodCat[Index]->setText(chosen->value(0));
        lblCodCatDesc[Index]->setText(chosen->value(1));
    }
}

void frmRangeMaintenance::ConfigureBoundLookup(frmLookup& d) const {
    switch (MaintenanceType()) {
    case 4:
        d.m_strTableName = QStringLiteral("BUSINESS_UNIT");
        d.m_colFieldNames = {QStringLiteral("BUS_UNIT_DIM_ID")};
        d.m_colColumnNames = {QStringLiteral("Business Unit")};
        d.m_strCaption = QStringLiteral("Table Lookup of Business Unit");
        break;
    case 5:
        d.m_strTableName = QStringLiteral("BUSINESS_AREA");
        d.m_colFieldNames = {QStringLiteral("BUSINESS_AR_DIM_ID")};
        d.m_colColumnNames = {QStringLiteral("Business Area")};
        d.m_strCaption = QStringLiteral("Table Lookup of Business Area");
        break;
    default:
        d.m_strTableName = QStringLiteral("CHART_OF_ACCOUNT");
        d.m_colFieldNames = {QStringLiteral("ACCOUNT_NO"), QStringLiteral("ACCOUNT_NM")};
        d.m_colColumnNames = {QStringLiteral("Account No"), QStringLiteral("Description")};
        // The accounts of the selected node's chart, whatever the chart box holds.
        d.m_strFilter = QStringLiteral(" BUSINESS_UNIT_ID = ") + SqlText(m_COA);
        d.m_strCaption = QStringLiteral("Table Lookup of Account No.");
        break;
    }
}

void frmRangeMaintenance::cmdlookupFr_Click(int Index) {
    const auto chosen =
        RunLookup([this](frmLookup& d) { ConfigureBoundLookup(d); }, [](frmLookup& d) { PickOnly(d, true); });
    if (chosen && PickFits(txtRangAccountFr[Index], chosen->value(0)) &&
        PickFits(txtRangAccountTo[Index], chosen->value(0))) {
        // Picking the lower bound proposes a range of one.
        txtRangAccountFr[Index]->setText(chosen->value(0));
        txtRangAccountTo[Index]->setText(chosen->value(0));
    }
}

void frmRangeMaintenance::cmdlookupTo_Click(int Index) {
    const auto chosen = RunLookup(
        [this, Index](frmLookup& d) {
            ConfigureBoundLookup(d);
            d.m_strFindItem = txtRangAccountTo[Index]->text();
        },
        [](frmLookup& d) { PickOnly(d, true); });
    if (chosen && PickFits(txtRangAccountTo[Index], chosen->value(0)))
        txtRangAccountTo[Index]->setText(chosen->value(0));
}
