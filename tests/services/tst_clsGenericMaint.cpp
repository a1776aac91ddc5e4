#include "frame/ModMaintenance.h"
#include "platform/CurrentError.h"
#include "services/MaintTree.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kRoot = QStringLiteral("Account Level");

QString key(const QStringList& fields) {
    QString k;
    for (const QString& f : fields)
        k += f + QChar(0x00FF);
    return k;
}

// Root; charts 100 and 200; levels L1 and L2 under 100; codes C1 and C2 under L1; ranges under C1.
void buildSample(MaintTree& tree, clsGenericMaint& gm) {
    gm.AddNode_Root(tree, kRoot);
    gm.AddNode_ChartOfAccount(tree, kRoot, "100", "", false);
    gm.AddNode_Level(tree, kRoot, "100", "L1", false);
    gm.AddNode_CodCat(tree, kRoot, "100", "L1", "C1", "First", false, 3);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "1000", "1999", false);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "2000", "2999", false);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "3000", "3999", false);
    gm.AddNode_CodCat(tree, kRoot, "100", "L1", "C2", "Second", false, 3);
    gm.AddNode_Level(tree, kRoot, "100", "L2", false);
    gm.AddNode_ChartOfAccount(tree, kRoot, "200", "", false);
}

QString rangeKey(const QString& from, const QString& to) {
    return key({kRoot, "100", "L1", "C1", from, to});
}

NodeInfo noticeInfo() {
    NodeInfo info;
    info.kind = NodeKind::Notice;
    return info;
}

int logLinesAt(const TestEnvironment& env, const QString& location) {
    int n = 0;
    for (const QString& line : env.logLines())
        n += line.endsWith("in " + location) ? 1 : 0;
    return n;
}

QStringList texts(const std::vector<TreeNode*>& nodes) {
    QStringList list;
    for (const TreeNode* n : nodes)
        list << n->Text();
    return list;
}

// The root, chart 100, the level (unless blank), code C9, range 10 - 20 or child K7, down to a node of the
// kind; the description goes to the last node. Returns that node.
TreeNode* addChain(MaintTree& tree, clsGenericMaint& gm, const QString& kind, const QString& level,
                   const QString& desc = {}, int type = 3) {
    TreeNode* node = gm.AddNode_Root(tree, kRoot);
    if (kind != "root")
        node = gm.AddNode_ChartOfAccount(tree, kRoot, "100", kind == "chart" ? desc : QString(), false);
    if (kind != "root" && kind != "chart" && !level.isEmpty())
        node = gm.AddNode_Level(tree, kRoot, "100", level, false);
    if (kind == "code" || kind == "range" || kind == "child")
        node = gm.AddNode_CodCat(tree, kRoot, "100", level, "C9", kind == "code" ? desc : QString(), false,
                                 type);
    if (kind == "range")
        node = gm.AddNode_RangeAccount(tree, kRoot, "100", level, "C9", "10", "20", false);
    if (kind == "child")
        node = gm.AddNode_ChildCode(tree, kRoot, "100", level, "C9", "K7", desc, false);
    return node;
}

bool exposed(MaintTree& tree) {
    tree.show();
    return QTest::qWaitForWindowExposed(&tree);
}

} // namespace

// The sample tree, built, with the environment it logs to.
#define SAMPLE_TREE()                                                                                        \
    TestEnvironment env;                                                                                     \
    MaintTree tree;                                                                                          \
    clsGenericMaint gm;                                                                                      \
    buildSample(tree, gm)

