#pragma once

#include <QString>
#include <QStringView>

// Text as the databases can take it: every character pair (a character beyond the first 65,536, such as
// an emoji) whole, and no NUL. A lone half of a pair would merge with the character after it on its way
// to UTF-8, and a NUL ends the statement early, so neither may reach a statement.
class WellFormedText {
public:
    // Position of the first unit that is not well-formed text; -1 when there is none.
    static qsizetype FirstFault(QStringView text);
    static bool IsWellFormed(QStringView text) { return FirstFault(text) < 0; }
    // What a user is told when a value is refused for it.
    static QString RefusalText();
    // The text without the lone first halves of character pairs that a cut to `maxLength` units left at
    // the cut; other text is left as it is. A position in the text (the cursor, which stands after what was
    // cut) moves back by the halves taken out before it.
    static QString WithoutCutPairs(const QString& text, qsizetype maxLength, int* position = nullptr);
    // How many characters the text holds as the databases count them: a pair of units is one.
    static qsizetype Characters(QStringView text);
};
