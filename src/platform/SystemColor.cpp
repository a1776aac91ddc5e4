#include "platform/SystemColor.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

QString SystemColor::Text(qint64 value) {
    return QString::number(static_cast<qint32>(static_cast<quint32>(value)));
}

QColor SystemColor::Resolve(const QString& text, const QWidget* widget) {
    const auto value = static_cast<quint32>(static_cast<qint32>(text.trimmed().toLongLong()));
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    if (value & 0x80000000u) {
        switch (value & 0xFFu) {
        case 0x05: // window background
            return palette.color(QPalette::Active, QPalette::Base);
        case 0x0A: // active border: the grey of a disabled box
            return palette.color(QPalette::Active, QPalette::Window);
        case 0x0F: // button face
            return palette.color(QPalette::Active, QPalette::Button);
        case 0x08: // window text
            return palette.color(QPalette::Active, QPalette::Text);
        default:
            return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void SystemColor::SetBackColor(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    const QPalette::ColorRole role = qobject_cast<QLineEdit*>(widget) ? QPalette::Base : QPalette::Window;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, role, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QColor SystemColor::BackColor(const QWidget* widget) {
    const QPalette::ColorRole role =
        qobject_cast<const QLineEdit*>(widget) ? QPalette::Base : QPalette::Window;
    return widget->palette().color(QPalette::Active, role);
}
