#pragma once

#include <QHash>
#include <QString>

// The fixed substitution that turns a remembered password into its stored form in QLX.ini: each
// printable ASCII character stands for a group of three. No group holds ";", ",", "=" or a blank, so a
// stored form never ends or opens a value of the entry line. The table must never change: stored
// passwords in users' files depend on it.
class PasswordTable {
public:
    static const PasswordTable& instance();

    // The character's group, or an empty text when the character has none.
    QString group(QChar c) const { return m_groups.value(c); }
    // The group's character, or a null QChar when the text is no group.
    QChar character(const QString& group) const { return m_characters.value(group); }
    bool covers(const QString& password) const;

private:
    PasswordTable();
    QHash<QChar, QString> m_groups;
    QHash<QString, QChar> m_characters;
};
