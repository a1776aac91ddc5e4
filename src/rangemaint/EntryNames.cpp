#include "rangemaint/EntryNames.h"

#include "frame/clsDBConnection.h"
#include "frame/modMain.h"
#include "services/clsGenericMaint.h"

namespace {

// More blanks than any key column of the warehouse holds.
const QString kPadding(64, QLatin1Char(' '));

} // namespace

bool EntryNames::Same(const QString& a, const QString& b) {
    return clsGenericMaint::ShownValue(a) == clsGenericMaint::ShownValue(b);
}

QString EntryNames::Names(const QString& column, const QString& value) {
    const QString shown = clsGenericMaint::ShownValue(value);
    if (shown.isEmpty())
        return SqlEquals(column, value);
    // Every text that starts with the name and goes on with blanks only lies between the name and the name
    // followed by more blanks than the column holds, in the index; the trimmed comparison keeps those alone.
    return QStringLiteral("(") + column + QStringLiteral(" >= ") + SqlText(shown) + QStringLiteral(" and ") +
           column + QStringLiteral(" <= ") + SqlText(shown + kPadding) + QStringLiteral(" and RTRIM(") +
           column + QStringLiteral(") = ") + SqlText(shown) + QStringLiteral(")");
}

QString EntryNames::PaddedSpelling(const QString& column, const QString& trimmed) {
    if (!gDBConnection.IsNothing() && gDBConnection->adoConnection().IsSqlServer())
        return QString();
    return column + QStringLiteral(" > ") + trimmed + QStringLiteral(" and ") + column +
           QStringLiteral(" <= ") + trimmed + QStringLiteral(" || ") + SqlText(kPadding) +
           QStringLiteral(" and RTRIM(") + column + QStringLiteral(") = ") + trimmed;
}
