#pragma once

#include "rangemaint/HolderRangeEngine.h"

#include <QString>

// The engine of the Account Multiplier ranges (CS_MULTIPLIER_RANGE): the editor's tree query, which never
// shows the retired multipliers (codes starting with D), and the account list of a multiplier. A Save with
// nothing to add (no insert pending, a range selected) ends the insert and answers true. The retired
// multipliers' rows still count: they make their chart a duplicate and go when the chart is deleted.
class clsAcMultiplierRangeMaint : public HolderRangeEngine {
public:
    QString GetSQL_Multiplier() const;
    // Lists the accounts of the chart with the value of the column that CS_MULTIPLIERXREF names for the
    // multiplier; the level takes no part.
    void PopulateAccountList(const QString& m_COA, const QString& m_level, const QString& m_Code,
                             qint16 m_BLOCKED_FLG);

    const RangeTable& Table() const override;

    QString TreeSQL() const override { return GetSQL_Multiplier(); }
    RangeTreeColumns TreeColumns() const override;
    void FillAccountList(const QString& coa, const QString& level, const QString& code,
                         qint16 blocked) override {
        PopulateAccountList(coa, level, code, blocked);
    }
    // The list shows a value of the multiplier: it follows chart and multiplier.
    QString AccountListKey(const QString& coa, const QString& /*level*/, const QString& code) const override {
        return RangeEngine::AccountListKey(coa, QString(), code);
    }

protected:
    const Texts& Words() const override;
};
