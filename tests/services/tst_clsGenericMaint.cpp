#include "platform/CurrentError.h"
#include "services/MaintTree.h"
#include "services/TreeImages.h"
#include "services/TreeNode.h"
#include "services/clsGenericMaint.h"
#include "support/SampleTree.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString& kRoot = kSampleRoot;

QStringList texts(const std::vector<TreeNode*>& nodes) {
    QStringList list;
    for (const TreeNode* n : nodes)
        list << n->Text();
    return list;
}

// The root, chart 100, the level (unless blank), code C9, range 10 - 20 or child K7, down to a node of the
// kind; the description goes to the last node. Returns that node.
TreeNode* addChain(MaintTree& tree, clsGenericMaint& gm, const QString& kind, const QString& level,
                   const QString& desc, int type) {
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

// Adds the node named "level CHART LEVEL", "code CHART LEVEL CODE", "range CHART LEVEL CODE FROM TO" or
// "generic CHART LEVEL CODE FROM TO" (as the code editor adds its own kinds); "-" stands for a blank.
TreeNode* addNode(MaintTree& tree, clsGenericMaint& gm, const QString& what, bool newRecord) {
    QStringList a = what.split(' ').replaceInStrings(QRegularExpression("^-$"), "");
    a.resize(6);
    if (a[0] == "level")
        return gm.AddNode_Level(tree, kRoot, a[1], a[2], newRecord);
    if (a[0] == "code")
        return gm.AddNode_CodCat(tree, kRoot, a[1], a[2], a[3], "Desc", newRecord, 1);
    if (a[0] == "range")
        return gm.AddNode_RangeAccount(tree, kRoot, a[1], a[2], a[3], a[4], a[5], newRecord);
    return gm.AddNode(tree, SampleKey(a[1], a[2], a[3]), SampleKey(a[1], a[2], a[3], a[4], a[5]), "again",
                      TreeImages::Level, "2", false, newRecord, NodeInfo{},
                      "frmCodeMaintenance:AddNode_MultiCategoryLevel");
}

// A node added by addChain and what it becomes: its key and its parent's after the root text ("-": none).
struct Shape {
    QString kind, level, desc;
    int type;
    QStringList ownKey, parentKey;
    QString text, tag, image;
};

bool exposed(MaintTree& tree) {
    tree.resize(400, 400);
    tree.show();
    return QTest::qWaitForWindowExposed(&tree);
}

} // namespace

Q_DECLARE_METATYPE(Shape)

// An empty tree, or the sample tree, with the environment it logs to.
#define EMPTY_TREE()                                                                                         \
    TestEnvironment env;                                                                                     \
    MaintTree tree;                                                                                          \
    clsGenericMaint gm
#define SAMPLE_TREE()                                                                                        \
    EMPTY_TREE();                                                                                            \
    BuildSampleTree(tree, gm)

class tst_clsGenericMaint : public QObject {
    Q_OBJECT
private slots:
    void nodeShapes_data();
    void nodeShapes();
    void everyImageKeyHasAnIcon();
    void adds_data();
    void adds();
    void keylessNodesAreNeverIndexed();
    void removalTakesTheSubtreeAndKeepsTheOrder();
    void removalMovesTheSelection_data();
    void removalMovesTheSelection();
    void lookupsStayRightThroughManyRemovals();
    void navigationAndHitTest();
    void nodeClickComesFromTheUserOnly();
    void expandCurrent_data();
    void expandCurrent();
    void modelStaysConsistent_data();
    void modelStaysConsistent();
};

void tst_clsGenericMaint::nodeShapes_data() {
    QTest::addColumn<Shape>("s");
    const QStringList l1{"100", "L1"}, c9{"100", "L1", "C9"};
    const auto row = [](const char* name, Shape shape) { QTest::newRow(name) << shape; };
    row("root", {"root", "", "", 3, {}, {"-"}, kRoot, "0", "root"});
    row("chart", {"chart", "", "", 3, {"100"}, {}, "100", "1", "chartofaccount"});
    row("chart with description", {"chart", "", "Unit", 4, {"100"}, {}, "100:Unit", "1", "chartofaccount"});
    row("level", {"level", "L1", "", 3, l1, {"100"}, "L1", "2", "level"});
    row("multiplier", {"code", "L1", "Mult", 1, c9, l1, "C9:Mult", "3", "multiplier"});
    row("category", {"code", "L1", "Cat", 2, c9, l1, "C9:Cat", "3", "categories"});
    row("account level code", {"code", "L1", "a:b", 3, c9, l1, "C9:a:b", "3", "code"});
    row("business unit code", {"code", "L1", "", 4, c9, l1, "C9:", "3", "code"});
    row("code without level", {"code", "", "", 5, {"100", "C9"}, {"100"}, "C9:", "3", "code"});
    row("code with a blank level",
        {"code", " ", "", 3, {"100", " ", "C9"}, {"100", " "}, "C9:", "3", "code"});
    row("range", {"range", "L1", "", 3, {"100", "L1", "C9", "10", "20"}, c9, "10 - 20", "4", "rangeaccount"});
    row("range without level",
        {"range", "", "", 3, {"100", "C9", "10", "20"}, {"100", "C9"}, "10 - 20", "4", "rangeaccount"});
    row("child", {"child", "L1", "Kid", 3, {"100", "L1", "C9", "K7"}, c9, "K7:Kid", "4", "childcode"});
    row("child without level",
        {"child", "", "", 3, {"100", "C9", "K7"}, {"100", "C9"}, "K7:", "4", "childcode"});
}

