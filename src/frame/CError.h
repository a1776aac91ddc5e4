#pragma once

#include <QDateTime>
#include <QString>

class DbConnection;

// The one error reporter: writes each reported error as a line of the day's log in the program's folder
// and tells the handler whether to leave (1, an error loop) or not (2).
class CError {
public:
    CError();

    // Logs the current error under the location ("modMain:OpenDBConecction"), with the driver's words it
    // carries for the log beside its description, clears it and answers 1 when errors are looping, else 2.
    int Report(const QString& location = QString());
    // Appends one line to the day's log; never fails towards its caller.
    void WriteError(qint32 number, const QString& description, const QString& location);

    // A connection whose own last error, when set, is reported in place of the current error.
    void setDbConnection(DbConnection* connection) { m_dbConnection = connection; }
    DbConnection* dbConnection() const { return m_dbConnection; }

    int LastResult() const { return m_lastResult; }
    // The description of the error last reported, for an action that tells the user after its handlers
    // have logged it.
    QString LastDescription() const { return m_description; }

    static QString LogFileName(const QDateTime& when);
    static QString LogLine(const QDateTime& when, qint32 number, const QString& description,
                           const QString& location);

private:
    bool CheckErrorLoop(const QString& source, const QString& description);

    qint32 m_number = 0;
    QString m_description;
    QString m_source;
    QString m_location;
    int m_lastResult = 0;
    bool m_logStarted = false;
    QString m_folder;
    DbConnection* m_dbConnection = nullptr;

    int m_errorsThisSecond = 0;
    // The whole time to the second: errors a minute apart must not count as one burst.
    qint64 m_secondOfLastError = -1;
    int m_repeatCount = 0;
    QString m_previousDescription;
};
