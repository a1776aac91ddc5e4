#pragma once

#include <QString>

// The program's "current error": the one place where a failed operation leaves its number, description and
// source until an error handler reports it. Nothing in the program throws; a failing call raises here and
// answers failure, and the handler reads it back.
class CurrentError {
public:
    // Used when a database driver gives no numeric code of its own (the classic "unspecified error").
    static constexpr qint32 UnspecifiedError = static_cast<qint32>(0x80004005u);
    // Using a recordset or connection that does not exist.
    static constexpr qint32 ObjectNotSet = 91;
    // Reading a field while no current row exists.
    static constexpr qint32 NoCurrentRecord = 3021;
    // Operation not allowed on a closed object.
    static constexpr qint32 ObjectClosed = 3704;
    // The connection cannot be used any more: the server ended its session or the network dropped it.
    static constexpr qint32 ConnectionLost = 3709;

    static CurrentError& instance();

    // `detail` is for the log only: the driver's own words behind an error the user is told in the program's
    // words (a lost connection), so that its cause can be found later.
    void Raise(qint32 number, const QString& description, const QString& source, const QString& detail = {});
    void Clear();

    qint32 Number() const { return m_number; }
    QString Description() const { return m_description; }
    QString Source() const { return m_source; }
    QString Detail() const { return m_detail; }

private:
    qint32 m_number = 0;
    QString m_description;
    QString m_source;
    QString m_detail;
};

inline CurrentError& Err() {
    return CurrentError::instance();
}
