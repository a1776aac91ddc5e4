#pragma once

#include "codemaint/CodeEditorAccess.h"
#include "frame/MaintenanceWindow.h"
#include "platform/Recordset.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class CodeEngine;
class MaintTree;
class TreeNode;
class EntryBox;
class QGroupBox;
class frmLookup;
class QLabel;
class QPushButton;

// The Code Maintenance editor of one maintenance type, a child window of the main window: the tree of the
// type's hierarchy with its filter, and the entry panel of two frames (index 0 for the multiplier and
// category hierarchies of types 1 and 2, index 1 for the level hierarchies of types 3 to 5). Its engine
// reads and writes the type's hierarchy table.
class frmCodeMaintenance : public MaintenanceWindow, public CodeEditorAccess {
    Q_OBJECT
public:
    explicit frmCodeMaintenance(QWidget* parent = nullptr);
    ~frmCodeMaintenance() override;

    qint16 MaintenanceType() const override { return MaintenanceWindow::MaintenanceType(); }
    QString LevelType() const override { return MaintenanceWindow::LevelType(); }
    QString MaintenanceDescription() const override { return MaintenanceWindow::MaintenanceDescription(); }
    QString FilterText() const override;

    // What the engine reads and writes of this editor.
    void SetNodeType(qint32 type) override;
    bool IsNewRecord() const override { return NewRecord; }
    void SetNewRecord(bool pending) override { NewRecord = pending; }
    bool IsDelRecord() const override { return DelRecord; }
    void SetDelRecord(bool pending) override { DelRecord = pending; }
    CodeKeyParts StoredKeyParts() const override { return m_storedKey; }
    CodeEntryValues EntryValues() const override;
    QString CurrentRoot() const override { return strcurRoot; }
    MaintTree* Tree() override { return trvMaintenance; }
    clsGenericMaint* GenMaint() override { return m_clsGenMaint.get(); }
    void EnableNew(bool enable) override;
    void EnableDelete(bool enable) override;

    void Form_Load() override;

    void SetFieldsIndex();
    int FieldsIndex() const { return m_intFieldsIndex; }
    // The engine of the type; nullptr for a type outside 1-5.
    CodeEngine* Engine() const { return m_clsMaintenanceType.get(); }
    // Puts another engine in place of the type's own (tests give the editor a stand-in this way).
    void UseEngine(std::unique_ptr<CodeEngine> engine);

    // Node selection: the command states, the entry panel and the key parts of the node. With an insert
    // pending and a box changed it first asks whether to cancel the insert; answered No, the previous node
    // is selected again. Answers whether the node was taken.
    bool trvMaintenance_NodeClick(TreeNode* Node) override;
    // The node type of this editor's selection, which its commands and its engine act on.
    qint32 NodeType() const override { return m_intNodeType; }
    // A right click selects the node under the pointer and opens the main window's pop-up menu for it.
    void trvMaintenance_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& point);

    // The edit commands: New below the selected node, Save of the pending entry, Delete of the selected
    // leaf, and Save followed by New below the same parent.
    void Insert() override;
    void Save() override;
    void Delete() override;
    void CmdSaveAdd_Click(int Index);
    // The level after a level text ("L3" gives "L4"); a text that is no valid level is told and answers "".
    QString GetNextLevelCode(const QString& CurrentLevel);
    // The number of a level text: every capital "L" removed, then digits only within 1-32767 (blanks
    // around them allowed); anything else gives 0.
    static qint16 GetLevelNumber(const QString& level);

    // The lookup buttons.
    void cmdCOAccount_Click(int Index);
    void cmdMulti_Click();
    void cmdParentLevel_Click(int Index);
    void cmdParentCode_Click(int Index);
    void cmdChildLevel_Click();
    void cmdChildCode_Click();

    // The nodes that the load and the engines add below the built-in node kinds: a level under a
    // multiplier or category, a code under such a level, and a child (level and code) under a parent
    // code. An empty parent level drops out of the child's keys.
    TreeNode* AddNode_MultiCategoryLevel(MaintTree& trvMaint, const QString& root, const QString& Account,
                                         const QString& MultiCategory, const QString& Level, bool NewRecord);
    TreeNode* AddNode_MultiCategoryCode(MaintTree& trvMaint, const QString& root, const QString& Account,
                                        const QString& MultiCategory, const QString& Level,
                                        const QString& Code, const QString& CodeDesc, bool NewRecord);
    TreeNode* AddNode_ChildLevelCode(MaintTree& trvMaint, const QString& root, const QString& Account,
                                     const QString& ParentLevel, const QString& ParentCode,
                                     const QString& ChildLevel, const QString& ChildCode,
                                     const QString& ChildDesc, bool NewRecord);

    // The entry panel.
    void InitializeFields() override;
    void SetFrameVisibility(bool frame0, bool frame1);
    void ShowChartOfAccountFields();
    void ShowMultiplierFields();
    void ShowLevelFields();
    void ShowCodeFields(bool showLevel);
    void ShowAllFields(bool showLevel);
    // Whether the chart of account, multiplier, level, code or child code box changed its text since the
    // window opened.
    bool FieldsChanged() const;
    void EnableParentFields(bool Enabled);
    void EnableKeyFields(bool Enabled);
    // A child code belongs to the child level above it: a new child level clears it.
    void txtChildLevel_Change();

    // Controls; the arrays hold the member of each frame.
    std::array<QGroupBox*, 2> fralevelCode{};
    std::array<QLabel*, 2> lblCOAccount{}, lblParentLevel{}, lblParentCode{}, lblParentCodeDesc{};
    std::array<EntryBox*, 2> txtCOAccount{}, txtParentLevel{}, txtParentCode{};
    std::array<QPushButton*, 2> cmdCOAccount{}, cmdParentLevel{}, cmdParentCode{}, CmdSaveAdd{};
    QLabel* lblMulti = nullptr;
    EntryBox* txtMulti = nullptr;
    QPushButton* cmdMulti = nullptr;
    QLabel* lblMultiDesc = nullptr;
    QLabel* lblChildLevel = nullptr;
    EntryBox* txtChildLevel = nullptr;
    QPushButton* cmdChildLevel = nullptr;
    QLabel* lblChildCode = nullptr;
    EntryBox* txtChildCode = nullptr;
    QPushButton* cmdChildCode = nullptr;
    QLabel* lblChildCodeDesc = nullptr;

    // Control-break values of the load, and the key parts of the selected node.
    QString strcurAccount, strcurLevel, strcurCode, strcurChildLevel, strcurChildCode, strcurMutiCat;
    QString m_COA, m_level, m_Code, m_MultiCategory, m_ChildCode, m_ChildLevel;

