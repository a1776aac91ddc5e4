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

    // Holds at most `characters` characters as the databases count them, a pair of units (an emoji)
    // being one, where maxLength counts units; below zero: no limit of its own. What is typed, pasted or
    // set beyond it is cut as maxLength cuts it: the part that went in last, just before the cursor.
    void SetMaxCharacters(int characters);
    int MaxCharacters() const { return m_maxCharacters; }

private:
    int m_maxCharacters = -1;

    void KeepWithinLimits();
};
