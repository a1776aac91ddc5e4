#include "services/TreeImages.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

namespace {

QHash<QString, QIcon>* gIconCache = nullptr;

// The icons go before the application does, while the icon engine that drew them is still loaded.
void dropIconCache() {
    delete gIconCache;
    gIconCache = nullptr;
}

} // namespace

// The images live in the program's library, which the linker would otherwise leave out.
static void initialiseTreeResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(qlx);
        return true;
    }();
    (void)done;
}

QStringList TreeImages::Keys() {
    return {Root, ChartOfAccount, Level, Code, Multiplier, Categories, RangeAccount, Search, ChildCode};
}

QString TreeImages::Path(const QString& key) {
    return QStringLiteral(":/images/") + key + QStringLiteral(".svg");
}

QIcon TreeImages::Icon(const QString& key) {
    // Icons are asked for on every paint of every row; each is made once.
    if (gIconCache) {
        const auto it = gIconCache->constFind(key);
        if (it != gIconCache->cend())
            return it.value();
    }
    initialiseTreeResources();
    const QString path = Path(key);
    QIcon icon = (!key.isEmpty() && QFile::exists(path)) ? QIcon(path) : QIcon();
    if (!gIconCache && QCoreApplication::instance()) {
        gIconCache = new QHash<QString, QIcon>;
        qAddPostRoutine(dropIconCache);
    }
    if (gIconCache)
        gIconCache->insert(key, icon);
    return icon;
}
