#include "support/LookupShapes.h"

#include "frame/modMain.h"

namespace {

const QStringList kSourceColumns{"SOAREA", "SOLEVEL", "SOCODE", "SODESC"};

void codes(LookupSettings& s, const QString& area, const QString& level) {
    s.m_colHideFieldNames = kSourceColumns;
    s.m_colFieldNames = {"SOCODE", "SODESC"};
    s.m_colColumnNames = {"Code", "Description"};
    s.m_strTableName = "CS_SOURCE";
    s.m_strCaption = "Table Lookup of Code";
    s.m_strFilter = " SOAREA = " + SqlText(area);
    if (!level.isEmpty())
        s.m_strFilter += " and SOLEVEL = " + SqlText(level.trimmed());
    s.m_strLevel = level;
    s.m_strLevelType = area;
    s.m_LookupCode = true;
    if (area == "AC") {
        s.m_DependencyTable = {"CS_COA_ACCT_RANGE", "CS_MULTIPLIERHIER", "CS_CATEGORYHIER", "CS_LEVELHIER",
                               "CS_LEVELHIER"};
        s.m_DependencyFldCode = {"CO_CODE", "CS_CODE", "CS_CODE", "CS_PARENTCODE", "CS_CHILDCODE"};
        s.m_DependencyFldArea = {"", "CS_AREA", "CS_AREA", "CS_AREA", "CS_AREA"};
        s.m_DependencyFldlevel = {"CO_LEVEL", "CS_LEVEL", "CS_LEVEL", "CS_PARENTLEVEL", "CS_CHILDLEVEL"};
    } else {
        s.m_DependencyTable = {"CS_BA_BU_LEVELS"};
        s.m_DependencyFldCode = {"SO_CODE"};
        s.m_DependencyFldArea = {"SO_AREA"};
        s.m_DependencyFldlevel = {"SO_LEVELS"};
    }
}

void levels(LookupSettings& s, const QString& area) {
    s.m_colHideFieldNames = kSourceColumns;
    s.m_colFieldNames = {"SOLEVEL"};
    s.m_colColumnNames = {"Level"};
    s.m_strTableName = "CS_SOURCE";
    s.m_strCaption = "Table Lookup of Level";
    s.m_strFilter = "SOAREA = " + SqlText(area);
    s.m_strLevelType = area;
    s.m_Lookuplevel = true;
    s.m_DependencyTable = {"CS_BA_BU_LEVELS"};
    s.m_DependencyFldCode = {""};
    s.m_DependencyFldArea = {"SO_AREA"};
    s.m_DependencyFldlevel = {"SO_LEVELS"};
}

void categories(LookupSettings& s) {
    s.m_colFieldNames = {"CAT_CODE", "CAT_DESC"};
    s.m_colColumnNames = {"Category", "Description"};
    s.m_strTableName = "CS_CAT_DESC";
    s.m_strCaption = "Table Lookup of Categories";
    s.m_LookupCode = true;
    s.m_DependencyTable = {"CS_CAT_TYPE"};
    s.m_DependencyFldCode = {"CAT_TYP_CD"};
    s.m_DependencyFldArea = {""};
    s.m_DependencyFldlevel = {""};
}

void accounts(LookupSettings& s, const QString& chart) {
    s.m_colFieldNames = {"ACCOUNT_NO", "ACCOUNT_NM"};
    s.m_colColumnNames = {"Account No", "Description"};
    s.m_strTableName = "CHART_OF_ACCOUNT";
    s.m_strCaption = "Table Lookup of Account No.";
    s.m_strFilter = " BUSINESS_UNIT_ID = " + SqlText(chart);
}

void charts(LookupSettings& s) {
    s.m_colFieldNames = {"BUSINESS_UNIT_ID", "BUSINESS_UNIT_NM"};
    s.m_colColumnNames = {"Chart Of Account", "Description"};
    s.m_strTableName = "CHART_OF_ACCOUNT";
    s.m_strCaption = "Table Lookup of Chart Of Account";
}

} // namespace

void ConfigureLookup(LookupSettings& lookup, const QString& name) {
    const QStringList words = name.split(' ');
    if (words[0] == "codes")
        codes(lookup, words.value(1), words.mid(2).join(' '));
    else if (words[0] == "levels")
        levels(lookup, words.value(1));
    else if (words[0] == "accounts")
        accounts(lookup, words.value(1));
    else if (words[0] == "charts")
        charts(lookup);
    else
        categories(lookup);
}