class tst_clsGenericMaint : public QObject {
    Q_OBJECT
private slots:
    void buildKeyJoinsSixFields_data();
    void buildKeyJoinsSixFields();
    void keyLayouts_data();
    void keyLayouts();
    void textsTagsAndImages_data();
    void textsTagsAndImages();
    void everyImageKeyHasAnIcon_data();
    void everyImageKeyHasAnIcon();
    void keyPartsAreKeptAsData();
    void duplicateKeyAddsNothing_data();
    void duplicateKeyAddsNothing();
    void blankLevelCodeCollidesWithLevel();
    void missingParentIsReportedOnce();
    void newRecordSelectsOnlyWhenPending();
    void keylessNodesAreNeverIndexed();
    void genericAddKeepsKindAndTagApart();
    void removalTakesTheSubtree();
    void removalMovesTheSelection_data();
    void removalMovesTheSelection();
    void removingAnUnknownKeyFails();
    void lookupsStayRightThroughManyRemovals();
    void navigation();
    void collectionOrderSurvivesRemoval();
    void selectingFromCodeRaisesNoNodeClick();
    void userClickAndKeyboardRaiseNodeClick();
    void expandCurrent_data();
    void expandCurrent();
    void expandCurrentWithoutSelectionChangesNothing();
    void buildKeepsNodesCollapsedUntilItEnds();
    void initializeTreeEmptiesTheTree();
    void modelStaysConsistentDuringBuildAndRemoval_data();
    void modelStaysConsistentDuringBuildAndRemoval();
};

void tst_clsGenericMaint::buildKeyJoinsSixFields_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("expected");
    const QString sep(QChar(0x00FF));
    QTest::newRow("all empty") << QStringList{"", "", "", "", "", ""} << sep.repeated(6);
    QTest::newRow("all set") << QStringList{"a", "b", "c", "d", "e", "f"}
                             << "a" + sep + "b" + sep + "c" + sep + "d" + sep + "e" + sep + "f" + sep;
    QTest::newRow("blanks kept") << QStringList{"R", " ", "", "x ", "", ""}
                                 << "R" + sep + " " + sep + sep + "x " + sep + sep + sep;
}

void tst_clsGenericMaint::buildKeyJoinsSixFields() {
    QFETCH(QStringList, fields);
    QFETCH(QString, expected);
    const QString k =
        clsGenericMaint::BuildKey(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    QCOMPARE(k, expected);
}

void tst_clsGenericMaint::keyLayouts_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QStringList>("ownKey");
    QTest::addColumn<QStringList>("parentKey");
    const auto row = [](const char* name, const QString& kind, const QString& level, const QStringList& own,
                        const QStringList& parent) { QTest::newRow(name) << kind << level << own << parent; };
    const QStringList root{kRoot, "", "", "", "", ""};
    const QStringList chart{kRoot, "100", "", "", "", ""};
    const QStringList l1{kRoot, "100", "L1", "", "", ""};
    const QStringList c9InL1{kRoot, "100", "L1", "C9", "", ""};
    const QStringList c9{kRoot, "100", "C9", "", "", ""};
    row("root", "root", "", root, {});
    row("chart", "chart", "", chart, root);
    row("level", "level", "L1", l1, chart);
    row("code with level", "code", "L1", c9InL1, l1);
    row("code without level", "code", "", c9, chart);
    row("code with a blank level", "code", " ", {kRoot, "100", " ", "C9", "", ""},
        {kRoot, "100", " ", "", "", ""});
    row("range with level", "range", "L1", {kRoot, "100", "L1", "C9", "10", "20"}, c9InL1);
    row("range without level", "range", "", {kRoot, "100", "C9", "10", "20", ""}, c9);
    row("child with level", "child", "L1", {kRoot, "100", "L1", "C9", "K7", ""}, c9InL1);
    row("child without level", "child", "", {kRoot, "100", "C9", "K7", "", ""}, c9);
}

void tst_clsGenericMaint::keyLayouts() {
    QFETCH(QString, kind);
    QFETCH(QString, level);
    QFETCH(QStringList, ownKey);
    QFETCH(QStringList, parentKey);
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    TreeNode* node = addChain(tree, gm, kind, level);
    QVERIFY(node);
    QCOMPARE(node->Key(), key(ownKey));
    QCOMPARE(tree.Node(key(ownKey)), node);
    if (parentKey.isEmpty())
        QCOMPARE(node->Parent(), nullptr);
    else
        QCOMPARE(node->Parent()->Key(), key(parentKey));
    QVERIFY(env.logText().isEmpty());
}

