#include "frame/MaintenanceTypes.h"

QString MaintenanceTypes::TypeName(int type) {
    switch (type) {
    case 1:
        return QStringLiteral("Account Multiplier");
    case 2:
        return QStringLiteral("Account Categories");
    case 3:
        return QStringLiteral("Account Level");
    case 4:
        return QStringLiteral("Business Unit Level");
    case 5:
        return QStringLiteral("Business Area Level");
    default:
        return {};
    }
}

QString MaintenanceTypes::Description(int type, Editor editor) {
    const QString name = TypeName(type);
    if (name.isEmpty())
        return {};
    return name +
           (editor == Range ? QStringLiteral(" Range Maintenance") : QStringLiteral(" Code Maintenance"));
}

QString MaintenanceTypes::AreaCode(int type, Editor editor) {
    switch (type) {
    case 1:
    case 2:
        return editor == Code ? QStringLiteral("AC") : QString();
    case 3:
        return QStringLiteral("AC");
    case 4:
        return QStringLiteral("BU");
    case 5:
        return QStringLiteral("BA");
    default:
        return {};
    }
}
