#pragma once

#include "services/NodeInfo.h"

#include <QChar>
#include <QString>

class MaintTree;
class TreeNode;

// The node builders of both maintenance editors and the progress step of their loads. Every node of
// every editor is built here, so all carry a key, tag, text and image of the same form.
//
// A node key is six text fields, each followed by U+00FF. Keys are only built, never taken apart: a node
// is found again by building its key anew from the same values, and what a node stands for is in its
// kind and NodeInfo. Where a level may be left out, only the empty text counts as no level (a single
// blank is a level like any other) and the later fields move up one place.
//
// A node whose key is already held is not added: the failure is reported once and the node holding the
// key is answered (and selected when asked to be). A node whose parent key names no node is not added
// and is reported once. Neither shows a message box.
class clsGenericMaint {
public:
    static constexpr QChar KeySeparator = QChar(0x00FF);

    // Expands (or collapses) the selected node and every node below it, and keeps it visible and
    // selected. Nothing happens without a selected node.
    void ExpandCurrent(bool bExpand, MaintTree& trvMaint);
    // Sets the expanded state of every node below nodeParent (not of nodeParent itself).
    void ExpandNode(TreeNode* nodeParent, bool bExpand);
    void InitializeTree(MaintTree& trvMaint);

    TreeNode* AddNode_Root(MaintTree& trvMaint, const QString& root);
    // `stored` is the key of the node's row as the warehouse holds it, where it differs from the values
    // the node is shown and keyed by (see ShownValue).
    TreeNode* AddNode_ChartOfAccount(MaintTree& trvMaint, const QString& root, const QString& Account,
                                     const QString& Desc, bool NewRecord,
                                     std::optional<NodeRowKey> stored = std::nullopt);
    TreeNode* AddNode_Level(MaintTree& trvMaint, const QString& root, const QString& Account,
                            const QString& Level, bool NewRecord,
                            std::optional<NodeRowKey> stored = std::nullopt);
    TreeNode* AddNode_CodCat(MaintTree& trvMaint, const QString& root, const QString& Account,
                             const QString& Level, const QString& CodCat, const QString& Desc, bool NewRecord,
                             int m_intMaintenanceType, std::optional<NodeRowKey> stored = std::nullopt);
    TreeNode* AddNode_RangeAccount(MaintTree& trvMaint, const QString& root, const QString& Account,
                                   const QString& Level, const QString& Code, const QString& Fr_Account,
                                   const QString& ToAccount, bool NewRecord,
                                   std::optional<NodeRowKey> stored = std::nullopt);
    TreeNode* AddNode_ChildCode(MaintTree& trvMaint, const QString& root, const QString& Account,
                                const QString& Level, const QString& ParentCode, const QString& ChildCode,
                                const QString& ChildDesc, bool NewRecord);

    // The one way a node is added: under the node holding parentKey (empty: at the top level), keyed
    // `key` (empty: a keyless node that no look-up finds). Failures are reported under `location`.
    // Answers the new node, the node already holding the key, or nullptr.
    TreeNode* AddNode(MaintTree& trvMaint, QStringView parentKey, QString key, QString text,
                      const QString& image, const QString& tag, bool expanded, bool selected,
                      NodeInfo info = NodeInfo(),
                      const QString& location = QStringLiteral("clsGenericMaint:AddNode"));

    // A stored key value as a node shows it and is keyed by: without its trailing blanks, so values that
    // differ only in them are one node (CHAR columns pad, and servers compare them equal). Leading blanks
    // stay.
    static QString ShownValue(const QString& stored);

    static QString BuildKey(const QString& s1, const QString& s2, const QString& s3, const QString& s4,
                            const QString& s5, const QString& s6);
    // BuildKey with the third field (the level) left out when it is empty: the later fields move up and
    // the sixth field stays empty.
    static QString BuildLevelKey(const QString& root, const QString& account, const QString& level,
                                 const QString& s4, const QString& s5, const QString& s6);

    // The existence checks of entered codes: a blank value or one the warehouse lacks is told in a
    // message box titled "Error" and answers false.
    bool validateAccount(const QString& Account, int MaintType);
    bool validateLevel(const QString& Level, int MaintType, const QString& LvlType);
    bool validateCategories(const QString& Category);
    bool validateMulptCode(const QString& Multiplier);
    bool ValidateLevelCode(const QString& Level, const QString& Code, const QString& LvlType);

    // One progress step of the running load (see ProgressPacer); nothing without a running load.
    void AddtoProgressBar();
    // Sets gYieldCount for a load of lcMaxValue rows, as the module's procedure of the same name does.
    void CalculateYieldCount(qint32 lcMaxValue);
};
