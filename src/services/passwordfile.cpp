#include "services/passwordfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

#include <sys/stat.h>

namespace PasswordFile {

namespace {

QString escaped(const QString &field)
{
    QString text = field;
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char(':'), QStringLiteral("\\:"));
    return text;
}

// The fields of a line, unescaped; a backslash takes the next character as it is.
QStringList fields(const QString &line)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\\') && i + 1 < line.size())
            parts.last() += line.at(++i);
        else if (c == QLatin1Char(':'))
            parts.append(QString());
        else
            parts.last() += c;
    }
    return parts;
}

QStringList account(const objdb::ServerAddress &address)
{
    return {address.host, QString::number(address.port), address.database, address.user};
}

// Whether a line names the account: exactly, or also through '*' fields.
bool names(const QString &line, const QStringList &wanted, bool wildcards)
{
    if (line.startsWith(QLatin1Char('#')))
        return false;
    const QStringList parts = fields(line);
    if (parts.size() < 5)
        return false;
    for (int i = 0; i < 4; ++i)
        if (parts.at(i) != wanted.at(i) && !(wildcards && parts.at(i) == QLatin1String("*")))
            return false;
    return true;
}

QStringList readLines()
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool writeLines(const QStringList &lines, QString *error)
{
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // The client library ignores a password file that others can read.
    if (::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        *error = QStringLiteral("impossibile riservare il file al suo proprietario");
        file.cancelWriting();
        return false;
    }
    for (const QString &text : lines)
        file.write(text.toUtf8() + '\n');
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString path()
{
    const QString named = qEnvironmentVariable("PGPASSFILE");
    return named.isEmpty() ? QDir::homePath() + QStringLiteral("/.pgpass") : named;
}

QString line(const objdb::ServerAddress &address, const QString &password)
{
    QStringList parts;
    for (const QString &field : account(address))
        parts.append(escaped(field));
    parts.append(escaped(password));
    return parts.join(QLatin1Char(':'));
}

bool remember(const objdb::ServerAddress &address, const QString &password, QString *error)
{
    QStringList lines = readLines();
    const auto same = std::find_if(lines.begin(), lines.end(),
                                   [&](const QString &text) { return names(text, account(address), false); });
    // The client library takes the first line that matches: a new one goes before the lines with '*'.
    if (same != lines.end())
        *same = line(address, password);
    else
        lines.prepend(line(address, password));
    return writeLines(lines, error);
}

bool forget(const objdb::ServerAddress &address, QString *error)
{
    QStringList lines = readLines();
    const qsizetype before = lines.size();
    lines.removeIf([&](const QString &text) { return names(text, account(address), false); });
    return lines.size() == before || writeLines(lines, error);
}

bool holds(const objdb::ServerAddress &address)
{
    const QStringList wanted = account(address);
    for (const QString &text : readLines())
        if (names(text, wanted, true))
            return true;
    return false;
}

} // namespace PasswordFile
