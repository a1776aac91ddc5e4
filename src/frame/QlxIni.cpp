#include "frame/QlxIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

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
            w.lastConsumed = int(i);
            ++counter;
            ++i;
        }
    }
    return w;
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

QString QlxIni::EntryProblem(const QString& name, const QStringList& values) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("The connection needs a name.");
    if (name.contains(',') || name.contains(';'))
        return QStringLiteral("A connection name cannot contain \",\" or \";\".");
    QStringList all = values;
    all.prepend(name);
    for (const QString& v : all) {
        if (v.contains('\r') || v.contains('\n'))
            return QStringLiteral("A connection's name and values must each fit on one line.");
        if (v != name && v.contains(';'))
            return QString("The value \"%1\" cannot contain \";\".").arg(v);
        for (const char* label : kLabels)
            if (v.contains(QLatin1String(label)))
                return QString("The text \"%1\" cannot contain \"%2\".").arg(v, QLatin1String(label));
    }
    return {};
}

int QlxIni::NextNumber(const QByteArray& bytes) {
    return int(walk(bytes).entries.size()) + 1;
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

bool QlxIni::RewriteCredentials(QByteArray& bytes, const QString& key, const QString& user,
                                const QString& password) {
    const QByteArray prefix = (key + '=').toLatin1();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (bytes.mid(start, prefix.size()) == prefix) {
            qsizetype lineEnd = end;
            if (lineEnd > start && bytes.at(lineEnd - 1) == '\r')
                --lineEnd; // the line keeps its own line end
            QString line = QString::fromLatin1(bytes.mid(start, lineEnd - start));
            const auto replaceValue = [&line](const QString& label, const QString& value) {
                const qsizetype at = line.indexOf(label);
                if (at < 0)
                    return;
                const qsizetype from = at + label.size();
                const qsizetype to = line.indexOf(';', from);
                if (to >= from)
                    line.replace(from, to - from, value);
            };
            replaceValue("User ID=", user);
            replaceValue("Password=", password);
            bytes.replace(start, lineEnd - start, line.toLatin1());
            return true;
        }
        start = end + 1;
    }
    return false;
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
    return head + ";User Id=" + ConnectionValue(user.trimmed()) +
           ";Password=" + ConnectionValue(password.trimmed()) + ';';
}

bool QlxIni::ReadFile(const QString& path, QByteArray* bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return true;
}

bool QlxIni::WriteFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QString temporary = path + ".new";
    QFile f(temporary);
    const auto failWith = [&](const QString& why) {
        if (error)
            *error = why;
        f.close();
        if (QFileInfo(temporary).isFile())
            QFile::remove(temporary);
        return false;
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failWith(QString("Cannot write \"%1\": %2").arg(temporary, f.errorString()));
    if (f.write(bytes) != bytes.size() || !f.flush())
        return failWith(QString("Cannot write \"%1\": %2").arg(temporary, f.errorString()));
    f.close();
    // rename() replaces the old file in one step on this platform.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return failWith(QString("Cannot replace \"%1\".").arg(path));
    return true;
}
