#pragma once

#include "codemaint/CodeEngine.h"
#include "codemaint/HierarchyTable.h"

#include <QString>
#include <memory>
#include <optional>

class HolderRangeEngine;

// The engine of the multiplier hierarchy (CS_MULTIPLIERHIER, type 1) and of the category hierarchy
// (CS_CATEGORYHIER, type 2): which multipliers or categories a chart of account has, which levels hang
// under each and which codes of each level. A code attached under a multiplier (category) gives it the
// code's account ranges, and takes them away again when it is detached, unless another code attached to
// it still holds them.
class clsAcMultiCategoryCodeMaint : public CodeEngine {
public:
    clsAcMultiCategoryCodeMaint();
    ~clsAcMultiCategoryCodeMaint() override;

    // Chooses the hierarchy and its range engine: 1 multipliers, 2 categories; any other type chooses
    // none.
    void SetCodeMaintTableName(qint16 type);
    const QString& HierTable() const { return m_strHierTable; }
    const QString& HierColumn() const { return m_strHierColumn; }

    QString GetSQL_Multiplier() const;
    QString GetSQL_Category() const;
    QString TreeStatement() const override;

    // Whether a row of the hierarchy carries these values (empty ones are not compared).
    Existence RecordExists(const QString& area, const QString& account, const QString& multiCategory,
                           const QString& level, const QString& code) const;

protected:
    QString ClassName() const override { return QStringLiteral("clsAcMultiCategoryCodeMaint"); }
    const HierarchyTable* Hierarchy() const override { return m_hierarchy ? &*m_hierarchy : nullptr; }
    bool EntryToAdd(qint32 selected, NewEntry& entry) const override;
    bool EntryToDelete(qint32 selected, Entry& entry) const override;
    // values: area, chart, multiplier or category, level, code.
    CodeKeyParts KeyPartsOf(const QStringList& values) const override;
    // values: area, account, multiplier or category, level, code.
    bool MaintRangeOfAccountHier(const QStringList& values, bool attach) override;

private:
    QString TreeQuery(const QString& descriptionJoin) const;

    qint16 m_intType = 0;
    QString m_strHierTable;
    QString m_strHierColumn;
    std::optional<HierarchyTable> m_hierarchy;
    std::unique_ptr<HolderRangeEngine> m_objRangeMaint;
};