void tst_clsGenericMaint::textsTagsAndImages_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("maintenanceType");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("expanded");
    const auto row = [](const char* name, const QString& kind, int type, const QString& desc,
                        const QString& text, const QString& tag, const QString& image, bool expanded) {
        QTest::newRow(name) << kind << type << desc << text << tag << image << expanded;
    };
    row("root", "root", 3, "", kRoot, "0", "root", true);
    row("chart without description", "chart", 3, "", "100", "1", "chartofaccount", true);
    row("chart with description", "chart", 4, "Business Unit", "100:Business Unit", "1", "chartofaccount",
        true);
    row("level", "level", 3, "", "L1", "2", "level", false);
    row("multiplier", "code", 1, "Mult", "C9:Mult", "3", "multiplier", false);
    row("category", "code", 2, "Cat", "C9:Cat", "3", "categories", false);
    row("account level code", "code", 3, "Desc", "C9:Desc", "3", "code", false);
    row("business unit code", "code", 4, "", "C9:", "3", "code", false);
    row("business area code", "code", 5, "a:b", "C9:a:b", "3", "code", false);
    row("range", "range", 3, "", "10 - 20", "4", "rangeaccount", false);
    row("child", "child", 3, "Kid", "K7:Kid", "4", "childcode", false);
    row("child without description", "child", 3, "", "K7:", "4", "childcode", false);
}

void tst_clsGenericMaint::textsTagsAndImages() {
    QFETCH(QString, kind);
    QFETCH(int, maintenanceType);
    QFETCH(QString, desc);
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, image);
    QFETCH(bool, expanded);
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    TreeNode* node = addChain(tree, gm, kind, "L1", desc, maintenanceType);
    QVERIFY(node);
    QCOMPARE(node->Text(), text);
    QCOMPARE(node->Tag(), tag);
    QCOMPARE(node->Image(), image);
    QCOMPARE(node->Expanded(), expanded);
    const QModelIndex index = tree.Model()->indexFromNode(node);
    QCOMPARE(index.data(Qt::DisplayRole).toString(), text);
    QVERIFY(!index.data(Qt::DecorationRole).value<QIcon>().isNull());
}

void tst_clsGenericMaint::everyImageKeyHasAnIcon_data() {
    QTest::addColumn<QString>("imageKey");
    for (const QString& k : QStringList{"root", "chartofaccount", "level", "code", "multiplier", "categories",
                                        "rangeaccount", "search", "childcode"})
        QTest::newRow(qPrintable(k)) << k;
}

void tst_clsGenericMaint::everyImageKeyHasAnIcon() {
    QFETCH(QString, imageKey);
    QVERIFY(TreeImages::Keys().contains(imageKey));
    const QIcon icon = TreeImages::Icon(imageKey);
    QVERIFY(!icon.isNull());
    for (int size : {16, 32}) {
        const QPixmap pixmap = icon.pixmap(size, size);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.width(), size);
        // Drawn, not blank.
        const QImage image = pixmap.toImage();
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY(painted);
    }
    QVERIFY(TreeImages::Icon("no-such-image").isNull());
}

void tst_clsGenericMaint::keyPartsAreKeptAsData() {
    SAMPLE_TREE();
    gm.AddNode_ChildCode(tree, kRoot, "100", "L1", "C2", "K7", "Kid: one", false);
    const TreeNode* range = tree.Node(rangeKey("2000", "2999"));
    QVERIFY(range);
    QCOMPARE(range->Kind(), NodeKind::RangeAccount);
    QCOMPARE(range->Info().root, kRoot);
    QCOMPARE(range->Info().account, QString("100"));
    QCOMPARE(range->Info().level, QString("L1"));
    QCOMPARE(range->Info().code, QString("C1"));
    QCOMPARE(range->Info().fromAccount, QString("2000"));
    QCOMPARE(range->Info().toAccount, QString("2999"));
    const TreeNode* code = range->Parent();
    QCOMPARE(code->Kind(), NodeKind::CodCat);
    QCOMPARE(code->Info().description, QString("First"));
    const TreeNode* child = tree.Node(key({kRoot, "100", "L1", "C2", "K7", ""}));
    QVERIFY(child);
    QCOMPARE(child->Kind(), NodeKind::ChildCode);
    QCOMPARE(child->Info().code, QString("C2"));
    QCOMPARE(child->Info().childCode, QString("K7"));
    QCOMPARE(child->Info().description, QString("Kid: one"));
    QCOMPARE(child->Text(), QString("K7:Kid: one"));
}

void tst_clsGenericMaint::duplicateKeyAddsNothing_data() {
    QTest::addColumn<bool>("newRecord");
    QTest::newRow("loading") << false;
    QTest::newRow("new record pending") << true;
}

