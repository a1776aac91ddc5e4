#pragma once

#include "frame/MaintenanceWindow.h"
#include "platform/Recordset.h"
#include "rangemaint/RangeEditorAccess.h"

#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class EntryBox;
class MaintTree;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class frmLookup;
class QPushButton;
class QTimer;
class QTreeWidget;
class RangeEngine;
class TreeNode;
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
    qint32 NodeType() const override { return m_nodeType; }
    void SetNodeType(qint32 type) override;
    bool IsNewRecord() const override { return NewRecord; }
    void SetNewRecord(bool pending) override { NewRecord = pending; }
    bool IsDelRecord() const override { return DelRecord; }
    void SetDelRecord(bool pending) override { DelRecord = pending; }
    RangeKeyParts KeyParts() const override { return {m_COA, m_level, m_Code, m_FR_ACCT, m_TO_ACCT}; }
    RangeKeyParts StoredKeyParts() const override { return m_storedKey; }
    RangeKeyParts EntryValues() const override;
    QString CodeDescription() const override;
    QString CurrentRoot() const override { return strcurRoot; }
    MaintTree* Tree() override { return trvMaintenance; }
    clsGenericMaint* GenMaint() override { return m_clsGenMaint.get(); }
    void EnableNew(bool enable) override;
    void EnableDelete(bool enable) override;

    void Form_Load() override;

    // Synchronize: the ranges of the selected level, code or range carried up the level hierarchy again
    // (for account levels also into the multipliers and categories holding the codes), as one transaction.
    // A level's or a code's ranges go all together, through the engine's CopiedUpRangesOfCodes; a range on
    // its own, as a saved one goes. The three parts answer false after a failure that ends the run; they run
    // within Synchronize.
    void Synchronize() override;
    bool LevelSynchronize(const QString& area, const QString& coa, const QString& level);
    bool CodeSynchronize(const QString& area, const QString& coa, const QString& level, const QString& code);
    bool AccountRangeSynchronize(const QString& area, const QString& coa, const QString& level,
                                 const QString& code, const QString& from, const QString& to);

    // The tree's mouse, drag and timer events; points are in the tree's own (viewport) coordinates. Any
    // button selects the node it goes down on; a pressed range node can be dragged onto a code, which
    // copies it there; the right button offers the main window's right-click menu.
    void trvMaintenance_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& point);
    void trvMaintenance_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, const QPoint& point);
    void trvMaintenance_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& point);
    void trvMaintenance_DragOver(const QPoint& point, int State);
    void trvMaintenance_DragDrop(const QPoint& point);
    // The drag ended, however: auto-scroll stops and the drop highlight goes.
    void trvMaintenance_DragEnd();
    void Timer1_Timer();
    // False only for a drop on the range's own code.
    bool validDraggedNode(TreeNode* nodeSource, TreeNode* nodeDestin);
    // The range node of the last press until a drag from it ends; nullptr otherwise.
    TreeNode* DragSource() const;
    // Follows the window state: minimised, and restored from minimised, the editor comes in front of the
    // other child windows.
    void Form_Resize(Qt::WindowStates previous);

    // Node selection: settles a pending insert, then shows the node's fields, commands and account list
    // and takes over its node type and key parts.
    void trvMaintenance_NodeClick(TreeNode* Node) override;

    // The edit commands of the main window and the entry panel's Save and Add.
    void Insert() override;
    void Save() override;
    void Delete() override;
    void CmdSaveAdd_Click(int Index);

    // The lookup buttons beside the key fields.
    void cmdAccount_Click(int Index);
    void cmdLevel_Click();
    void cmdCodCat_Click(int Index);
    void cmdlookupFr_Click(int Index);
    void cmdlookupTo_Click(int Index);

    // Replaces the engine (a stand-in in tests); the editor keeps it as its own.
    void UseEngine(std::unique_ptr<RangeEngine> engine);

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
    // Auto-scroll while a drag is held near the top or bottom edge of the tree.
    QTimer* Timer1 = nullptr;

protected:
    void Form_Unload() override;

