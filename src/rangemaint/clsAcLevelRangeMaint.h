#pragma once

#include "rangemaint/RangeEngine.h"

#include <QString>
#include <optional>

// The engine of the Account Level ranges (CS_COA_ACCT_RANGE): the editor's tree query and account list,
// and the three statement builders that other engines use without an owner.
class clsAcLevelRangeMaint : public RangeEngine {
public:
    QString GetSQL_Level() const;
    void PopulateAccountList(const QString& m_COA, const QString& m_level = QString(),
                             const QString& m_Code = QString(), qint16 m_BLOCKED_FLG = 0);

    QString TreeSQL() const override { return GetSQL_Level(); }
    RangeTreeColumns TreeColumns() const override;
    void FillAccountList(const QString& coa, const QString& level, const QString& code,
                         qint16 blocked) override {
        PopulateAccountList(coa, level, code, blocked);
    }
    // The list shows the accounts' codes of the level: it follows chart and level.
    QString AccountListKey(const QString& coa, const QString& level, const QString& /*code*/) const override {
        return RangeEngine::AccountListKey(coa, level, QString());
    }

    // Whether a row with this key prefix exists; a From without a To (or the reverse) tests no range.
    // A look-up that fails answers Failed after its message, leaving the error for the caller to report.
    Existence RecordExists(const QString& m_CO_COA, const QString& m_CO_LEVEL = QString(),
                           const QString& m_CO_CODE = QString(), const QString& m_CO_FR_ACCT = QString(),
                           const QString& m_CO_TO_ACCT = QString());
    // The statement that gives the code the range: the UPDATE of the code's placeholder row when it has
    // one, else an INSERT. Not executed; nothing when the probe fails (the error left for the caller).
    std::optional<QString> AddRangeOfAccount(const QString& m_CO_COA, const QString& m_CO_LEVEL,
                                             const QString& m_CO_CODE, const QString& m_CO_FR_ACCT,
                                             const QString& m_CO_TO_ACCT);
    // The statement that removes one range row. Not executed.
    QString DeleteRangeOfAccount(const QString& m_CO_COA, const QString& m_CO_LEVEL, const QString& m_CO_CODE,
                                 const QString& m_CO_FR_ACCT, const QString& m_CO_TO_ACCT) const;
};
