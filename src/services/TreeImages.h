#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The images of the maintenance trees, by the image keys the nodes carry.
class TreeImages {
public:
    static inline const QString Root = QStringLiteral("root");
    static inline const QString ChartOfAccount = QStringLiteral("chartofaccount");
    static inline const QString Level = QStringLiteral("level");
    static inline const QString Code = QStringLiteral("code");
    static inline const QString Multiplier = QStringLiteral("multiplier");
    static inline const QString Categories = QStringLiteral("categories");
    static inline const QString RangeAccount = QStringLiteral("rangeaccount");
    static inline const QString Search = QStringLiteral("search");
    static inline const QString ChildCode = QStringLiteral("childcode");

    static QStringList Keys();
    // A null icon for a key that names no image.
    static QIcon Icon(const QString& key);
    // The resource path of the key's image.
    static QString Path(const QString& key);
};
