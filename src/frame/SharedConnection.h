#pragma once

#include <memory>

class clsDBConnection;

// The slot that holds the shared warehouse connection. Any use while it is empty creates a fresh, closed
// connection; setting it to nothing drops the old one, so the next use starts afresh.
class SharedConnection {
public:
    SharedConnection();
    ~SharedConnection();

    clsDBConnection* operator->();
    clsDBConnection& operator*();
    bool IsNothing() const { return !m_connection; }
    void SetNothing();
    // The connection's state without creating one: 1 when open.
    int State() const;

private:
    std::unique_ptr<clsDBConnection> m_connection;
};
