#include "frame/PasswordTable.h"
#include "frame/QlxIni.h"
#include "frame/frmImportLocations.h"
#include "frame/frmOpenConnection.h"
#include "frame/modMain.h"
#include "platform/App.h"
#include "platform/ConnectionText.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

namespace {

QStringList names(const QList<clsLocations>& entries) {
    QStringList n;
    for (const clsLocations& e : entries)
        n << e.sMartNo + ":" + e.sLocName;
    return n;
}

ino_t inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

class tst_QlxIni : public QObject {
    Q_OBJECT
private slots:
    void templatesRoundTrip_data();
    void templatesRoundTrip();
    void readingAndAppending_data();
    void readingAndAppending();
    void corruptingEntriesAreRefused_data();
    void corruptingEntriesAreRefused();
    void rewriteChangesTheListedEntryOnly_data();
    void rewriteChangesTheListedEntryOnly();
    void writesKeepTheFileProtected_data();
    void writesKeepTheFileProtected();
    void scramblingCoversEveryPrintableCharacter();
    void storedFormsStayReadable_data();
    void storedFormsStayReadable();
};

// The bytes of each template, read back field by field.
void tst_QlxIni::templatesRoundTrip_data() {
    QTest::addColumn<bool>("integrated");
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QString>("line");
    const QString head = "mart1=Fin's DW,PROVIDER=MSDAORA;Data Source=ORCL;";
    QTest::newRow("login, no database")
        << false << "" << true << head + "User ID=fin;Password=" + EncryptPassword("s3cret") + ";";
    QTest::newRow("login with database, password not remembered")
        << false << "MART" << false
        << head + "User ID=fin;Password=;Initial Catalog=MART;Persist Security Info=True";
    QTest::newRow("integrated, no database")
        << true << "" << false << head + ";Persist Security Info=True;Trusted_Connection=Yes,";
    QTest::newRow("integrated with database")
        << true << "MART" << false
        << head + "Initial Catalog=MART;Persist Security Info=True;Trusted_Connection=Yes,";
}

void tst_QlxIni::templatesRoundTrip() {
    QFETCH(bool, integrated);
    QFETCH(QString, database);
    QFETCH(bool, remember);
    QFETCH(QString, line);
    TestEnvironment env;
    QString password = remember ? "s3cret" : "";
    QVERIFY(AddNewConnection("Fin's DW", "MSDAORA", "ORCL", database, integrated ? "" : "fin", password,
                             remember, integrated));
    QCOMPARE(TestEnvironment::readFile(QlxIni::PathIn(env.folder())),
             ("[Marts]\r\n" + line + "\r\n").toLatin1());
    const QList<clsLocations> read = frmOpenConnection::ReadConnections(QlxIni::PathIn(env.folder()));
    QCOMPARE(read.size(), 1);
    const clsLocations& e = read[0];
    QCOMPARE(QStringList({e.sMartNo, e.sLocName, e.sProvider, e.sServer, e.sDatabase, e.sUser,
                          DecryptPassword(e.sPwd), e.sTrustConn}),
             QStringList({"1", "Fin's DW", "MSDAORA", "ORCL", database, integrated ? "" : "fin",
                          remember ? "s3cret" : "", integrated ? "Yes" : ""}));
}

void tst_QlxIni::readingAndAppending_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<QByteArray>("after");
    const auto entry = [](int n, const char* name) {
        return QString("mart%1=%2,PROVIDER=SQLITE;Data Source=%3.db;User ID=;Password=;")
            .arg(n)
            .arg(name)
            .arg(QString(name).toLower())
            .toLatin1();
    };
    const QByteArray e1 = entry(1, "A"), e2 = entry(2, "B"), e4 = entry(4, "D");
    const QByteArray n1 = entry(1, "N") + "\r\n", n2 = entry(2, "N") + "\r\n", n3 = entry(3, "N") + "\r\n";
    const auto row = [](const char* name, const QByteArray& before, const QStringList& seen,
                        const QByteArray& after) { QTest::newRow(name) << before << seen << after; };
    row("plain", "[Marts]\r\n" + e1 + "\r\n" + e2 + "\r\n", {"1:A", "2:B"},
        "[Marts]\r\n" + e1 + "\r\n" + e2 + "\r\n" + n3);
    row("gap", "[Marts]\r\n" + e1 + "\r\n" + e2 + "\r\n" + e4 + "\r\n", {"1:A", "2:B"},
        "[Marts]\r\n" + e1 + "\r\n" + e2 + "\r\n" + e4 + "\r\n[Marts]\r\n" + n3);
    // An unread line holding the next key is never given a twin: the entry is refused.
    row("stray line in the middle", "[Marts]\r\n" + e1 + "\r\n; retired\r\n" + e2 + "\r\n", {"1:A"},
        "[Marts]\r\n" + e1 + "\r\n; retired\r\n" + e2 + "\r\n");
    row("blank line at the end", "[Marts]\r\n" + e1 + "\r\n\r\n", {"1:A"},
        "[Marts]\r\n" + e1 + "\r\n\r\n[Marts]\r\n" + n2);
    row("no final line end", "[Marts]\r\n" + e1, {"1:A"}, "[Marts]\r\n" + e1 + "\r\n" + n2);
    row("last line [Marts]", "[Marts]\r\n" + e1 + "\r\n[Marts]\r\n", {"1:A"},
        "[Marts]\r\n" + e1 + "\r\n[Marts]\r\n" + n2);
    row("LF only", "[Marts]\n" + e1 + "\n" + e2 + "\n", {"1:A", "2:B"},
        "[Marts]\n" + e1 + "\n" + e2 + "\n" + n3);
    row("no [Marts] line", e1 + "\r\n", {}, e1 + "\r\n");
    row("no [Marts] line, other keys", e2 + "\r\n", {}, e2 + "\r\n[Marts]\r\n" + n1);
    row("empty file", "", {}, "[Marts]\r\n" + n1);
    row("no file", "<missing>", {}, "[Marts]\r\n" + n1);
    row("second run continues the numbering", "[Marts]\r\n" + e1 + "\r\nnote\r\n[Marts]\r\n" + e2 + "\r\n",
        {"1:A", "2:B"}, "[Marts]\r\n" + e1 + "\r\nnote\r\n[Marts]\r\n" + e2 + "\r\n" + n3);
}

