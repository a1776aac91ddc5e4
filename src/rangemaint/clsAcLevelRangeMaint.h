#pragma once

#include "rangemaint/RangeEngine.h"
#include "rangemaint/RangeTable.h"

#include <QString>
#include <optional>

// The engine of the Account Level ranges (CS_COA_ACCT_RANGE): the editor's tree query and account list, the
// saving and deleting of charts of account, levels, codes and ranges under the editor's selection, the drag
// copy of a range, and the propagation of every added or removed range up the level hierarchy and into the
// multiplier and category ranges holding the codes. Each of Save, Delete and the drag copy is one
// transaction with its propagation: a failure anywhere leaves tables and tree as they were.
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

    // Adds the entry of the owner's entry fields under its selected node (a chart of account under the
    // root, a level, a code or a range); a range is carried to the ancestors and their holders.
    bool Save() override;
    // Removes the selected node's entry (by its key parts); a removed range leaves the ancestors and
    // holders that nothing else feeds.
    bool Delete() override;
    // Copies the dragged range node into the code node it was dropped on; the source stays.
    bool CopyDraggedRangOfAccount(TreeNode* nodeSource, TreeNode* nodeDestin) override;

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

    // Propagation of an added range: to every ancestor code lacking it (and from there to the holders of
    // that ancestor), and to the multipliers and categories holding the code. Each answers false after
    // reporting a failure under its own location; the caller ends its action.
    bool CopiedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                    const QString& Code, const QString& AccountFr,
                                    const QString& AccountTo) override;
    bool CopiedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA, const QString& Level,
                                         const QString& Code, const QString& AccountFr,
                                         const QString& AccountTo) override;
    bool CopiedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA, const QString& Level,
                                            const QString& Code, const QString& AccountFr,
                                            const QString& AccountTo) override;

    static const RangeTable& Table();

private:
    enum Mode { CopyMode = 0, DeleteMode = 1 };

    bool DeletedUpRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                     const QString& Code, const QString& AccountFr, const QString& AccountTo);
    bool DeletedUpRangeOfAccountMultiHier(const QString& LvlType, const QString& COA, const QString& Level,
                                          const QString& Code, const QString& AccountFr,
                                          const QString& AccountTo);
    bool DeletedUpRangeOfAccountCategoryHier(const QString& LvlType, const QString& COA, const QString& Level,
                                             const QString& Code, const QString& AccountFr,
                                             const QString& AccountTo);
    bool CopyDelRangeOfAccountHier(const QString& LvlType, const QString& COA, const QString& Level,
                                   const QString& Code, const QString& AccountFr, const QString& AccountTo,
                                   int mode);
    // The holders (multipliers or categories) of one code: copies the range to those lacking it, or removes
    // it from those that no other code attached to them still feeds.
    bool PropagateToHolders(bool copy, bool multipliers, const QString& LvlType, const QString& COA,
                            const QString& Level, const QString& Code, const QString& AccountFr,
                            const QString& AccountTo, const QString& procedure);
    // Reports the failure under "clsAcLevelRangeMaint:" + procedure, keeping its description; false.
    bool Fail(const QString& procedure);

    // The description of the last failure, for the message of a failed Save.
    QString m_failure;
};
