#pragma once

#include "rangemaint/LevelRangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QString>

// The engine of the Business Unit and Business Area level ranges (CS_BA_BU_LEVELS), told apart by the
// owner's area code: the editor's tree query, the unit and area lists of a level, the saving and deleting
// of business levels, levels, codes and ranges, the drag copy of a range, and the propagation of every
// added or removed range up the level hierarchy of its area and business level. Nothing else is fed: no
// multiplier or category holds a business unit or area code.
class clsBuLevelRangeMaint : public LevelRangeEngine {
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

    static const RangeTable& Table();

protected:
    const RangeTable& EntryTable() const override { return Table(); }
    const Texts& Words() const override;
    // "Business Unit" or "Business Area".
    QString TopDescription() const override;

private:
    void PopulateList(const QString& level, int lastLevel, const QString& sql, const QString& codeColumn,
                      const QString& nameColumn, const QString& keyColumn, const QString& location,
                      bool skipBlankKeys);
};
