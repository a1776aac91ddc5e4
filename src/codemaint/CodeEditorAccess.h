#pragma once

#include <QString>

// What a code engine reads of the editor that owns it. The engines see their editor only through this,
// so they run without a window; the Code Maintenance editor is the real one.
class CodeEditorAccess {
public:
    virtual ~CodeEditorAccess() = default;

    virtual qint16 MaintenanceType() const = 0;
    virtual QString LevelType() const = 0;
    // The text of the filter box, as typed.
    virtual QString FilterText() const = 0;
};
