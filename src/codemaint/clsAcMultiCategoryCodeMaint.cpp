#include "codemaint/clsAcMultiCategoryCodeMaint.h"

void clsAcMultiCategoryCodeMaint::SetCodeMaintTableName(qint16 type) {
    if (type == 1) {
        m_strHierTable = QStringLiteral("CS_MULTIPLIERHIER");
        m_strHierColumn = QStringLiteral("CS_MULTIPLIER");
    } else if (type == 2) {
        m_strHierTable = QStringLiteral("CS_CATEGORYHIER");
        m_strHierColumn = QStringLiteral("CS_CATEGORY");
    } else {
        return;
    }
    m_intType = type;
}

QString clsAcMultiCategoryCodeMaint::TreeQuery(const QString& descriptionJoin) const {
    if (m_strHierTable.isEmpty())
        return {};
    return QStringLiteral("Select * From ") + m_strHierTable + QStringLiteral(" A ") + descriptionJoin +
           QStringLiteral("left outer join CS_SOURCE on A.CS_LEVEL = CS_SOURCE.SOLEVEL and A.CS_CODE = "
                          "CS_SOURCE.SOCODE ") +
           QStringLiteral("and A.CS_AREA = CS_SOURCE.SOAREA ") +
           FilterCondition(QStringLiteral(" Where CS_CODE =")) +
           QStringLiteral(" Order by CS_AREA, CS_COA, ") + m_strHierColumn +
           QStringLiteral(", CS_LEVEL, CS_CODE");
}

QString clsAcMultiCategoryCodeMaint::GetSQL_Multiplier() const {
    return TreeQuery(QStringLiteral("left outer join CS_MULTIPLIER on A.") + m_strHierColumn +
                     QStringLiteral(" = CS_MULTIPLIER.MULPT "));
}

QString clsAcMultiCategoryCodeMaint::GetSQL_Category() const {
    return TreeQuery(QStringLiteral("left outer join CS_CAT_DESC on A.") + m_strHierColumn +
                     QStringLiteral(" = CS_CAT_DESC.CAT_CODE "));
}

QString clsAcMultiCategoryCodeMaint::TreeStatement() const {
    switch (m_intType) {
    case 1:
        return GetSQL_Multiplier();
    case 2:
        return GetSQL_Category();
    default:
        return {};
    }
}
