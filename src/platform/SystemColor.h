#pragma once

#include <QColor>
#include <QString>

class QWidget;

// Colours as the program passes them around: a number in text, either a system colour (high bit set,
// such as &H80000005 for a window's background) or an RGB value in blue-green-red byte order.
class SystemColor {
public:
    static constexpr qint64 WindowBackground = 0x80000005;
    static constexpr qint64 ActiveBorder = 0x8000000A;

    // The decimal text of a colour value, as a signed 32-bit number ("-2147483643").
    static QString Text(qint64 value);
    static QColor Resolve(const QString& text, const QWidget* widget = nullptr);
    // Sets the background of a text box (its base colour) or of another widget.
    static void SetBackColor(QWidget* widget, const QColor& color);
    static QColor BackColor(const QWidget* widget);
};