void tst_clsGenericMaint::duplicateKeyAddsNothing() {
    QFETCH(bool, newRecord);
    SAMPLE_TREE();
    TreeNode* existing = tree.Node(rangeKey("2000", "2999"));
    TreeNode* selectedBefore = tree.Node(key({kRoot, "200", "", "", "", ""}));
    tree.SetSelectedItem(selectedBefore);
    const int count = tree.Count();
    TreeNode* answer = gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "2000", "2999", newRecord);
    QCOMPARE(answer, existing);
    QCOMPARE(tree.Count(), count);
    QCOMPARE(existing->Parent()->ChildCount(), 3);
    QCOMPARE(tree.SelectedItem(), newRecord ? existing : selectedBefore);
    QCOMPARE(logLinesAt(env, "clsGenericMaint:AddNode_RangeAccount"), 1);
    QVERIFY(env.logText().contains("Key is not unique in collection"));
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(Err().Number(), 0); // reported and cleared
}

void tst_clsGenericMaint::blankLevelCodeCollidesWithLevel() {
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    gm.AddNode_Root(tree, kRoot);
    gm.AddNode_ChartOfAccount(tree, kRoot, "100", "", false);
    TreeNode* level = gm.AddNode_Level(tree, kRoot, "100", "X", false);
    // A code without level is keyed like a level of the same text: the second node is not added.
    TreeNode* code = gm.AddNode_CodCat(tree, kRoot, "100", "", "X", "Desc", false, 1);
    QCOMPARE(code, level);
    QCOMPARE(tree.Count(), 3);
    QCOMPARE(level->Text(), QString("X"));
    QCOMPARE(logLinesAt(env, "clsGenericMaint:AddNode_CodCat"), 1);
}

void tst_clsGenericMaint::missingParentIsReportedOnce() {
    SAMPLE_TREE();
    const int count = tree.Count();
    QCOMPARE(gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "NOCODE", "1", "2", true), nullptr);
    QCOMPARE(gm.AddNode_Level(tree, kRoot, "999", "L1", false), nullptr);
    QCOMPARE(tree.Count(), count);
    QCOMPARE(tree.Node(key({kRoot, "100", "L1", "NOCODE", "1", "2"})), nullptr);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QCOMPARE(logLinesAt(env, "clsGenericMaint:AddNode_RangeAccount"), 1);
    QCOMPARE(logLinesAt(env, "clsGenericMaint:AddNode_Level"), 1);
    QVERIFY(env.logText().contains("Element not found"));
    QVERIFY(env.ui.messages.isEmpty());
}

void tst_clsGenericMaint::newRecordSelectsOnlyWhenPending() {
    SAMPLE_TREE();
    TreeNode* chart = tree.Node(key({kRoot, "200", "", "", "", ""}));
    tree.SetSelectedItem(chart);
    TreeNode* quiet = gm.AddNode_Level(tree, kRoot, "200", "L5", false);
    QVERIFY(quiet);
    QCOMPARE(tree.SelectedItem(), chart);
    TreeNode* chosen = gm.AddNode_CodCat(tree, kRoot, "200", "L5", "C5", "", true, 3);
    QVERIFY(chosen);
    QCOMPARE(tree.SelectedItem(), chosen);
}

void tst_clsGenericMaint::keylessNodesAreNeverIndexed() {
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    TreeNode* first = gm.AddNode(tree, {}, {}, "There is no item at this range", TreeImages::ChartOfAccount,
                                 {}, true, false, noticeInfo());
    TreeNode* second = gm.AddNode(tree, {}, {}, "There is no item at this range", TreeImages::ChartOfAccount,
                                  {}, true, false, noticeInfo());
    QVERIFY(first && second && first != second);
    QCOMPARE(tree.Count(), 2);
    QCOMPARE(tree.Node(QString()), nullptr);
    QCOMPARE(first->Key(), QString());
    QCOMPARE(first->Tag(), QString());
    QCOMPARE(first->Parent(), nullptr);
    QVERIFY(first->Expanded());
    QVERIFY(env.logText().isEmpty());
    QVERIFY(tree.Remove(first));
    QCOMPARE(tree.Count(), 1);
}