void tst_QlxIni::readingAndAppending() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, seen);
    QFETCH(QByteArray, after);
    TestEnvironment env;
    const QString path = QlxIni::PathIn(env.folder());
    if (before != "<missing>") {
        TestEnvironment::writeFile(path, before);
        QCOMPARE(names(frmOpenConnection::ReadConnections(path)), seen);
    }
    QString password, why;
    QCOMPARE(AddNewConnection("N", "SQLITE", "n.db", "", "", password, false, false, &why), after != before);
    QCOMPARE(TestEnvironment::readFile(path), after);
    // A refusal is the caller's to tell: its reason comes back, nothing is shown here.
    QCOMPARE(why.isEmpty(), after != before);
    QCOMPARE(env.ui.messages.size(), 0);
    // A new entry is always read back; a name is stored in Latin-1.
    QCOMPARE(frmOpenConnection::ReadConnections(path).size(), seen.size() + (after != before ? 1 : 0));
    if (!before.contains("mart")) {
        QVERIFY(AddNewConnection("D\u00e9mo", "SQLITE", "d.db", "", "", password, false, false));
        QVERIFY(TestEnvironment::readFile(path).endsWith(
            ",PROVIDER=SQLITE;Data Source=d.db;User ID=;Password=;\r\n"));
        QVERIFY(TestEnvironment::readFile(path).contains("=D\xe9mo,"));
        QCOMPARE(frmOpenConnection::ReadConnections(path).last().sLocName, QString("D\u00e9mo"));
    }
}

void tst_QlxIni::corruptingEntriesAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("user");
    const auto row = [](const char* tag, const QString& name, const QString& server, const QString& user) {
        QTest::newRow(tag) << name << server << user;
    };
    row("empty name", " ", "srv", "u");
    row("comma in name", "a,b", "srv", "u");
    row("semicolon in name", "a;b", "srv", "u");
    row("semicolon in a value", "n", "srv;x", "u");
    row("label in a value", "n", "srv", "Password=x");
    row("label in the name", "Data Source=x", "srv", "u");
    row("line break", "n", "srv\r\nmart9=evil", "u");
    row("name outside Latin-1", "Z\u00fcrich \u6771\u4eac", "srv", "u");
}

