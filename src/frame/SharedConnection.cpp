#include "frame/SharedConnection.h"

#include "frame/clsDBConnection.h"

#include <QCoreApplication>

namespace {

SharedConnection* theSlot = nullptr;

// Qt's registry of database connections is gone by the time static objects die; the shared connection
// must close while the application still exists, however the program ends.
void closeBeforeQtGoes() {
    if (theSlot)
        theSlot->SetNothing();
}

} // namespace

SharedConnection::SharedConnection() = default;
SharedConnection::~SharedConnection() = default;

clsDBConnection* SharedConnection::operator->() {
    if (!m_connection) {
        if (!theSlot && QCoreApplication::instance()) {
            theSlot = this;
            qAddPostRoutine(closeBeforeQtGoes);
        }
        m_connection = std::make_unique<clsDBConnection>();
    }
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
