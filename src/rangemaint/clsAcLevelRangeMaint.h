#pragma once

#include "rangemaint/LevelRangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <optional>

// The engine of the Account Level ranges (CS_COA_ACCT_RANGE): the editor's tree query and account list, the
// saving and deleting of charts of account, levels, codes and ranges under the editor's selection, the drag
// copy of a range, and the propagation of every added or removed range up the level hierarchy and into the
// multiplier and category ranges holding the codes. Each of Save, Delete and the drag copy is one
// transaction with its propagation: a failure anywhere leaves tables and tree as they were.
class clsAcLevelRangeMaint : public LevelRangeEngine {
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

    // Propagation of an added range to the multipliers and categories holding the code (the level
    // hierarchy's ancestors pass it on to theirs). Each answers false after reporting a failure under its
    // own location; the caller ends its action.
    bool CopiedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA, const QString& Level,
                                         const QString& Code, const QString& AccountFr,
                                         const QString& AccountTo) override;
    bool CopiedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA, const QString& Level,
                                            const QString& Code, const QString& AccountFr,
                                            const QString& AccountTo) override;

    static const RangeTable& Table();

protected:
    const RangeTable& EntryTable() const override { return Table(); }
    const Texts& Words() const override;
    QString AreaWithoutOwner() const override { return QStringLiteral("AC"); }
    bool FeedsHolders() const override { return true; }

private:
    // Copies the range to the holders (multipliers or categories) of one code that lack it.
    bool PropagateToHolders(bool multipliers, const QString& LvlType, const QString& COA,
                            const QString& Level, const QString& Code, const QString& AccountFr,
                            const QString& AccountTo, const QString& procedure);
};
