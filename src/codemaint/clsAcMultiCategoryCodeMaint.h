#pragma once

#include "codemaint/CodeEngine.h"

#include <QString>

// The engine of the multiplier hierarchy (CS_MULTIPLIERHIER, type 1) and of the category hierarchy
// (CS_CATEGORYHIER, type 2): which multipliers or categories a chart of account has, which levels hang
// under each and which codes of each level.
class clsAcMultiCategoryCodeMaint : public CodeEngine {
public:
    // Chooses the hierarchy: 1 multipliers, 2 categories; any other type chooses none.
    void SetCodeMaintTableName(qint16 type);
    const QString& HierTable() const { return m_strHierTable; }
    const QString& HierColumn() const { return m_strHierColumn; }

    QString GetSQL_Multiplier() const;
    QString GetSQL_Category() const;
    QString TreeStatement() const override;

private:
    QString TreeQuery(const QString& descriptionJoin) const;

    qint16 m_intType = 0;
    QString m_strHierTable;
    QString m_strHierColumn;
};
