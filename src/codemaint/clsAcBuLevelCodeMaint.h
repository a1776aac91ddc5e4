#pragma once

#include "codemaint/CodeEngine.h"

#include <QString>

// The engine of the level hierarchy (CS_LEVELHIER) of one area: AC for account levels (type 3), BU and
// BA for business-unit and business-area levels (types 4 and 5). Under each chart of account or business
// level it keeps parent levels, their parent codes and the child codes attached to each. A child attached
// under a parent code gives it the child's own ranges (one step: synchronising carries them further) and
// takes them away when it is detached, unless another child of the parent code still holds them.
class clsAcBuLevelCodeMaint : public CodeEngine {
public:
    QString GetSQL_Level() const;
    QString TreeStatement() const override { return GetSQL_Level(); }

    // Whether a row of the hierarchy carries these values; an empty parent level or code is not compared,
    // and the child level and code only together.
    Existence RecordExists(const QString& area, const QString& chart, const QString& parentLevel,
                           const QString& parentCode, const QString& childLevel,
                           const QString& childCode) const;
    // The statement that stores a child row: the UPDATE of the parent code's placeholder row when it has
    // one, else an INSERT. Nothing when the probe could not run.
    std::optional<QString> GetChildCodeSaveSQL(const QString& chart, const QString& parentLevel,
                                               const QString& parentCode, const QString& childLevel,
                                               const QString& childCode) const;

protected:
    QString ClassName() const override { return QStringLiteral("clsAcBuLevelCodeMaint"); }
    const HierarchyTable* Hierarchy() const override;
    bool EntryToAdd(qint32 selected, NewEntry& entry) const override;
    bool EntryToDelete(qint32 selected, Entry& entry) const override;
    // A child that is the parent code or one of its ancestors would close a circle.
    Existence Conflict(const NewEntry& entry) const override;
    // values: area, chart, parent level, parent code, child level, child code.
    CodeKeyParts KeyPartsOf(const QStringList& values) const override;
    // values: area, chart, parent level, parent code, child level, child code.
    bool MaintRangeOfAccountHier(const QStringList& values, bool attach) override;
    // A child's delete takes it at every child level: their ranges all leave the parent code.
    bool Detaching(const Entry& entry) override;
    // A removed chart of account or business level leaves nothing to delete beside it.
    bool DeleteStaysOn(qint32 nodeType) const override { return nodeType != 1; }

private:
    // The child levels the delete of a child takes.
    QStringList m_detachedLevels;
};
