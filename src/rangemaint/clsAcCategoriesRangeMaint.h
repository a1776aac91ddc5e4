#pragma once

#include "rangemaint/HolderRangeEngine.h"

#include <QString>

// The engine of the Account Categories ranges (CS_CAT_TYPE): the editor's tree query and the account
// list with each account's own category. A Save with nothing to add (no insert pending, a range
// selected) answers false and leaves the pending insert as it was.
class clsAcCategoriesRangeMaint : public HolderRangeEngine {
public:
    QString GetSQL_Categories() const;
    // Lists every account of the chart with its category, whatever category is selected.
    void PopulateAccountList(const QString& m_COA, const QString& m_level, const QString& m_Code,
                             qint16 m_BLOCKED_FLG);

    const RangeTable& Table() const override;

    QString TreeSQL() const override { return GetSQL_Categories(); }
    RangeTreeColumns TreeColumns() const override;
    void FillAccountList(const QString& coa, const QString& level, const QString& code,
                         qint16 blocked) override {
        PopulateAccountList(coa, level, code, blocked);
    }
    // The list holds every account of the chart: it follows the chart only.
    QString AccountListKey(const QString& coa, const QString& /*level*/,
                           const QString& /*code*/) const override {
        return RangeEngine::AccountListKey(coa, QString(), QString());
    }

protected:
    const Texts& Words() const override;
};
