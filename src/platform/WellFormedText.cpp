#include "platform/WellFormedText.h"

qsizetype WellFormedText::FirstFault(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isNull())
            return i;
        if (c.isHighSurrogate()) {
            if (i + 1 >= n || !text[i + 1].isLowSurrogate())
                return i;
            ++i;
        } else if (c.isLowSurrogate()) {
            return i;
        }
    }
    return -1;
}

QString WellFormedText::RefusalText() {
    return QStringLiteral("A value holds a character that cannot be stored (a NUL character or half of a "
                          "character pair); nothing was sent to the database.");
}

QString WellFormedText::WithoutCutPairs(const QString& text, qsizetype maxLength, int* position) {
    // Only a full box can have been cut; a cut keeps the first half of a pair and drops the second.
    if (text.size() < maxLength)
        return text;
    QString whole;
    whole.reserve(text.size());
    const int at = position ? *position : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())) {
            if (position && i < at)
                --*position;
            continue;
        }
        whole += c;
        if (c.isHighSurrogate())
            whole += text[++i];
    }
    return whole;
}

qsizetype WellFormedText::Characters(QStringView text) {
    qsizetype n = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --n;
    return n;
}
