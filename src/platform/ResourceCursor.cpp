#include "platform/ResourceCursor.h"

#include <QFile>
#include <QPixmap>

// The cursors live in the program's library, which the linker would otherwise leave out.
static void initialiseCursorResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(qlx);
        return true;
    }();
    (void)done;
}

QCursor ResourceCursor::Load(const QString& name) {
    initialiseCursorResources();
    const QString path = QStringLiteral(":/cursors/") + name.toUpper() + QStringLiteral(".svg");
    if (name.isEmpty() || !QFile::exists(path))
        return QCursor(Qt::ArrowCursor);
    // The arrow's tip is the hot spot.
    return QCursor(QPixmap(path), 1, 1);
}
