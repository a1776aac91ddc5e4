#pragma once

#include "rangemaint/RangeEngine.h"

#include <QString>

// The engine of the Business Unit and Business Area level ranges (CS_BA_BU_LEVELS), told apart by the
// owner's area code: the editor's tree query and the unit and area lists of a level.
class clsBuLevelRangeMaint : public RangeEngine {
public:
    QString GetSQL_BU_Level() const;
    void PopulateBusinessUnitList(const QString& level);
    void PopulateBusinessAreaList(const QString& level);

private:
    void PopulateList(const QString& level, int lastLevel, const QString& sql, const QString& codeColumn,
                      const QString& nameColumn, const QString& keyColumn, const QString& location,
                      bool skipBlankKeys);
};
