#include "support/Worlds.h"

#include "frame/modMain.h"
#include "services/clsGenericMaint.h"
#include "support/Warehouse.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTest>

namespace {

// The tables by the tags the worlds below use, each with the columns before its
// own (area and chart).
struct Table {
    const char *tag, *name, *chartColumn;
    bool area;
} const kTables[] = {
    {"H", "CS_LEVELHIER", "CS_COA", true},           {"MH", "CS_MULTIPLIERHIER", "CS_COA", true},
    {"CH", "CS_CATEGORYHIER", "CS_COA", true},       {"R", "CS_COA_ACCT_RANGE", "CO_COA", false},
    {"MR", "CS_MULTIPLIER_RANGE", "MUL_COA", false}, {"CR", "CS_CAT_TYPE", "CAT_COA", false},
    {"BR", "CS_BA_BU_LEVELS", "SO_AREA", false},
};

// Tables with fixed-width columns, as some servers keep them: every value comes back padded to its column's
// width. A world's variant names which: "#" the hierarchies and the holders' range tables, "&" every table,
// "=" the hierarchies alone. SQLite pads nothing, so there they stay as they are.
const struct FixedTable {
    const char* table;
    QStringList columns;
    const char* variants;
} kFixedTables[] = {
    {"CS_LEVELHIER",
     {"CS_AREA 10", "CS_COA 10", "CS_PARENTLEVEL 10", "CS_PARENTCODE 20", "CS_CHILDLEVEL 10",
      "CS_CHILDCODE 20"},
     "#&=!"},
    {"CS_MULTIPLIERHIER",
     {"CS_AREA 10", "CS_COA 10", "CS_MULTIPLIER 10", "CS_LEVEL 10", "CS_CODE 20"},
     "#&="},
    {"CS_CATEGORYHIER", {"CS_AREA 10", "CS_COA 10", "CS_CATEGORY 10", "CS_LEVEL 10", "CS_CODE 20"}, "#&="},
    {"CS_MULTIPLIER_RANGE", {"MUL_COA 10", "MUL_CODE 10", "MUL_FR_ACCT 20", "MUL_TO_ACCT 20"}, "#&"},
    {"CS_CAT_TYPE", {"CAT_COA 10", "CAT_TYP_CD 10", "CAT_FR_ACCT 20", "CAT_TO_ACCT 20"}, "#&"},
    {"CS_COA_ACCT_RANGE", {"CO_COA 10", "CO_LEVEL 10", "CO_CODE 20", "CO_FR_ACCT 20", "CO_TO_ACCT 20"}, "&"},
    {"CS_BA_BU_LEVELS", {"SO_AREA 10", "SO_LEVELS 10", "SO_CODE 20", "SO_FR_CD 20", "SO_TO_CD 20"}, "&"},
};

bool isFixed(const char* table, QChar variant) {
    for (const FixedTable& t : kFixedTables)
        if (QString(t.table) == table)
            return QString(t.variants).contains(variant);
    return false;
}

void fixedWidth(Warehouse& w, QChar variant) {
    if (w.backend() == "sqlite")
        return;
    for (const FixedTable& t : kFixedTables) {
        if (!isFixed(t.table, variant))
            continue;
        QStringList alters;
        for (const QString& c : t.columns) {
            // "!": the hierarchy's codes narrower than the range table's.
            const QString width = variant == '!' && c.contains("CODE") ? "10" : c.section(' ', 1);
            alters << "alter column " + c.section(' ', 0, 0) + " type char(" + width + ")";
        }
        QVERIFY(w.own().Execute(QString("alter table ") + t.table + " " + alters.join(", ")));
    }
}

// The range tables' bounds compared as a server's collation may compare them, ignoring case, accents and
// width (SQL Server's usual collations ignore case and width): two bounds the program holds apart are one to
// the database. Not on SQLite, which has no such collation.
void wideCollation(Warehouse& w) {
    QVERIFY(w.own().Execute(
        "create collation wide (provider = icu, locale = 'und-u-ks-level1', deterministic = false)"));
    for (const char* t : {"CS_COA_ACCT_RANGE CO", "CS_MULTIPLIER_RANGE MUL", "CS_CAT_TYPE CAT"}) {
        const QString table = QString(t).section(' ', 0, 0), lead = QString(t).section(' ', 1);
        QVERIFY(w.own().Execute("alter table " + table + " alter column " + lead +
                                "_FR_ACCT type varchar(20) collate wide, alter column " + lead +
                                "_TO_ACCT type varchar(20) collate wide"));
    }
}

} // namespace

