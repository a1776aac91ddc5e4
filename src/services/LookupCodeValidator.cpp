#include "services/LookupCodeValidator.h"

LookupCodeValidator::LookupCodeValidator(const QString& protectedText, QObject* parent)
    : QValidator(parent), m_protected(protectedText) {}

QValidator::State LookupCodeValidator::validate(QString& input, int& pos) const {
    Q_UNUSED(pos);
    // An edit that touches the protected beginning is refused as a whole, so the box keeps its text.
    return input.startsWith(m_protected) ? Acceptable : Invalid;
}

void LookupCodeValidator::fixup(QString& input) const {
    if (!input.startsWith(m_protected))
        input = m_protected + input;
}
