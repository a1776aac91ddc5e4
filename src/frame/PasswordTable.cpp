#include "frame/PasswordTable.h"

namespace {

// Groups for the characters from the blank (0x20) to "~" (0x7E), in that order.
const char* const kGroups[] = {
    "p)F",  "wLi", "PUC", "#^u",    "K(_", "cvM", "tu5", "Wd{", "KV>",  ">7*",  "|F3", "Uzw",  "Qg!", "a#u",
    "A9o",  "Fee", "ei<", "Ivg",    "y*<", "a)j", "-|1", "Z/J", "`W\\", "T8#",  "$5l", "$'G",  "<1`", "M_.",
    "Q0(",  "4y'", "/p3", "\"\\\\", "tA4", "XBU", "sOb", "09c", "BSi",  ":\"?", "^Uq", "|Zk",  "ZBs", "fo3",
    "1(l",  "?Th", "!&z", "{W!",    "f_n", "d]T", "S!}", "LSN", "Jkh",  "dNh",  "hQa", "\\q`", "1ex", "n5Z",
    "(gg",  "tha", "Y>0", "p-)",    "R*r", "0IC", "37F", "6pr", "<My",  "(2.",  "nLc", ":b^",  "m1I", "eB_",
    "$\"7", "cs(", "7uQ", "EHu",    "5pv", "n~~", "f)F", "{{M", "Q11",  "Otn",  "10~", "zv.",  "KAe", "?*O",
    "zIq",  "LU%", ")N~", "5.(",    "+yG", "j>r", "f@H", "QwC", "A!:",  "LPx",  "l>'",
};

} // namespace

const PasswordTable& PasswordTable::instance() {
    static const PasswordTable table;
    return table;
}

PasswordTable::PasswordTable() {
    for (int i = 0; i < int(sizeof kGroups / sizeof kGroups[0]); ++i) {
        const QChar c(0x20 + i);
        const QString g = QString::fromLatin1(kGroups[i]);
        m_groups.insert(c, g);
        m_characters.insert(g, c);
    }
}

bool PasswordTable::covers(const QString& password) const {
    for (const QChar c : password)
        if (!m_groups.contains(c))
            return false;
    return true;
}