void tst_clsGenericMaint::nodeShapes() {
    QFETCH(Shape, s);
    EMPTY_TREE();
    TreeNode* node = addChain(tree, gm, s.kind, s.level, s.desc, s.type);
    const auto key = [](QStringList parts) {
        parts.resize(5);
        return SampleKey(parts[0], parts[1], parts[2], parts[3], parts[4]);
    };
    QVERIFY(node);
    QCOMPARE(node->Key(), key(s.ownKey));
    QCOMPARE(tree.Node(key(s.ownKey)), node);
    QCOMPARE(node->Parent() ? node->Parent()->Key() : "-",
             s.parentKey == QStringList{"-"} ? "-" : key(s.parentKey));
    QCOMPARE(QStringList({node->Text(), node->Tag(), node->Image()}), QStringList({s.text, s.tag, s.image}));
    QCOMPARE(node->Expanded(), s.kind == "root" || s.kind == "chart");
    QVERIFY(!tree.Model()->indexFromNode(node).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(env.logText().isEmpty());
}

void tst_clsGenericMaint::everyImageKeyHasAnIcon() {
    for (const QString& k : QStringList{"root", "chartofaccount", "level", "code", "multiplier", "categories",
                                        "rangeaccount", "search", "childcode"}) {
        const QImage image = TreeImages::Icon(k).pixmap(32, 32).toImage();
        QImage blank(image.size(), image.format());
        blank.fill(Qt::transparent);
        QVERIFY2(TreeImages::Keys().contains(k) && image.width() == 32 && image != blank, qPrintable(k));
    }
}

void tst_clsGenericMaint::adds_data() {
    QTest::addColumn<QString>("add");
    QTest::addColumn<bool>("newRecord");
    QTest::addColumn<QString>("answer");   // the key of the node answered; empty: none
    QTest::addColumn<QString>("location"); // where a refusal is logged; empty: added
    const QString r2 = SampleKey("100", "L1", "C1", "2000", "2999");
    const QString range = "clsGenericMaint:AddNode_RangeAccount";
    QTest::newRow("level while loading") << "level 200 L5" << false << SampleKey("200", "L5") << "";
    QTest::newRow("code, new record") << "code 200 - C5" << true << SampleKey("200", "C5") << "";
    QTest::newRow("range again") << "range 100 L1 C1 2000 2999" << false << r2 << range;
    QTest::newRow("range again, new record") << "range 100 L1 C1 2000 2999" << true << r2 << range;
    // A code without level is keyed like a level of the same text.
    QTest::newRow("code keyed like a level")
        << "code 100 - L2" << false << SampleKey("100", "L2") << "clsGenericMaint:AddNode_CodCat";
    QTest::newRow("generic node again")
        << "generic 100 L1 C2 5000 5999" << false << SampleKey("100", "L1", "C2", "5000", "5999")
        << "frmCodeMaintenance:AddNode_MultiCategoryLevel";
    QTest::newRow("range of a missing code") << "range 100 L1 NOCODE 1 2" << true << "" << range;
    QTest::newRow("level of a missing chart") << "level 999 L1" << false << ""
                                              << "clsGenericMaint:AddNode_Level";
}

void tst_clsGenericMaint::adds() {
    QFETCH(QString, add);
    QFETCH(bool, newRecord);
    QFETCH(QString, answer);
    QFETCH(QString, location);
    SAMPLE_TREE();
    TreeNode* selected = tree.Node(SampleKey("200"));
    tree.SetSelectedItem(selected);
    const QStringList before = texts(tree.Nodes());
    TreeNode* node = addNode(tree, gm, add, newRecord);
    QCOMPARE(node, answer.isEmpty() ? nullptr : tree.Node(answer));
    QCOMPARE(texts(tree.Nodes()).size(), before.size() + (location.isEmpty() ? 1 : 0));
    QCOMPARE(texts(tree.Nodes()).mid(0, before.size()), before);
    QCOMPARE(tree.SelectedItem(), newRecord && node ? node : selected);
    // What the user has just added is shown, even under a collapsed parent.
    for (TreeNode* p = newRecord && node ? node->Parent() : nullptr; p; p = p->Parent())
        QVERIFY(p->Expanded());
    QCOMPARE(env.logLines().filter(QRegularExpression("in " + location + "$")).size(),
             location.isEmpty() ? 0 : 1);
    QCOMPARE(
        env.logText().contains(answer.isEmpty() ? "Element not found" : "Key is not unique in collection"),
        !location.isEmpty());
    QVERIFY(env.ui.messages.isEmpty());
    QCOMPARE(Err().Number(), 0); // reported and cleared
}

void tst_clsGenericMaint::keylessNodesAreNeverIndexed() {
    EMPTY_TREE();
    NodeInfo notice;
    notice.kind = NodeKind::Notice;
    TreeNode* first =
        gm.AddNode(tree, {}, {}, "There is no item", TreeImages::ChartOfAccount, {}, true, false, notice);
    TreeNode* second =
        gm.AddNode(tree, {}, {}, "There is no item", TreeImages::ChartOfAccount, {}, true, false, notice);
    QVERIFY(first && second && first != second);
    QCOMPARE(tree.Count(), 2);
    QCOMPARE(tree.Node(QString()), nullptr);
    QVERIFY(env.logText().isEmpty());
    QVERIFY(tree.Remove(first));
    QCOMPARE(tree.Count(), 1);
}

void tst_clsGenericMaint::removalTakesTheSubtreeAndKeepsTheOrder() {
    SAMPLE_TREE();
    QVERIFY(gm.AddNode_CodCat(tree, kRoot, "100", "L2", "C4", "", false, 3));
    QVERIFY(gm.AddNode_RangeAccount(tree, kRoot, "100", "L2", "C4", "4000", "4999", false));
    QVERIFY(tree.Remove(SampleKey("100", "L1", "C1")));
    QVERIFY(tree.Remove(SampleKey("100", "L1", "C2", "5000", "5999")));
    QCOMPARE(tree.Node(SampleKey("100", "L1", "C1", "1000", "1999")), nullptr);
    QCOMPARE(texts(tree.Nodes()),
             QStringList({kRoot, "100", "L1", "C2:Second", "L2", "200", "C4:", "4000 - 4999"}));
    QCOMPARE(tree.IndexOf(tree.Node(SampleKey("100", "L2", "C4", "4000", "4999"))), 7);
    // The keys are free again; an unknown key is an error.
    QVERIFY(gm.AddNode_CodCat(tree, kRoot, "100", "L1", "C1", "", false, 3));
    QVERIFY(!tree.Remove(SampleKey("100", "L1", "C1", "7", "8")));
    QCOMPARE(Err().Number(), MaintTree::ElementNotFound);
    Err().Clear();
    QCOMPARE(tree.Count(), 9);
}

void tst_clsGenericMaint::removalMovesTheSelection_data() {
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("expected"); // "" for no selection
    const QString r1 = SampleKey("100", "L1", "C1", "1000", "1999");
    const QString r2 = SampleKey("100", "L1", "C1", "2000", "2999");
    const QString r3 = SampleKey("100", "L1", "C1", "3000", "3999");
    const QString c1 = SampleKey("100", "L1", "C1");
    const QString c2 = SampleKey("100", "L1", "C2");
    const QString r5 = SampleKey("100", "L1", "C2", "5000", "5999");
    QTest::newRow("next sibling") << r2 << r2 << r3;
    QTest::newRow("previous sibling when last") << r3 << r3 << r2;
    QTest::newRow("first goes to next") << r1 << r1 << r2;
    QTest::newRow("parent when only child") << r5 << r5 << c2;
    QTest::newRow("selection below the removed node") << c1 << r2 << c2;
    QTest::newRow("selection deep below, last sibling") << c2 << r5 << c1;
    QTest::newRow("selection elsewhere stays") << c2 << r1 << r1;
    QTest::newRow("lone top-level node leaves none") << SampleKey() << r1 << "";
}

void tst_clsGenericMaint::removalMovesTheSelection() {
    QFETCH(QString, removed);
    QFETCH(QString, selected);
    QFETCH(QString, expected);
    SAMPLE_TREE();
    QSignalSpy clicks(&tree, &MaintTree::NodeClick);
    tree.SetSelectedItem(tree.Node(selected));
    QVERIFY(tree.Remove(removed));
    QCOMPARE(tree.SelectedItem(), expected.isEmpty() ? nullptr : tree.Node(expected));
    QCOMPARE(clicks.count(), 0);
}

void tst_clsGenericMaint::lookupsStayRightThroughManyRemovals() {
    EMPTY_TREE();
    gm.AddNode_Root(tree, kRoot);
    gm.AddNode_ChartOfAccount(tree, kRoot, "100", "", false);
    QHash<QString, bool> present; // every key made, and whether it should still be found
    for (int c = 0; c < 60; ++c) {
        const QString code = QString("C%1").arg(c);
        present.insert(SampleKey("100", code), gm.AddNode_CodCat(tree, kRoot, "100", "", code, "", false, 1));
        for (int r = 0; r < 40; ++r)
            present.insert(SampleKey("100", code, QString::number(r), QString::number(r + c)),
                           gm.AddNode_RangeAccount(tree, kRoot, "100", "", code, QString::number(r),
                                                   QString::number(r + c), false));
    }
    // Whole codes and single ranges go, in an order unrelated to how they were added.
    for (auto it = present.begin(); it != present.end(); ++it) {
        const QString code = SampleKey("100", it.key().section(QChar(0x00FF), 2, 2));
        if (code.section(QChar(0x00FF), 2, 2).mid(1).toInt() % 7 == 0) {
            if (tree.Node(code))
                QVERIFY(tree.Remove(code));
        } else if (it.key() != code && qHash(it.key()) % 3 == 0) {
            QVERIFY(tree.Remove(it.key()));
        } else {
            continue;
        }
        it.value() = false;
    }
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        const TreeNode* node = tree.Node(it.key());
        QCOMPARE(node ? node->Key() : QString(), it.value() ? it.key() : QString());
    }
    QCOMPARE(tree.Count(), 2 + static_cast<int>(std::count(present.cbegin(), present.cend(), true)));
}

