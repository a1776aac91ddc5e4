#include "frame/CError.h"

#include "platform/App.h"
#include "platform/CurrentError.h"
#include "platform/DbConnection.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace {

const int kMaxErrorsPerSecond = 20;
const int kMaxIdenticalErrors = 10;

} // namespace

CError::CError() = default;

QString CError::LogFileName(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
}

QString CError::LogLine(const QDateTime& when, qint32 number, const QString& rawDescription,
                        const QString& rawLocation) {
    // One entry, one line: drivers' texts may carry line breaks and tabs of their own.
    const auto oneLine = [](QString text) {
        for (QChar& c : text)
            if (c == '\r' || c == '\n' || c == '\t')
                c = ' ';
        return text;
    };
    const QString description = oneLine(rawDescription);
    const QString location = oneLine(rawLocation);
    QString line = QLocale::system().toString(when, QStringLiteral("dd MMMM yyyy HH:mm:ss")) + ',';
    if (number != 0)
        line += " Error #" + QString::number(static_cast<quint32>(number), 16).toUpper() + ' ';
    if (!description.isEmpty())
        line += '(' + description + ") ";
    if (!location.isEmpty())
        line += "in " + location;
    return line;
}

int CError::Report(const QString& location) {
    m_number = Err().Number();
    m_description = Err().Description();
    m_source = Err().Source();
    QString detail = Err().Detail();
    bool fromConnection = false;
    if (m_dbConnection && m_dbConnection->LastError().number != 0) {
        m_number = m_dbConnection->LastError().number;
        m_description = m_dbConnection->LastError().description;
        detail = m_dbConnection->LastError().cause;
        fromConnection = true;
    }
    m_location = location.isEmpty() ? '[' + m_source + ']' : location;
    m_lastResult = CheckErrorLoop(m_source, m_description) ? 1 : 2;
    // The user reads the program's words; the log keeps the driver's beside them, where the cause is.
    WriteError(m_number, detail.isEmpty() ? m_description : m_description + " The driver said: " + detail,
               m_location);
    if (fromConnection)
        m_dbConnection->ClearErrors();
    Err().Clear();
    return m_lastResult;
}

bool CError::CheckErrorLoop(const QString& /*source*/, const QString& description) {
    const qint64 second = App::Now().toSecsSinceEpoch();
    if (second != m_secondOfLastError) {
        m_secondOfLastError = second;
        m_errorsThisSecond = 0;
    }
    ++m_errorsThisSecond;
    if (description == m_previousDescription) {
        ++m_repeatCount;
    } else {
        m_repeatCount = 0;
        m_previousDescription = description;
    }
    if (m_errorsThisSecond > kMaxErrorsPerSecond) {
        WriteError(0, QStringLiteral(" <Error Handler Message>"),
                   QStringLiteral(" Loop Detected : > ") + QString::number(m_errorsThisSecond) +
                       QStringLiteral(" Errors per second "));
        m_errorsThisSecond = 0;
        return true;
    }
    if (m_repeatCount > kMaxIdenticalErrors) {
        WriteError(0, QStringLiteral(" <Error Handler Message>"),
                   QStringLiteral(" Loop Detected : > ") + QString::number(m_repeatCount) +
                       QStringLiteral(" Identical Errors "));
        m_repeatCount = 0;
        return true;
    }
    return false;
}

void CError::WriteError(qint32 number, const QString& description, const QString& location) {
    if (!m_logStarted) {
        m_logStarted = true;
        WriteError(0, "Log started: " + App::Title() + ' ' + App::VersionText(), QString());
    }
    const QDateTime now = App::Now();
    const QString line = LogLine(now, number, description, location);
    if (m_folder.isEmpty())
        m_folder = App::Path();
    // A log that cannot be written loses its line; the report itself still answers.
    QFile file(QDir(m_folder).filePath(LogFileName(now)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write((line + QStringLiteral("\r\n")).toUtf8());
}