void tst_clsGenericMaint::genericAddKeepsKindAndTagApart() {
    SAMPLE_TREE();
    // A level under a multiplier, as the code editor of multipliers builds it: tag "2", its own kind.
    NodeInfo info;
    info.kind = NodeKind::MultiCategoryLevel;
    info.multiCategory = "C2";
    info.level = "L3";
    const QString parent = key({kRoot, "100", "L1", "C2", "", ""});
    const QString own = key({kRoot, "100", "L1", "C2", "L3", ""});
    TreeNode* node = gm.AddNode(tree, parent, own, "L3", TreeImages::Level, "2", false, false, info,
                                "frmCodeMaintenance:AddNode_MultiCategoryLevel");
    QVERIFY(node);
    QCOMPARE(node->Tag(), QString("2"));
    QCOMPARE(node->Kind(), NodeKind::MultiCategoryLevel);
    QCOMPARE(node->Info().multiCategory, QString("C2"));
    QCOMPARE(node->Parent(), tree.Node(parent));
    QCOMPARE(gm.AddNode(tree, parent, own, "again", TreeImages::Level, "2", false, false, info,
                        "frmCodeMaintenance:AddNode_MultiCategoryLevel"),
             node);
    QCOMPARE(logLinesAt(env, "frmCodeMaintenance:AddNode_MultiCategoryLevel"), 1);
}

void tst_clsGenericMaint::removalTakesTheSubtree() {
    SAMPLE_TREE();
    const QString level = key({kRoot, "100", "L1", "", "", ""});
    QVERIFY(tree.Remove(level));
    QCOMPARE(tree.Count(), 4);
    QCOMPARE(tree.Node(level), nullptr);
    QCOMPARE(tree.Node(rangeKey("1000", "1999")), nullptr);
    QCOMPARE(tree.Node(key({kRoot, "100", "L1", "C2", "", ""})), nullptr);
    QCOMPARE(texts(tree.Nodes()), QStringList({kRoot, "100", "L2", "200"}));
    // The keys are free again.
    QVERIFY(gm.AddNode_Level(tree, kRoot, "100", "L1", false));
    QVERIFY(env.logText().isEmpty());
}

void tst_clsGenericMaint::removalMovesTheSelection_data() {
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("expected"); // "" for no selection
    const QString r1 = rangeKey("1000", "1999");
    const QString r2 = rangeKey("2000", "2999");
    const QString r3 = rangeKey("3000", "3999");
    const QString c1 = key({kRoot, "100", "L1", "C1", "", ""});
    const QString c2 = key({kRoot, "100", "L1", "C2", "", ""});
    const QString l1 = key({kRoot, "100", "L1", "", "", ""});
    const QString l2 = key({kRoot, "100", "L2", "", "", ""});
    const QString root = key({kRoot, "", "", "", "", ""});
    QTest::newRow("next sibling") << r2 << r2 << r3;
    QTest::newRow("previous sibling when last") << r3 << r3 << r2;
    QTest::newRow("first goes to next") << r1 << r1 << r2;
    QTest::newRow("parent when only child") << l2 << l2 << l1;
    QTest::newRow("selection below the removed node") << c1 << r2 << c2;
    QTest::newRow("selection deep below, last sibling") << l2 << l2 << l1;
    QTest::newRow("selection elsewhere stays") << c2 << r1 << r1;
    QTest::newRow("lone top-level node leaves none") << root << r1 << "";
}

void tst_clsGenericMaint::removalMovesTheSelection() {
    QFETCH(QString, removed);
    QFETCH(QString, selected);
    QFETCH(QString, expected);
    SAMPLE_TREE();
    QSignalSpy clicks(&tree, &MaintTree::NodeClick);
    tree.SetSelectedItem(tree.Node(selected));
    QVERIFY(tree.SelectedItem());
    QVERIFY(tree.Remove(removed));
    QCOMPARE(tree.SelectedItem(), expected.isEmpty() ? nullptr : tree.Node(expected));
    QCOMPARE(clicks.count(), 0);
}

void tst_clsGenericMaint::removingAnUnknownKeyFails() {
    SAMPLE_TREE();
    const int count = tree.Count();
    QVERIFY(!tree.Remove(rangeKey("7", "8")));
    QCOMPARE(Err().Number(), MaintTree::ElementNotFound);
    QCOMPARE(tree.Count(), count);
    Err().Clear();
}