protected:
    void Form_Unload() override;
    QString TreeStatement() const override;
    void PopulateMainTree() override { PopulateCodeMaintTree(); }

private:
    void BuildControls();
    // One frame of the entry panel; its boxes and buttons join `tabOrder` in the order Tab takes them.
    QGroupBox* BuildFrame(int index, std::vector<QWidget*>& tabOrder);
    void SetMaintenanceCaption();
    void CreateMaintenanceObjects();
    void ReleaseMaintenanceObjects();
    void PopulateCodeMaintTree();
    void WalkMultiCategoryRows();
    void WalkLevelRows();
    bool AccountTurn(const Field& account, const QString& description);
    void SetChartRowVisible(bool visible);
    void SetMultiRowVisible(bool visible);
    void SetLevelRowVisible(bool visible);
    void SetCodeRowVisible(bool visible);
    void SetChildRowsVisible(bool visible);
    void ShowNode(TreeNode* Node);
    void CancelInsert();
    // Makes this editor's node type the one the engine reads.
    void PublishNodeType();
    // Save's work: true when the entry was written or nothing was pending, false when a check or the
    // engine refused it.
    bool SaveEntry();
    bool ValidateEntry();
    bool ValidateChildLevel();
    bool ValidateChildCode();
    // Whether a query finds a row; nothing when it fails, after its message and the log line under
    // `location`.
    static std::optional<bool> FindsRow(const QString& sql, const QString& location);
    // Whether the editor's area has the level in its dictionary.
    std::optional<bool> LevelDefined(const QString& level, const QString& location) const;
    // Tells why the entry is refused and puts the focus on the box to mend; answers false.
    static bool Refuse(QWidget* box, const QString& message);
    std::unique_ptr<frmLookup> NewLookup();
    // The tables that must not use an entry that the lookup is to delete.
    void AddDependencyRows(frmLookup& lookup, bool codes) const;
    void SetCodeLookup(frmLookup& lookup, const QString& level) const;
    void SetLevelLookup(frmLookup& lookup) const;
    static bool ShowLookup(frmLookup& lookup);

    std::unique_ptr<CodeEngine> m_clsMaintenanceType;
    qint16 m_intFieldsIndex = 0;
    qint32 m_intNodeType = 0;
    // The previous node, by key: a removal does not shift it as it would an index.
    QString m_strLastNodeKey;
    // The selected node's key as stored (StoredKeyParts).
    CodeKeyParts m_storedKey;
};
