#pragma once

#include <QString>

class QTreeWidget;

// What a range engine reads of the editor that owns it. The engines see their editor only through this,
// so they can run without a window; the Range Maintenance editor is the real one.
class RangeEditorAccess {
public:
    virtual ~RangeEditorAccess() = default;

    virtual qint16 MaintenanceType() const = 0;
    virtual QString LevelType() const = 0;
    // The text of the filter box, as typed.
    virtual QString FilterText() const = 0;
    // The account list the engines fill; its columns belong to the editor.
    virtual QTreeWidget* AccountList() = 0;
    virtual bool TreeEnabled() const = 0;
    virtual void SetTreeEnabled(bool enabled) = 0;
};
