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

    QString TreeSQL() const override { return GetSQL_BU_Level(); }
    RangeTreeColumns TreeColumns() const override;
    // The unit or area list of the level, by the owner's area code.
    void FillAccountList(const QString& coa, const QString& level, const QString& code,
                         qint16 blocked) override;
    // The list holds the units or areas of a level: it follows the level only.
    QString AccountListKey(const QString& /*coa*/, const QString& level,
                           const QString& /*code*/) const override {
        return RangeEngine::AccountListKey(QString(), level, QString());
    }

private:
    void PopulateList(const QString& level, int lastLevel, const QString& sql, const QString& codeColumn,
                      const QString& nameColumn, const QString& keyColumn, const QString& location,
                      bool skipBlankKeys);
};
