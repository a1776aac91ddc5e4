#pragma once

#include <QString>
#include <QStringList>

class MaintTree;
class clsGenericMaint;

// The tree the tree tests start from: root "Account Level"; charts 100 and 200; levels L1 and L2 under
// 100; codes C1 (ranges 1000 - 1999, 2000 - 2999, 3000 - 3999) and C2 (range 5000 - 5999) under L1.
inline const QString kSampleRoot = QStringLiteral("Account Level");
void BuildSampleTree(MaintTree& tree, clsGenericMaint& gm);
// The key of a node of the sample tree's root; the root's own key when everything is empty.
QString SampleKey(const QString& account = {}, const QString& level = {}, const QString& code = {},
                  const QString& from = {}, const QString& to = {});
// The texts of the tree's nodes that keep a stored key of their own although their row is stored as they
// show it: each such key costs memory for nothing.
QStringList NodesKeepingNeedlessStoredKeys(const MaintTree& tree);
