#include "platform/EntryBox.h"

EntryBox::EntryBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { DataChanged = true; });
}
