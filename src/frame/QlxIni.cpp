#include "frame/QlxIni.h"

#include "platform/ConnectionText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// The test switch's error for the next sync; 0: none.
int failSyncWith = 0;

const char* const kLabels[] = {
    "PROVIDER=", "Data Source=", "User ID=", "Password=", "Initial Catalog=", "Trusted_Connection="};

// The lines of the file as the reader sees them: line ends (LF or CR LF) taken off.
QStringList readerLines(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line starts no further line
    for (QString& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

QString field(const QString& line, const QString& label, QChar terminator) {
    const qsizetype at = line.indexOf(label);
    if (at < 0)
        return {};
    const qsizetype start = at + label.size();
    const qsizetype end = line.indexOf(terminator, start);
    return end > start ? line.mid(start, end - start) : QString();
}

struct Walk {
    QList<clsLocations> entries;
    QList<int> entryLines; // the line each entry was read from
    int lastConsumed = -1; // the last "[Marts]" line or entry line the reader took
};

Walk walk(const QByteArray& bytes) {
    Walk w;
    const QStringList lines = readerLines(bytes);
    int counter = 1;
    qsizetype i = 0;
    while (i < lines.size()) {
        if (!lines[i].contains("[Marts]")) {
            ++i;
            continue;
        }
        w.lastConsumed = int(i);
        ++i;
        while (i < lines.size()) {
            const QString& line = lines[i];
            const QString key = QString("mart%1=").arg(counter);
            const qsizetype k = line.indexOf(key);
            if (k < 0)
                break;
            clsLocations e;
            const qsizetype c = line.indexOf(',', k);
            if (c > k) {
                e.sMartNo = QString::number(counter);
                e.sLocName = line.mid(k + key.size(), c - k - key.size());
            }
            e.sProvider = field(line, "PROVIDER=", ';');
            e.sServer = field(line, "Data Source=", ';');
            e.sUser = field(line, "User ID=", ';');
            e.sPwd = field(line, "Password=", ';');
            e.sDatabase = field(line, "Initial Catalog=", ';');
            e.sTrustConn = field(line, "Trusted_Connection=", ',');
            w.entries.push_back(e);
            w.entryLines.push_back(int(i));
            w.lastConsumed = int(i);
            ++counter;
            ++i;
        }
    }
    return w;
}

// Where line `index` (as readerLines counts them) stands in the bytes, without its line end.
void lineSpan(const QByteArray& bytes, int index, qsizetype* start, qsizetype* end) {
    qsizetype from = 0;
    for (int i = 0; i < index; ++i)
        from = bytes.indexOf('\n', from) + 1;
    qsizetype to = bytes.indexOf('\n', from);
    if (to < 0)
        to = bytes.size();
    if (to > from && bytes.at(to - 1) == '\r')
        --to;
    *start = from;
    *end = to;
}

QString cataloguePiece(const QString& database) {
    return database.trimmed().isEmpty() ? QStringLiteral(";") : ";Initial Catalog=" + database;
}

} // namespace

QString QlxIni::PathIn(const QString& folder) {
    return QDir(folder).filePath(FileName());
}

QList<clsLocations> QlxIni::Parse(const QByteArray& bytes) {
    return walk(bytes).entries;
}

QString QlxIni::LoginLine(int number, const QString& name, const QString& provider, const QString& server,
                          const QString& database, const QString& user, const QString& password) {
    QString line = QString("mart%1=").arg(number) + name + ",PROVIDER=" + provider +
                   ";Data Source=" + server + ";User ID=" + user + ";Password=" + password +
                   cataloguePiece(database);
    if (!database.trimmed().isEmpty())
        line += ";Persist Security Info=True";
    return line;
}

QString QlxIni::IntegratedLine(int number, const QString& name, const QString& provider,
                               const QString& server, const QString& database) {
    return QString("mart%1=").arg(number) + name + ",PROVIDER=" + provider + ";Data Source=" + server +
           cataloguePiece(database) + ";Persist Security Info=True;Trusted_Connection=Yes,";
}

QString QlxIni::ValueProblem(const QString& what, const QString& value) {
    if (value.contains('\r') || value.contains('\n'))
        return QString("The %1 must fit on one line.").arg(what);
    if (value.contains(';'))
        return QString("The %1 cannot contain \";\".").arg(what);
    for (const char* label : kLabels)
        if (value.contains(QLatin1String(label)))
            return QString("The %1 cannot contain \"%2\".").arg(what, QLatin1String(label));
    for (const QChar c : value)
        if (c.unicode() > 0xFF)
            return QString(
                       "The %1 holds characters that %2 cannot store; it keeps Western European (Latin-1) "
                       "text only.")
                .arg(what, FileName());
    return {};
}

QString QlxIni::DataSourceField(const QString& provider) {
    ConnectionText entry;
    entry.Provider = provider.trimmed();
    switch (entry.backend()) {
    case ConnectionText::Backend::SqliteFile:
        return QStringLiteral("warehouse file");
    case ConnectionText::Backend::Oracle:
        return QStringLiteral("database alias");
    case ConnectionText::Backend::OdbcDataSource:
        return QStringLiteral("ODBC data source");
    default:
        return QStringLiteral("database server name");
    }
}

QString QlxIni::EntryProblem(const QString& name, const QString& provider, const QString& server,
                             const QString& database, const QString& user, const QString& password) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("The connection needs a name.");
    if (name.contains(','))
        return QStringLiteral("A connection name cannot contain \",\".");
    const std::pair<QString, const QString&> values[] = {
        {QStringLiteral("connection name"), name}, {QStringLiteral("connection type"), provider},
        {DataSourceField(provider), server},       {QStringLiteral("database name"), database},
        {QStringLiteral("user name"), user},       {QStringLiteral("password"), password}};
    for (const auto& [what, value] : values) {
        const QString problem = ValueProblem(what, value);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

int QlxIni::NextNumber(const QByteArray& bytes) {
    return int(walk(bytes).entries.size()) + 1;
}

QString QlxIni::NumberProblem(const QByteArray& bytes, int number) {
    const QString key = QString("mart%1=").arg(number);
    for (const QString& line : readerLines(bytes))
        if (line.trimmed().startsWith(key))
            return QString("%1 already holds a line keyed \"mart%2\" that is not read as a connection (the "
                           "reading stops at a blank line or a missing number). Correct the file, then add "
                           "the connection again.")
                .arg(FileName())
                .arg(number);
    return {};
}

QByteArray QlxIni::Append(const QByteArray& bytes, const QString& line) {
    QByteArray out = bytes;
    const Walk w = walk(bytes);
    const qsizetype lineCount = readerLines(bytes).size();
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += "\r\n";
    // Without a "[Marts]" line, or with anything after the reader's last run, the new entry needs a run
    // of its own; the reader then continues the numbering there.
    if (w.lastConsumed < 0 || w.lastConsumed < lineCount - 1)
        out += "[Marts]\r\n";
    out += line.toLatin1() + "\r\n";
    return out;
}

bool QlxIni::RewriteCredentials(QByteArray& bytes, int number, const QString& user, const QString& password,
                                QString* problem) {
    const Walk w = walk(bytes);
    if (number < 1 || number > w.entryLines.size())
        return false;
    qsizetype start = 0;
    qsizetype end = 0;
    lineSpan(bytes, w.entryLines[number - 1], &start, &end);
    QString line = QString::fromLatin1(bytes.mid(start, end - start));
    // The entry's own fields follow the comma after its name, each after a separator.
    const qsizetype key = line.indexOf(QString("mart%1=").arg(number));
    const qsizetype fields = line.indexOf(',', key);
    // The reader takes the first occurrence of each label in the line. Only when that is the entry's own
    // field, ended by its ";", is it the value to change; anything else would rewrite another part of
    // the line (its key or name) and could lose the entry.
    const auto replaceValue = [&](const QString& label, const QString& value) {
        const qsizetype at = line.indexOf(label);
        const qsizetype from = at + label.size();
        const qsizetype to = at < 0 ? -1 : line.indexOf(';', from);
        if (at <= fields || fields < 0 || (line.at(at - 1) != ';' && line.at(at - 1) != ',') || to < from) {
            if (problem)
                *problem =
                    QString("The line of entry mart%1 in %2 has no \"%3\" value of its own that can be "
                            "changed safely. Correct the line, then open the connection again.")
                        .arg(number)
                        .arg(FileName(), label);
            return false;
        }
        line.replace(from, to - from, value);
        return true;
    };
    if (!replaceValue("User ID=", user) || !replaceValue("Password=", password))
        return false;
    bytes.replace(start, end - start, line.toLatin1());
    return true;
}

QString QlxIni::ConnectionValue(const QString& value) {
    if (!value.contains(';') && !value.startsWith('"') && !value.startsWith('\''))
        return value;
    QString quoted = value;
    quoted.replace('"', QStringLiteral("\"\""));
    return '"' + quoted + '"';
}

QString QlxIni::NewConnectionText(const QString& provider, const QString& server, const QString& database,
                                  const QString& user, const QString& password, bool integrated) {
    const bool hasDatabase = !database.trimmed().isEmpty();
    const QString catalogue = hasDatabase ? ";Initial Catalog=" + database : QString();
    if (integrated)
        return "Provider=" + provider + ";Data Source=" + server + catalogue + ";Integrated Security=SSPI";
    return "PROVIDER=" + provider + ";Data Source=" + server + ";User ID=" + ConnectionValue(user) +
           ";Password=" + ConnectionValue(password) + catalogue +
           (hasDatabase ? QStringLiteral(";Persist Security Info=True;") : QString());
}

QString QlxIni::OpenConnectionText(const QString& provider, const QString& server, const QString& database,
                                   const QString& user, const QString& password, bool integrated) {
    const QString db = database.trimmed();
    const QString catalogue = db.isEmpty() ? QString() : ";Initial Catalog=" + db;
    const QString head = "Provider=" + provider.trimmed() + ";Data Source=" + server.trimmed() + catalogue;
    if (integrated)
        return head + ";Integrated Security=SSPI";
    // An ODBC data source opened without a user name signs in with its own login; any user or password
    // sent with it, even an empty one, would take that login's place.
    ConnectionText entry;
    entry.Provider = provider.trimmed();
    if (entry.backend() == ConnectionText::Backend::OdbcDataSource && user.trimmed().isEmpty())
        return head + ';';
    return head + ";User Id=" + ConnectionValue(user.trimmed()) +
           ";Password=" + ConnectionValue(password.trimmed()) + ';';
}

bool QlxIni::ReadFile(const QString& path, QByteArray* bytes, QString* error) {
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        *bytes = f.readAll();
        if (f.error() == QFileDevice::NoError)
            return true;
    }
    if (error)
        *error = QString("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), f.errorString());
    return false;
}

void QlxIni::FailNextSync(int error) {
    failSyncWith = error;
}

bool QlxIni::WriteFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    // Unbuffered, so a write the device refuses (a full disk) fails here: the flush at commit would fail
    // unseen and put a cut-off file in place of the whole one.
    bool written = f.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A write cut short is retried for the rest, which then fails with the device's own reason.
    for (qint64 done = 0; written && done < bytes.size();) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        written = n > 0;
        done += qMax<qint64>(n, 0);
    }
    QString why = f.errorString();
#ifdef Q_OS_UNIX
    // Some file systems find out that the disk is full only when the data goes to the device.
    if (written) {
        int synced = ::fsync(f.handle());
        if (failSyncWith != 0) {
            synced = -1;
            errno = std::exchange(failSyncWith, 0);
        }
        if (synced != 0) {
            why = qt_error_string(errno);
            written = false;
        }
    }
#endif
    if (written && f.commit())
        return true;
    if (written)
        why = f.errorString();
    if (error)
        *error = QString("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), why);
    f.cancelWriting();
    return false;
}
