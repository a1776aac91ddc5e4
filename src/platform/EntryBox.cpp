#include "platform/EntryBox.h"

#include "platform/WellFormedText.h"

namespace {
// QLineEdit's own ceiling.
constexpr int kLongest = 32767;
} // namespace

EntryBox::EntryBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        DataChanged = true;
        KeepWithinLimits();
    });
}

void EntryBox::SetMaxCharacters(int characters) {
    m_maxCharacters = characters;
    // Room for as many pairs; the characters beyond the limit are cut as they come in.
    setMaxLength(characters < 0 ? kLongest : qMin(2 * characters, kLongest));
    KeepWithinLimits();
}

void EntryBox::KeepWithinLimits() {
    int cursor = cursorPosition();
    QString whole = WellFormedText::WithoutCutPairs(text(), maxLength(), &cursor);
    qsizetype excess = m_maxCharacters < 0 ? 0 : WellFormedText::Characters(whole) - m_maxCharacters;
    if (excess > 0) {
        // What came in last stands just before the cursor; what stays after it is kept.
        qsizetype start = cursor;
        for (; excess > 0 && start > 0; --excess)
            start -= (start > 1 && whole[start - 1].isLowSurrogate() && whole[start - 2].isHighSurrogate())
                         ? 2
                         : 1;
        whole.remove(start, cursor - start);
        cursor = static_cast<int>(start);
        // A cursor too near the start leaves the rest to go from the end.
        while (excess-- > 0)
            whole.chop(whole.size() > 1 && whole.back().isLowSurrogate() ? 2 : 1);
    }
    if (whole.size() != text().size()) {
        setText(whole);
        setCursorPosition(qMin(cursor, static_cast<int>(whole.size())));
    }
}