namespace Worlds {

const QString kChart = "T'%";
const QString kOtherChart = "Z'%";

QString AreaOf(int type) {
    return type == 4 ? "BU" : type == 5 ? "BA" : "AC";
}

QChar VariantOf(const QString& world) {
    return world.isEmpty() || !QString("#&=*!").contains(world[0]) ? QChar() : world[0];
}

void Put(Warehouse& w, int type, QString world, const QString& chart) {
    if (world.startsWith('#') || world.startsWith('&') || world.startsWith('=') || world.startsWith('!')) {
        fixedWidth(w, world[0]);
        world.remove(0, 1);
    }
    if (world.startsWith('*')) {
        wideCollation(w);
        world.remove(0, 1);
    }
    for (const QString& part : world.split(']', Qt::SkipEmptyParts)) {
        const QString tag = part.section('[', 0, 0).trimmed();
        for (const Table& t : kTables) {
            if (tag != t.tag)
                continue;
            for (QString row : part.section('[', 1).split(' ', Qt::SkipEmptyParts)) {
                QStringList values;
                if (t.area)
                    values << SqlText(AreaOf(type));
                values << SqlText(row.startsWith('^') ? kOtherChart : chart);
                for (const QString& v : row.remove(QRegularExpression("^\\^")).split(','))
                    values << (v == "~" ? "NULL"
                                        : SqlText(v == "-"   ? " "
                                                  : v == "_" ? ""
                                                             : QString(v).replace('+', ' ')));
                QVERIFY(
                    w.own().Execute(QString("insert into ") + t.name + " values (" + values.join(',') + ")"));
            }
        }
    }
}

QString State(Warehouse& w, QChar variant, const QString& chart) {
    QStringList parts;
    for (const Table& t : kTables) {
        const bool fixed = isFixed(t.name, variant);
        QStringList rows =
            w.rows(QString("select * from ") + t.name + " where " + t.chartColumn + " = " + SqlText(chart));
        for (QString& row : rows) {
            QStringList f = row.split('|').mid(t.area ? 2 : 1);
            for (QString& v : f) {
                if (fixed && !v.trimmed().isEmpty())
                    v = clsGenericMaint::ShownValue(v);
                else if (fixed && !v.isEmpty())
                    v = " ";
                v = v == " " ? "-" : v.isEmpty() ? "_" : v == "<null>" ? "~" : v.replace(' ', '+');
            }
            row = f.join(',');
        }
        rows.sort();
        if (!rows.isEmpty())
            parts << QString(t.tag) + "[" + rows.join(' ') + "]";
    }
    return parts.join(' ');
}

QString Canonical(const QString& world, QChar variant) {
    QStringList parts;
    for (const QString& part : world.split(']', Qt::SkipEmptyParts)) {
        const QString tag = part.section('[', 0, 0).trimmed();
        bool fixed = false;
        for (const Table& t : kTables)
            fixed = fixed || (tag == t.tag && isFixed(t.name, variant));
        QStringList rows = part.section('[', 1).split(' ', Qt::SkipEmptyParts);
        for (QString& row : rows) {
            QStringList f = row.split(',');
            for (QString& v : f)
                if (fixed && (v == "_" || v == "-" || QString(v).remove(QLatin1Char('+')).isEmpty()))
                    v = "-";
                else if (fixed && v != "~")
                    v = clsGenericMaint::ShownValue(QString(v).replace('+', ' ')).replace(' ', '+');
            row = f.join(',');
        }
        rows.sort();
        parts << tag + "[" + rows.join(' ') + "]";
    }
    return parts.join(' ');
}

} // namespace Worlds