void tst_clsGenericMaint::lookupsStayRightThroughManyRemovals() {
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    gm.AddNode_Root(tree, kRoot);
    gm.AddNode_ChartOfAccount(tree, kRoot, "100", "", false);
    QHash<QString, bool> present; // every key made, and whether it should still be found
    for (int c = 0; c < 60; ++c) {
        const QString code = QString("C%1").arg(c);
        gm.AddNode_CodCat(tree, kRoot, "100", "", code, "", false, 1);
        present.insert(key({kRoot, "100", code, "", "", ""}), true);
        for (int r = 0; r < 40; ++r) {
            gm.AddNode_RangeAccount(tree, kRoot, "100", "", code, QString::number(r), QString::number(r + c),
                                    false);
            present.insert(key({kRoot, "100", code, QString::number(r), QString::number(r + c), ""}), true);
        }
    }
    // Whole codes and single ranges go, in an order unrelated to how they were added.
    for (int c = 0; c < 60; c += 7) {
        const QString code = key({kRoot, "100", QString("C%1").arg(c), "", "", ""});
        QVERIFY(tree.Remove(code));
        for (auto it = present.begin(); it != present.end(); ++it)
            if (it.key().startsWith(code.chopped(3)))
                it.value() = false;
    }
    int removedRanges = 0;
    for (auto it = present.begin(); it != present.end(); ++it) {
        if (!it.value())
            continue;
        const TreeNode* node = tree.Node(it.key());
        QVERIFY2(node, "lost before its turn");
        if (node->Kind() == NodeKind::RangeAccount && qHash(it.key()) % 3 == 0) {
            QVERIFY(tree.Remove(it.key()));
            it.value() = false;
            ++removedRanges;
        }
    }
    QVERIFY(removedRanges > 100);
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        const TreeNode* node = tree.Node(it.key());
        QCOMPARE(node != nullptr, it.value());
        if (node)
            QCOMPARE(node->Key(), it.key());
    }
    QCOMPARE(tree.Count(), 2 + static_cast<int>(std::count(present.cbegin(), present.cend(), true)));
}

void tst_clsGenericMaint::navigation() {
    SAMPLE_TREE();
    TreeNode* range = tree.Node(rangeKey("2000", "2999"));
    TreeNode* code = tree.Node(key({kRoot, "100", "L1", "C1", "", ""}));
    TreeNode* level = tree.Node(key({kRoot, "100", "L1", "", "", ""}));
    TreeNode* root = tree.Node(key({kRoot, "", "", "", "", ""}));
    QCOMPARE(range->Parent(), code);
    QCOMPARE(range->GrandParent(), level);
    QCOMPARE(range->Root(), root);
    QCOMPARE(range->RootText(), kRoot);
    QCOMPARE(root->Parent(), nullptr);
    QCOMPARE(root->GrandParent(), nullptr);
    QCOMPARE(code->ChildCount(), 3);
    QCOMPARE(code->FirstChild()->Text(), QString("1000 - 1999"));
    QCOMPARE(range->NextSibling()->Text(), QString("3000 - 3999"));
    QCOMPARE(range->PreviousSibling()->Text(), QString("1000 - 1999"));
    QCOMPARE(range->NextSibling()->NextSibling(), nullptr);
    QCOMPARE(range->ChildCount(), 0);
    QCOMPARE(range->Tree(), &tree);
    QVERIFY(level->Contains(range));
    QVERIFY(!range->Contains(level));
    QCOMPARE(texts(tree.Nodes()), QStringList({kRoot, "100", "L1", "C1:First", "1000 - 1999", "2000 - 2999",
                                               "3000 - 3999", "C2:Second", "L2", "200"}));
    QCOMPARE(tree.IndexOf(range), 5);
    QCOMPARE(tree.Nodes().at(5), range);

    // The node at a point of the shown tree.
    tree.resize(400, 400);
    QVERIFY(exposed(tree));
    tree.EnsureVisible(range);
    const QRect rect = tree.visualRect(tree.Model()->indexFromNode(range));
    QVERIFY(rect.isValid());
    QCOMPARE(tree.HitTest(rect.center()), range);
    QCOMPARE(tree.HitTest(QPoint(5, tree.viewport()->height() - 2)), nullptr);
    // Showing a node expands its ancestors.
    QVERIFY(code->Expanded());
    QVERIFY(level->Expanded());
}