void tst_QlxIni::corruptingEntriesAreRefused() {
    QFETCH(QString, name);
    QFETCH(QString, server);
    QFETCH(QString, user);
    TestEnvironment env;
    const QString path = QlxIni::PathIn(env.folder());
    TestEnvironment::writeFile(path, "[Marts]\r\n");
    QString password = "pw", why;
    QVERIFY(!AddNewConnection(name, "SQLOLEDB", server, "", user, password, false, false, &why));
    QVERIFY(!why.isEmpty());
    QCOMPARE(env.ui.messages.size(), 0);
    QCOMPARE(TestEnvironment::readFile(path), QByteArray("[Marts]\r\n"));
}

void tst_QlxIni::rewriteChangesTheListedEntryOnly_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password"); // remembered when not empty
    QTest::addColumn<QByteArray>("after"); // the same bytes when refused
    const QByteArray a = "mart1=A,PROVIDER=SQLOLEDB;Data Source=a;User ID=a;Password=;\r\n";
    const QByteArray b = "mart2=B,PROVIDER=SQLOLEDB;Data Source=b;User ID=b;Password=;\r\n";
    const QByteArray n = "[Marts]\r\nmart2=N,PROVIDER=SQLOLEDB;Data Source=n;User ID=n;Password=;\r\n";
    const QByteArray twins = "[Marts]\r\n" + a + "\r\n" + b + n;
    const auto row = [](const char* tag, const QByteArray& before, int position, const QString& user,
                        const char* password, const QByteArray& after) {
        QTest::newRow(tag) << before << position << user << QString(password) << after;
    };
    row("twin listed second", twins, 1, "fin", "", QByteArray(twins).replace("ID=n;", "ID=fin;"));
    row("indented", "[Marts]\r\n  " + a, 0, "fin", "",
        "[Marts]\r\n  " + QByteArray(a).replace("ID=a", "ID=fin"));
    // Every name holds "mart1=", and mart10 starts like mart1.
    QByteArray ten = "[Marts]\r\n";
    for (int i = 1; i <= 10; ++i)
        ten +=
            QString("mart%1=Mart %1 uses mart1=,PROVIDER=SQLOLEDB;Data Source=s%1;User ID=u%1;Password=;%2")
                .arg(i)
                .arg(i == 3 ? "\n" : "\r\n")
                .toLatin1();
    row("first of ten, password remembered", ten, 0, "  new user ", " pa;ss ",
        QByteArray(ten).replace("s1;User ID=u1;Password=;",
                                "s1;User ID=new user;Password=" + EncryptPassword("pa;ss").toLatin1() + ";"));
    row("tenth", ten, 9, "x", "", QByteArray(ten).replace("User ID=u10;", "User ID=x;"));
    const QString refused[] = {"fin;Initial Catalog=OTHER", "fin;Trusted_Connection=Yes,", "fin\r\nmart3=X,",
                               "\u0141ukasz"};
    for (const QString& user : refused)
        QTest::addRow("refused: %s", qPrintable(user.simplified())) << twins << 1 << user << "" << twins;
    // Lines whose first "User ID=" or "Password=" is not the entry's own field: a joined line, a label in
    // the name, a value without its ";".
    for (const char* line : {"Password=mart1=LF only,PROVIDER=SQLITE;Data Source=lf.db;User ID=u;Password=;",
                             "mart1=User ID=x,PROVIDER=SQLOLEDB;Data Source=s;User ID=u;Password=;",
                             "mart1=A,PROVIDER=SQLOLEDB;Data Source=s;User ID=u;Password=",
                             "mart1=A,PROVIDER=SQLOLEDB;Data Source=sUser ID=u;Password=;"})
        row(qPrintable(QString("refused: ") + line), "[Marts]\r\n" + QByteArray(line) + "\r\n", 0, "fin", "",
            "[Marts]\r\n" + QByteArray(line) + "\r\n");
}

void tst_QlxIni::rewriteChangesTheListedEntryOnly() {
    QFETCH(QByteArray, before);
    QFETCH(int, position);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QByteArray, after);
    TestEnvironment env;
    TestEnvironment::writeFile(QlxIni::PathIn(env.folder()), before);
    frmOpenConnection dialog;
    dialog.CboLocation->setCurrentIndex(position);
    dialog.ChkSavePassword->setChecked(!password.isEmpty());
    QCOMPARE(dialog.SavePassword(user, password), after != before);
    QCOMPARE(TestEnvironment::readFile(QlxIni::PathIn(env.folder())), after);
    QCOMPARE(env.ui.messages.size(), after == before ? 1 : 0);
}

