#pragma once

#include "frame/MaintenanceWindow.h"
#include "platform/Recordset.h"
#include "rangemaint/RangeEditorAccess.h"

#include <QString>
#include <array>
#include <memory>

class EntryBox;
class MaintTree;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class RangeEngine;
class clsGenericMaint;

// The Range Maintenance editor of one maintenance type, a child window of the main window: the tree of
// the type's ranges with its filter, the entry panel of two field groups (index 0 for types 1 and 2,
// index 1 for types 3 to 5) and the account list. Its engine reads and writes the type's table.
class frmRangeMaintenance : public MaintenanceWindow, public RangeEditorAccess {
    Q_OBJECT
public:
    explicit frmRangeMaintenance(QWidget* parent = nullptr);
    ~frmRangeMaintenance() override;

    qint16 MaintenanceType() const override { return MaintenanceWindow::MaintenanceType(); }
    QString LevelType() const override { return MaintenanceWindow::LevelType(); }
    QString FilterText() const override;
    QTreeWidget* AccountList() override { return lstAccountList; }
    bool TreeEnabled() const override;
    void SetTreeEnabled(bool enabled) override;

    void Form_Load() override;
    void Synchronize() override;
    // Follows the window state: minimised, and restored from minimised, the editor comes in front of the
    // other child windows.
    void Form_Resize(Qt::WindowStates previous);

    void SetFieldsIndex();
    int FieldsIndex() const { return m_intFieldsIndex; }
    // The engine of the type; nullptr for a type outside 1-5.
    RangeEngine* Engine() const { return m_clsMaintenanceType.get(); }

    // The entry panel.
    void InitializeFields() override;
    void SetFrameVisibility(bool showCodeFrame, bool showLevelFrame);
    void ShowChartOfAccountFields();
    void ShowLevelFields();
    void ShowCodeFields(bool showLevel);
    void ShowRangeFields(bool showLevel);
    void EnableParentFields(bool Enabled);
    void EnableKeyFields(bool Enabled);
    bool FieldsChanged() const;
    bool AddCodeShown() const { return mb_AddCode; }
    bool AddRangeShown() const { return mb_AddRange; }

    void ChkBlockedAccounts_Click();

    // Controls; the arrays hold the member of each field group.
    QTreeWidget* lstAccountList = nullptr;
    QCheckBox* ChkBlockedAccounts = nullptr;
    QGroupBox* fraCodCat = nullptr;
    QGroupBox* fralevel = nullptr;
    std::array<EntryBox*, 2> txtChartOfAccount{}, txtcodCat{}, txtRangAccountFr{}, txtRangAccountTo{};
    std::array<QPushButton*, 2> cmdAccount{}, cmdCodCat{}, cmdlookupFr{}, cmdlookupTo{}, CmdSaveAdd{};
    std::array<QLabel*, 2> lblChartOfAccount{}, lblCodCat{}, lblCodCatDesc{}, lblRangAccountFr{}, lblTo{};
    EntryBox* txtLevel = nullptr;
    QPushButton* cmdLevel = nullptr;
    QLabel* lblLevel = nullptr;

    // What the engines read and write.
    QString strcurAccount, strcurLevel, strcurCode, strcurCat, strcurFrAccount, strcurToAccount;
    QString m_COA, m_level, m_Code, m_FR_ACCT, m_TO_ACCT;
    bool mb_ScrollUp = false;
    bool mb_DragDrop = false;

protected:
    void Form_Unload() override;

private:
    void BuildControls();
    QGroupBox* BuildFieldGroup(int index);
    void CreateMaintenanceObjects();
    void ReleaseMaintenanceObjects();
    void InitializeListView();
    void CreateColumnHeaders();
    void LoadMaintenanceTree() override;
    Recordset GetMainRecordset();
    void PopulateMaintenanceTree();
    void WalkRows();
    void SetCodeGroupVisible(bool visible);
    void SetRangeGroupVisible(bool visible);
    void SetLevelGroupVisible(bool visible);
    void SetChartGroupVisible(bool visible);

    std::unique_ptr<RangeEngine> m_clsMaintenanceType;
    Recordset m_rsMain;
    qint16 m_intFieldsIndex = 0;
    bool mb_AddCode = false;
    bool mb_AddRange = false;
};
