#include "platform/CurrentError.h"

CurrentError& CurrentError::instance() {
    static CurrentError err;
    return err;
}

void CurrentError::Raise(qint32 number, const QString& description, const QString& source) {
    m_number = number;
    m_description = description;
    m_source = source;
}

void CurrentError::Clear() {
    m_number = 0;
    m_description.clear();
    m_source.clear();
}
