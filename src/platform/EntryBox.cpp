#include "platform/EntryBox.h"

#include "platform/WellFormedText.h"

EntryBox::EntryBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        DataChanged = true;
        const QString whole = WellFormedText::WithoutCutPairs(text(), maxLength());
        if (whole.size() != text().size()) {
            const int cursor = qMin(cursorPosition(), static_cast<int>(whole.size()));
            setText(whole);
            setCursorPosition(cursor);
        }
    });
}
