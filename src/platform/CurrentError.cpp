#include "platform/CurrentError.h"

CurrentError& CurrentError::instance() {
    static CurrentError err;
    return err;
}

void CurrentError::Raise(qint32 number, const QString& description, const QString& source,
                         const QString& detail) {
    m_number = number;
    m_description = description;
    m_source = source;
    m_detail = detail;
}

void CurrentError::Clear() {
    m_number = 0;
    m_description.clear();
    m_source.clear();
    m_detail.clear();
}