void tst_clsGenericMaint::navigationAndHitTest() {
    SAMPLE_TREE();
    TreeNode* range = tree.Node(SampleKey("100", "L1", "C1", "2000", "2999"));
    TreeNode* code = tree.Node(SampleKey("100", "L1", "C1"));
    TreeNode* level = tree.Node(SampleKey("100", "L1"));
    TreeNode* root = tree.Node(SampleKey());
    const auto text = [](const TreeNode* n) { return n ? n->Text() : QString("-"); };
    QCOMPARE((QStringList{text(range->Parent()), text(range->GrandParent()), text(range->Root()),
                          text(root->GrandParent()), text(code->FirstChild()), text(range->NextSibling()),
                          text(range->PreviousSibling()), text(range->NextSibling()->NextSibling())}),
             (QStringList{"C1:First", "L1", kRoot, "-", "1000 - 1999", "3000 - 3999", "1000 - 1999", "-"}));
    QVERIFY(range->RootText() == kRoot && code->ChildCount() == 3);
    QVERIFY(level->Contains(range) && !range->Contains(level));
    QCOMPARE(tree.Nodes().at(tree.IndexOf(range)), range);
    // The node at a point of the shown tree; showing a node expands its ancestors.
    QVERIFY(exposed(tree));
    tree.EnsureVisible(range);
    QVERIFY(code->Expanded() && level->Expanded());
    QCOMPARE(tree.HitTest(tree.visualRect(tree.Model()->indexFromNode(range)).center()), range);
    QCOMPARE(tree.HitTest(QPoint(5, tree.viewport()->height() - 2)), nullptr);
}

