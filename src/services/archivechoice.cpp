#include "services/archivechoice.h"

#include "services/configuration.h"

namespace {

const QString kSection = QStringLiteral("Configuration");
const QString kServerKind = QStringLiteral("server");
const QString kFileKind = QStringLiteral("file");

QString read(const char *key, const QString &defaultValue = QString())
{
    return Settings::readText(kSection, QLatin1String(key), defaultValue);
}

void write(const char *key, const QString &value)
{
    Settings::writeText(kSection, QLatin1String(key), value);
}

} // namespace

ArchiveChoice ReadArchiveChoice()
{
    ArchiveChoice choice;
    choice.kind = read("ArchiveKind").trimmed().compare(kServerKind, Qt::CaseInsensitive) == 0 ? ArchiveKind::Server
                                                                                                 : ArchiveKind::File;
    choice.server.host = read("ServerHost");
    bool ok = false;
    const int port = read("ServerPort").toInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        choice.server.port = port;
    choice.server.database = read("ServerDatabase");
    choice.server.user = read("ServerUser");
    return choice;
}

void WriteArchiveChoice(const ArchiveChoice &choice)
{
    write("ArchiveKind", choice.kind == ArchiveKind::Server ? kServerKind : kFileKind);
    write("ServerHost", choice.server.host);
    write("ServerPort", QString::number(choice.server.port));
    write("ServerDatabase", choice.server.database);
    write("ServerUser", choice.server.user);
}

QString ServerAddressProblem(const QString &host, const QString &port, const QString &database)
{
    if (host.trimmed().isEmpty())
        return QStringLiteral("Indicare il nome o l'indirizzo del server.");
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return QStringLiteral("La porta del server deve essere un numero da 1 a 65535.");
    if (database.trimmed().isEmpty())
        return QStringLiteral("Indicare il nome del database sul server.");
    if (database.contains(QLatin1Char('/')))
        return QStringLiteral("Il nome del database non può contenere il carattere '/'.");
    return QString();
}
