#pragma once

#include <QCursor>
#include <QString>

// The cursors of the program's own resources. Names compare without regard to case, as resource names
// always did: "Dragging" loads the cursor DRAGGING. A name that no resource holds gives the arrow.
class ResourceCursor {
public:
    static QCursor Load(const QString& name);
};