void tst_clsGenericMaint::nodeClickComesFromTheUserOnly() {
    SAMPLE_TREE();
    QVERIFY(exposed(tree));
    QSignalSpy clicks(&tree, &MaintTree::NodeClick);
    // Selecting from code raises nothing, and neither expands nor scrolls to the node.
    tree.SetSelectedItem(tree.Node(SampleKey("100", "L1", "C1")));
    gm.AddNode_RangeAccount(tree, kRoot, "100", "L1", "C1", "5000", "5999", true);
    gm.ExpandCurrent(true, tree);
    QVERIFY(!tree.Node(SampleKey("100", "L2"))->Expanded());
    tree.SetSelectedItem(nullptr);
    QCOMPARE(clicks.count(), 0);
    TreeNode* chart = tree.Node(SampleKey("100"));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      tree.visualRect(tree.Model()->indexFromNode(chart)).center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.takeFirst().at(0).value<TreeNode*>(), chart);
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.takeFirst().at(0).value<TreeNode*>(), chart->FirstChild());
    // A right press leaves the selection to the editor.
    TreeNode* other = tree.Node(SampleKey("200"));
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
    QTest::addColumn<bool>("selected");
    QTest::newRow("expand") << true << true;
    QTest::newRow("collapse") << false << true;
    QTest::newRow("nothing selected") << true << false;
}

