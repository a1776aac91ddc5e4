#include "platform/TransactionGuard.h"

#include "platform/DbConnection.h"

TransactionGuard::TransactionGuard(DbConnection& connection) : m_connection(connection) {
    m_active = m_connection.BeginTrans();
}

TransactionGuard::~TransactionGuard() {
    Rollback();
}

void TransactionGuard::Rollback() {
    if (m_active)
        m_connection.RollbackTrans();
    m_active = false;
}

bool TransactionGuard::Commit() {
    if (!m_active)
        return false;
    m_active = false;
    return m_connection.CommitTrans();
}