void tst_QlxIni::writesKeepTheFileProtected_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("link");       // QLX.ini is a link to the file
    QTest::addColumn<QString>("failure"); // where the refusal is logged; empty when the file is written
    QTest::addColumn<QByteArray>("told"); // messages shown; a refused append counts one (its caller tells)
    QTest::addColumn<qint64>("room");     // bytes left on a full disk; below zero: the disk is not full
    QTest::addColumn<bool>("unsynced");   // the device reports that the bytes did not reach it
    const auto row = [](const QString& name, const char* op, int mode, bool link, const char* failure,
                        const char* told, qint64 room = -1, bool unsynced = false) {
        QTest::newRow(qPrintable(name))
            << QString(op) << mode << link << QString(failure) << QByteArray(told) << room << unsynced;
    };
    for (const char* op : {"append", "rewrite", "import"}) {
        row(QString("0600, ") + op, op, 0600, false, "", "0");
        row(QString("link, ") + op, op, 0644, true, "", "0");
        for (const qint64 room : {0, 4096}) // the log cannot be written there either
            row(QString("full disk, %1 bytes left, %2").arg(room).arg(op), op, 0600, false, "-", "1", room);
    }
    row("unsynced, append", "append", 0600, false, "modMain:AddNewConnection", "1", -1, true);
    row("unsynced link, rewrite", "rewrite", 0644, true, "frmOpenConnection:SavePassword", "1", -1, true);
    row("unsynced, import", "import", 0600, false, "frmImportLocations:cmdok_Click", "1", -1, true);
    row("read-only, append", "append", 0444, false, "modMain:AddNewConnection", "1");
    row("read-only link, rewrite", "rewrite", 0444, true, "frmOpenConnection:SavePassword", "1");
    row("read-only, import", "import", 0444, false, "frmImportLocations:cmdok_Click", "1");
    row("unreadable, open", "open", 0, false, "frmOpenConnection:LoadConnections", "1");
    row("unreadable, import", "import", 0, false, "frmImportLocations:cmdok_Click", "2");
    row("write-only, import", "import", 0200, false, "frmImportLocations:cmdok_Click", "2");
}

void tst_QlxIni::writesKeepTheFileProtected() {
    QFETCH(QString, operation);
    QFETCH(int, mode);
    QFETCH(bool, link);
    QFETCH(QString, failure);
    QFETCH(QByteArray, told);
    QFETCH(qint64, room);
    QFETCH(bool, unsynced);
    TestEnvironment env;
    const QString path = QlxIni::PathIn(env.folder());
    const QString file = link ? QDir(env.folder()).filePath("kept.ini") : path;
    const QString victim = QDir(env.folder()).filePath("victim");
    QByteArray before = "[Marts]\n";
    for (int i = 1; i <= 120; ++i) // larger than what is left on a full disk
        before +=
            QString("mart%1=M%1,PROVIDER=SQLOLEDB;Data Source=s;User ID=u;Password=;\n").arg(i).toLatin1();
    TestEnvironment::writeFile(file, before);
    TestEnvironment::writeFile(victim, "victim");
    // A stale temporary is neither followed nor reused, even where it could be written.
    QVERIFY(QFile::link(victim, path + ".new") && ::chmod(QFile::encodeName(victim).constData(), 0666) == 0);
    QVERIFY((!link || QFile::link(file, path)) && ::chmod(QFile::encodeName(file).constData(), mode) == 0);
    const auto permissions = QFile::permissions(file);
    const ino_t before_inode = inode(file);
    const auto run = [&] {
        bool refused = false;
        if (operation == "append") {
            QString password;
            refused = !AddNewConnection("N", "SQLITE", "n.db", "", "", password, false, false);
        } else if (operation == "import") {
            frmImportLocations(nullptr).cmdOK->click();
        } else {
            frmOpenConnection dialog;
            dialog.Form_Activate(); // an unreadable file is no file without connections
            dialog.CboLocation->setCurrentIndex(0);
            if (operation == "rewrite")
                dialog.SavePassword("u2", "");
        }
        return QByteArray::number(env.ui.messages.size() + (refused ? 1 : 0));
    };
    QByteArray messages, after;
    if (room >= 0) {
        if (!env.runOnFullDisk(
                room, [&] { return run() + '\n' + TestEnvironment::readFile(path); }, &messages)) {
            // As the server rows: under CI a row that cannot run fails rather than pass unseen.
            if (!qEnvironmentVariableIsEmpty("CI"))
                QFAIL("No small file system can be mounted here.");
            QSKIP("No small file system can be mounted here.");
        }
        after = messages.mid(messages.indexOf('\n') + 1);
        messages.truncate(messages.indexOf('\n'));
    } else if (failure.isEmpty() || unsynced) {
        if (unsynced)
            QlxIni::FailNextSync(EIO);
        messages = run();
    } else if (!env.runUnprivileged(run, &messages))
        QSKIP("Permissions bind no user this test can become.");
    if (room < 0) { // the file as it is now, also where its mode keeps a test run as a user from reading it
        const QByteArray name = QFile::encodeName(file);
        QVERIFY(::chmod(name.constData(), 0600) == 0);
        after = TestEnvironment::readFile(file);
        QVERIFY(::chmod(name.constData(), mode) == 0);
    }
    QCOMPARE(after == before, !failure.isEmpty());
    QCOMPARE(messages, told);
    QVERIFY(failure.isEmpty() || room >= 0 || env.logText().contains("in " + failure));
    QVERIFY(!unsynced || env.logText().contains(qt_error_string(EIO)));
    QCOMPARE(QFile::permissions(file), permissions);
    QCOMPARE(inode(file) == before_inode, !failure.isEmpty()); // written whole, beside, then renamed
    QCOMPARE(QFileInfo(path).isSymLink(), link);
    QCOMPARE(TestEnvironment::readFile(victim), QByteArray("victim"));
}