void tst_clsGenericMaint::expandCurrent() {
    QFETCH(bool, expand);
    QFETCH(bool, selected);
    SAMPLE_TREE();
    QVERIFY(exposed(tree));
    TreeNode* chart = tree.Node(SampleKey("100"));
    // Three levels below the chart: levels, codes, ranges; start from the opposite state.
    for (TreeNode* n : tree.Nodes())
        if (chart->Contains(n))
            tree.SetExpanded(n, !expand);
    tree.SetExpanded(tree.Node(SampleKey("200")), false);
    tree.SetSelectedItem(selected ? chart : nullptr);
    gm.ExpandCurrent(expand, tree);
    for (TreeNode* n : tree.Nodes()) {
        if (!chart->Contains(n))
            continue;
        QCOMPARE(n->Expanded(), selected ? expand : !expand);
        QCOMPARE(tree.isExpanded(tree.Model()->indexFromNode(n)), n->Expanded());
    }
    QVERIFY(!tree.Node(SampleKey("200"))->Expanded());
    QVERIFY(tree.Node(SampleKey())->Expanded());
    QCOMPARE(tree.SelectedItem(), selected ? chart : nullptr);
    QVERIFY(tree.isVisible() && tree.updatesEnabled());
}

void tst_clsGenericMaint::modelStaysConsistent_data() {
    QTest::addColumn<bool>("asBuild");
    QTest::newRow("single adds") << false;
    QTest::newRow("build") << true;
}

void tst_clsGenericMaint::modelStaysConsistent() {
    QFETCH(bool, asBuild);
    EMPTY_TREE();
    QVERIFY(exposed(tree));
    QAbstractItemModelTester tester(tree.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto shownOpen = [&](const QString& key) {
        return tree.isExpanded(tree.Model()->indexFromNode(tree.Node(key)));
    };
    {
        std::unique_ptr<MaintTree::BuildScope> build;
        if (asBuild)
            build = std::make_unique<MaintTree::BuildScope>(tree, 200);
        QCOMPARE(tree.Building(), asBuild);
        BuildSampleTree(tree, gm);
        // A build keeps what it adds collapsed until it ends.
        QVERIFY(tree.Node(SampleKey())->Expanded());
        QCOMPARE(shownOpen(SampleKey()), !asBuild);
        for (int c = 0; c < 4; ++c) {
            const QString code = QString("D%1").arg(c);
            gm.AddNode_CodCat(tree, kRoot, "100", "L2", code, "", false, 3);
            for (int r = 0; r < 5; ++r)
                gm.AddNode_RangeAccount(tree, kRoot, "100", "L2", code, QString::number(r),
                                        QString::number(r), false);
            QCoreApplication::processEvents(); // something shown in the middle of a load
        }
        gm.AddNode_CodCat(tree, kRoot, "200", "", "M1", "", true, 1);
    }
    QVERIFY(!tree.Building());
    QVERIFY(shownOpen(SampleKey()) && shownOpen(SampleKey("100")) && !shownOpen(SampleKey("100", "L1")));
    QCOMPARE(tree.Model()->rowCount(tree.Model()->indexFromNode(tree.Node(SampleKey()))), 2);
    QCOMPARE(tree.Count(), 11 + 4 * 6 + 1);
    QVERIFY(tree.Remove(SampleKey("100", "L2", "D1")));
    QVERIFY(tree.Remove(SampleKey("100", "L1", "C1", "1000", "1999")));
    QVERIFY(tree.Remove(SampleKey("100")));
    QCOMPARE(tree.Count(), 3);
    tree.SetSelectedItem(tree.Node(SampleKey("200")));
    gm.InitializeTree(tree);
    QCOMPARE(tree.Count(), 0);
    QCOMPARE(tree.Model()->rowCount(), 0);
    QCOMPARE(tree.SelectedItem(), nullptr);
    QCOMPARE(tree.Node(SampleKey("200")), nullptr);
    BuildSampleTree(tree, gm);
    QCOMPARE(tree.Count(), 11);
    QVERIFY(env.logText().isEmpty());
}

QTEST_MAIN(tst_clsGenericMaint)
#include "tst_clsGenericMaint.moc"