private:
    void BuildControls();
    QGroupBox* BuildFieldGroup(int index);
    QWidget* BuildEntryPanel();
    std::vector<QWidget*> EntryTabOrder() const;
    void CreateMaintenanceObjects();
    void ReleaseMaintenanceObjects();
    void InitializeListView();
    // Reads the widths of the From and To columns; holds the boxes to them for typing, or lets them show a
    // stored range whole.
    void ReadBoundSizes();
    void LimitBoundBoxes(bool typing);
    // Whether a picked value fits its box whole; a longer one is told and refused.
    static bool PickFits(const EntryBox* box, const QString& value);
    void CreateColumnHeaders();
    void LoadMaintenanceTree() override;
    QString TreeStatement() const override;
    void PopulateMainTree() override { PopulateMaintenanceTree(); }
    void PopulateMaintenanceTree();
    void WalkRows();
    void SetCodeGroupVisible(bool visible);
    void SetRangeGroupVisible(bool visible);
    void SetLevelGroupVisible(bool visible);
    void SetChartGroupVisible(bool visible);

    // Synchronize: the range table; the condition on its rows of a level, or of its code when one is given,
    // as stored; " from <range table> where" that condition; whether the level (code) still has rows, else
    // the failure of an entry no longer in the table (false too when the look-up failed); the ranges of a
    // code as stored (false when the look-up failed); whether the selected range is still stored; the
    // failure of an entry no longer in the table.
    QString EntryTable() const;
    QString EntryCondition(const QString& area, const QString& coa, const QString& level,
                           const QString* code) const;
    QString EntryRows(const QString& area, const QString& coa, const QString& level,
                      const QString* code) const;
    bool EntryStored(const QString& area, const QString& coa, const QString& level, const QString* code,
                     const QString& location);
    bool StoredRanges(const QString& area, const QString& coa, const QString& level, const QString& code,
                      QList<std::pair<QString, QString>>& ranges);
    bool RangeStored(const QString& area, const RangeKeyParts& range);
    static bool EntryGone(const QString& location);

    // Node selection.
    bool SettlePendingInsert();
    void ShowNodeFields(const TreeNode& node, int tag);
    void RefillAccountList(const QString& coa, const QString& level, const QString& code);
    // Save with its answer: true when the entry was written or nothing was pending.
    bool SaveEntry();

    // Validation.
    bool ValidateEntry();
    bool ValidateRangeAccount();
    bool ValidateBusinessUnit();
    bool ValidateBusinessArea();
    bool ValidateBusinessRange(const QString& noun, const QString& table, const QString& column,
                               const QString& location);
    bool FromToAcRangeOk(const QString& from, const QString& to);
    bool Refuse(QWidget* field, const QString& message);
    // Runs an existence look-up: true when found, true after the warning when not, false when it failed.
    bool KnownOrWarned(const QString& sql, const QString& warning, const QString& location);
    void ConfigureBoundLookup(frmLookup& d) const;
    void ConnectEntryPanel();
    void ConnectTreeEvents();
    void SetAutoScroll(bool on, bool up);
    void ResetFieldsChanged();
    void OpenField(QLineEdit* box);

    // Runs one lookup: settings filled by `configure`, restrictions applied by `restrict`, then shown;
    // answers the chosen row, or nothing when the dialog was not shown or not confirmed.
    template <typename Configure, typename Restrict>
    std::optional<QStringList> RunLookup(Configure configure, Restrict restrict);

    std::unique_ptr<RangeEngine> m_clsMaintenanceType;
    qint16 m_intFieldsIndex = 0;
    bool mb_AddCode = false;
    bool mb_AddRange = false;
    qint32 m_nodeType = 0;
    // The node the selection last settled on, by key, so a No to the prompt can go back to it.
    QString m_lastNodeKey;
    // The values the account list was last filled for; unset while it was never filled.
    std::optional<QString> m_listKey;
    QPersistentModelIndex m_nodeDragSource;
    QPoint m_pressPoint;
    // The node a mouse press has run the node selection for; the click at its release must not run it
    // again.
    QString m_pressedKey;
    // The declared widths of the From and To columns; -1 where none is known.
    std::pair<int, int> m_boundSizes{-1, -1};
    // The selected entry's key as stored, for the actions on its rows.
    RangeKeyParts m_storedKey;
    // Timer1's last tick is waiting before the timer rests.
    bool m_timerSettling = false;
};