void tst_QlxIni::scramblingCoversEveryPrintableCharacter() {
    QString all;
    for (int c = 0x20; c <= 0x7E; ++c)
        all += QChar(c);
    const QString stored = EncryptPassword(all);
    QCOMPARE(stored.size(), all.size() * 3);
    QCOMPARE(DecryptPassword(stored), all);
    for (const QChar c : {';', ',', '=', ' '}) // the groups hold no separator of QLX.ini
        QVERIFY(!stored.contains(c));
    QVERIFY(!PasswordTable::instance().covers("caf\u00e9"));
    QCOMPARE(EncryptPassword("\u00e9").size(), 1); // a character without a group passes through
    // Passwords reach the connection text whole, whatever they hold.
    for (const QString pw : {"a;b\"c", "x}};DSN={y", " p ", "'first", "\"first", "'both'"}) {
        QCOMPARE(
            ConnectionText::Parse(QlxIni::OpenConnectionText("MSDASQL", "s", "", "u", pw, false)).Password,
            pw.trimmed());
        QCOMPARE(
            ConnectionText::Parse(QlxIni::NewConnectionText("SQLOLEDB", "s", "db", pw, pw, false)).UserId,
            pw.trimmed());
    }
}

// Stored forms written by earlier releases must read back the same.
void tst_QlxIni::storedFormsStayReadable_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("written"); // also what the program writes today
    const auto row = [](const char* tag, const char* password, const char* stored, bool written) {
        QTest::newRow(tag) << QString(password) << QString(stored) << written;
    };
    row("tiger", "tiger", "zIqEHucs(eB_KAe", true);
    row("mixed", "P@ss w0rd!", "S!}tA4?*O?*Op)F5.(ei<KAem1IwLi", true);
    row("braces and blank", "~ }{", "l>'p)FLPxQwC", true);
    row("case matters", "Aa", "XBU(2.", true);
    row("empty", "", "", true);
    row("length not a multiple of three", "tEH", "zIqEH", false);
    row("unknown group", "t###", "zIq###", false);
}

void tst_QlxIni::storedFormsStayReadable() {
    QFETCH(QString, password);
    QFETCH(QString, stored);
    QFETCH(bool, written);
    QCOMPARE(DecryptPassword(stored), password);
    if (written)
        QCOMPARE(EncryptPassword(password), stored);
}

QTEST_MAIN(tst_QlxIni)
#include "tst_QlxIni.moc"
