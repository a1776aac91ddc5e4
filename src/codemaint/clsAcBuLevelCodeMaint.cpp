#include "codemaint/clsAcBuLevelCodeMaint.h"

#include "codemaint/CodeEditorAccess.h"
#include "frame/modMain.h"

QString clsAcBuLevelCodeMaint::GetSQL_Level() const {
    const QString area = m_frmOwner ? m_frmOwner->LevelType() : QString();
    return QStringLiteral("Select distinct CS_AREA, CS_COA, CS_PARENTLEVEL, CS_PARENTCODE, S1.SODESC as "
                          "CS_PARENTCODEDESC,") +
           QStringLiteral(" CS_CHILDLEVEL, CS_CHILDCODE , S2.SODESC as CO_CHILDDESC") +
           QStringLiteral(" from CS_LEVELHIER ") + QStringLiteral(" left outer join CS_SOURCE S1") +
           QStringLiteral(" on CS_LEVELHIER.CS_PARENTLEVEL = S1.SOLEVEL and CS_LEVELHIER.CS_PARENTCODE = "
                          "S1.SOCODE and CS_LEVELHIER.CS_AREA = S1.SOAREA") +
           QStringLiteral(" left outer join CS_SOURCE S2") +
           QStringLiteral(" on CS_LEVELHIER.CS_CHILDLEVEL = S2.SOLEVEL and CS_LEVELHIER.CS_CHILDCODE = "
                          "S2.SOCODE and CS_LEVELHIER.CS_AREA = S2.SOAREA") +
           QStringLiteral(" Where CS_AREA = ") + SqlText(area) +
           FilterCondition(QStringLiteral(" and CS_CHILDCODE = ")) +
           QStringLiteral(" Order by CS_COA, CS_PARENTLEVEL, CS_PARENTCODE, CS_CHILDLEVEL, CS_CHILDCODE");
}