void tst_clsGenericMaint::collectionOrderSurvivesRemoval() {
    SAMPLE_TREE();
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "4000", "4999", false);
    QVERIFY(tree.Remove(rangeKey("2000", "2999")));
    QCOMPARE(texts(tree.Nodes()), QStringList({kRoot, "100", "L1", "C1:First", "1000 - 1999", "3000 - 3999",
                                               "C2:Second", "L2", "200", "4000 - 4999"}));
    QCOMPARE(tree.IndexOf(tree.Node(rangeKey("4000", "4999"))), 9);
    QCOMPARE(tree.IndexOf(tree.Node(key({kRoot, "200", "", "", "", ""}))), 8);
}

void tst_clsGenericMaint::selectingFromCodeRaisesNoNodeClick() {
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    QVERIFY(exposed(tree));
    QSignalSpy clicks(&tree, &MaintTree::NodeClick);
    buildSample(tree, gm);
    TreeNode* code = tree.Node(key({kRoot, "100", "L1", "C1", "", ""}));
    tree.SetSelectedItem(code);
    QCOMPARE(tree.SelectedItem(), code);
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "5000", "5999", true);
    QCOMPARE(tree.SelectedItem()->Text(), QString("5000 - 5999"));
    gm.ExpandCurrent(true, tree);
    tree.SetSelectedItem(nullptr);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QCOMPARE(clicks.count(), 0);
    // Selecting from code neither expands nor scrolls to the node.
    QVERIFY(!tree.Node(key({kRoot, "100", "L2", "", "", ""}))->Expanded());
}

void tst_clsGenericMaint::userClickAndKeyboardRaiseNodeClick() {
    SAMPLE_TREE();
    tree.resize(400, 400);
    QVERIFY(exposed(tree));
    QSignalSpy clicks(&tree, &MaintTree::NodeClick);
    TreeNode* chart = tree.Node(key({kRoot, "100", "", "", "", ""}));
    const QRect rect = tree.visualRect(tree.Model()->indexFromNode(chart));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.takeFirst().at(0).value<TreeNode*>(), chart);
    QCOMPARE(tree.SelectedItem(), chart);
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.takeFirst().at(0).value<TreeNode*>(), chart->FirstChild());
    // A right press leaves the selection to the editor.
    TreeNode* other = tree.Node(key({kRoot, "200", "", "", "", ""}));
    QSignalSpy downs(&tree, &MaintTree::MouseDown);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {},
                      tree.visualRect(tree.Model()->indexFromNode(other)).center());
    QCOMPARE(downs.count(), 1);
    QCOMPARE(tree.HitTest(downs.first().at(2).toPoint()), other);
    QCOMPARE(tree.SelectedItem(), chart->FirstChild());
    QCOMPARE(clicks.count(), 0);
}

void tst_clsGenericMaint::expandCurrent_data() {
    QTest::addColumn<bool>("expand");
    QTest::newRow("expand") << true;
    QTest::newRow("collapse") << false;
}

void tst_clsGenericMaint::expandCurrent() {
    QFETCH(bool, expand);
    SAMPLE_TREE();
    QVERIFY(exposed(tree));
    TreeNode* chart = tree.Node(key({kRoot, "100", "", "", "", ""}));
    TreeNode* other = tree.Node(key({kRoot, "200", "", "", "", ""}));
    // Three levels below the chart: levels, codes, ranges; start from the opposite state.
    for (TreeNode* n : tree.Nodes())
        if (chart->Contains(n))
            tree.SetExpanded(n, !expand);
    tree.SetExpanded(other, false);
    tree.SetSelectedItem(chart);
    gm.ExpandCurrent(expand, tree);
    for (TreeNode* n : tree.Nodes()) {
        if (!chart->Contains(n))
            continue;
        QCOMPARE(n->Expanded(), expand);
        QCOMPARE(tree.isExpanded(tree.Model()->indexFromNode(n)), expand);
    }
    QVERIFY(!other->Expanded());
    QVERIFY(tree.Node(key({kRoot, "", "", "", "", ""}))->Expanded());
    QCOMPARE(tree.SelectedItem(), chart);
    QVERIFY(tree.isVisible());
    QVERIFY(tree.updatesEnabled());
}

