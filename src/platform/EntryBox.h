#pragma once

#include <QLineEdit>

// A text box that remembers that its text changed, whether the user typed it or the program set it; the
// editors read and reset the flag to learn whether an entry was touched. Cut to its maximum length, it
// never keeps half of a character pair (an emoji pasted at the end).
class EntryBox : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryBox(QWidget* parent = nullptr);

    bool DataChanged = false;
};
