#pragma once

#include "rangemaint/RangeEngine.h"

#include <QString>

// The engine of the Account Categories ranges (CS_CAT_TYPE): the editor's tree query and the account
// list with each account's own category.
class clsAcCategoriesRangeMaint : public RangeEngine {
public:
    QString GetSQL_Categories() const;
    // Lists every account of the chart with its category, whatever category is selected.
    void PopulateAccountList(const QString& m_COA, const QString& m_level, const QString& m_Code,
                             qint16 m_BLOCKED_FLG);
};