void tst_clsGenericMaint::expandCurrentWithoutSelectionChangesNothing() {
    SAMPLE_TREE();
    QVERIFY(exposed(tree));
    QList<bool> before;
    for (const TreeNode* n : tree.Nodes())
        before << n->Expanded();
    gm.ExpandCurrent(true, tree);
    QList<bool> after;
    for (const TreeNode* n : tree.Nodes())
        after << n->Expanded();
    QCOMPARE(after, before);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QVERIFY(tree.isVisible());
}

void tst_clsGenericMaint::buildKeepsNodesCollapsedUntilItEnds() {
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    QVERIFY(exposed(tree));
    TreeNode* root = nullptr;
    {
        MaintTree::BuildScope build(tree, 10);
        QVERIFY(tree.Building());
        buildSample(tree, gm);
        root = tree.Node(key({kRoot, "", "", "", "", ""}));
        QVERIFY(root->Expanded());
        QVERIFY(!tree.isExpanded(tree.Model()->indexFromNode(root)));
        QCoreApplication::processEvents();
    }
    QVERIFY(!tree.Building());
    QVERIFY(tree.isExpanded(tree.Model()->indexFromNode(root)));
    QVERIFY(tree.isExpanded(tree.Model()->indexFromNode(tree.Node(key({kRoot, "100", "", "", "", ""})))));
    QVERIFY(!tree.isExpanded(tree.Model()->indexFromNode(tree.Node(key({kRoot, "100", "L1", "", "", ""})))));
    QCOMPARE(tree.Model()->rowCount(tree.Model()->indexFromNode(root)), 2);
}

void tst_clsGenericMaint::initializeTreeEmptiesTheTree() {
    SAMPLE_TREE();
    tree.SetSelectedItem(tree.Node(rangeKey("1000", "1999")));
    gm.InitializeTree(tree);
    QCOMPARE(tree.Count(), 0);
    QCOMPARE(tree.Model()->rowCount(), 0);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QCOMPARE(tree.Node(rangeKey("1000", "1999")), nullptr);
    buildSample(tree, gm);
    QCOMPARE(tree.Count(), 10);
    QVERIFY(env.logText().isEmpty());
}

void tst_clsGenericMaint::modelStaysConsistentDuringBuildAndRemoval_data() {
    QTest::addColumn<bool>("asBuild");
    QTest::newRow("single adds") << false;
    QTest::newRow("build") << true;
}

void tst_clsGenericMaint::modelStaysConsistentDuringBuildAndRemoval() {
    QFETCH(bool, asBuild);
    TestEnvironment env;
    MaintTree tree;
    clsGenericMaint gm;
    tree.show();
    QAbstractItemModelTester tester(tree.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    {
        std::unique_ptr<MaintTree::BuildScope> build;
        if (asBuild)
            build = std::make_unique<MaintTree::BuildScope>(tree, 200);
        buildSample(tree, gm);
        for (int c = 0; c < 4; ++c) {
            const QString code = QString("D%1").arg(c);
            gm.AddNode_CodCat(tree, kRoot, "100", "L2", code, "", false, 3);
            for (int r = 0; r < 5; ++r)
                gm.AddNode_RangeAccount(tree, kRoot, "100", "L2", code, QString::number(r),
                                        QString::number(r), false);
            // Something shown in the middle of a load.
            QCoreApplication::processEvents();
        }
        gm.AddNode_CodCat(tree, kRoot, "200", "", "M1", "", true, 1);
    }
    QCOMPARE(tree.Count(), 10 + 4 * 6 + 1);
    QVERIFY(tree.Remove(key({kRoot, "100", "L2", "D1", "", ""})));
    QVERIFY(tree.Remove(rangeKey("1000", "1999")));
    QVERIFY(tree.Remove(key({kRoot, "100", "", "", "", ""})));
    QCOMPARE(tree.Count(), 3);
    gm.InitializeTree(tree);
    QCOMPARE(tree.Count(), 0);
}

QTEST_MAIN(tst_clsGenericMaint)
#include "tst_clsGenericMaint.moc"
