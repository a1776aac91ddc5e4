#include "frame/SharedConnection.h"

#include "frame/clsDBConnection.h"

SharedConnection::SharedConnection() = default;
SharedConnection::~SharedConnection() = default;

clsDBConnection* SharedConnection::operator->() {
    if (!m_connection)
        m_connection = std::make_unique<clsDBConnection>();
    return m_connection.get();
}

clsDBConnection& SharedConnection::operator*() {
    return *operator->();
}

void SharedConnection::SetNothing() {
    m_connection.reset();
}

int SharedConnection::State() const {
    return m_connection ? m_connection->adoConnection().State() : 0;
}
