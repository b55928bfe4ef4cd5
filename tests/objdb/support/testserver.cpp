#include "testserver.h"

#include "objdb/engine/serveraddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestSupport {

namespace {

const QString kUser = QStringLiteral("postgres");
const QString kAdminConnection = QStringLiteral("objdb-test-server");
// ctest's SKIP_RETURN_CODE for the server's tests.
constexpr int kSkipped = 77;

[[noreturn]] void unavailable(const QString &why)
{
    if (qEnvironmentVariable("CI") == QLatin1String("true"))
        qFatal("Test server unavailable: %s", qPrintable(why));
    std::fprintf(stderr, "Test server unavailable, tests skipped: %s\n", qPrintable(why));
    std::_Exit(kSkipped);
}

QString serverBinaries()
{
    const QString chosen = qEnvironmentVariable("COBRELLE_PG_BIN");
    for (const QString &folder : {chosen, QStringLiteral("/usr/lib/postgresql/15/bin")})
        if (!folder.isEmpty() && QFile::exists(folder + QStringLiteral("/initdb")))
            return folder;
    const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &version : versions)
        if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(version)))
            return QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
    unavailable(QStringLiteral("no initdb under /usr/lib/postgresql"));
}

// A port nobody listens on now.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

class Cluster {
public:
    Cluster() : m_binaries(serverBinaries()), m_asRoot(::geteuid() == 0)
    {
        if (!m_folder.isValid())
            unavailable(QStringLiteral("no temporary folder"));
        // The server refuses to run as root: the cluster belongs to the postgres user then.
        if (m_asRoot) {
            const passwd *owner = ::getpwnam("postgres");
            if (!owner || ::chown(qPrintable(m_folder.path()), owner->pw_uid, owner->pw_gid) != 0)
                unavailable(QStringLiteral("no postgres user to own the cluster"));
        }
        const QString data = m_folder.filePath(QStringLiteral("data"));
        run(QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("--no-sync"), QStringLiteral("-A"),
                                       QStringLiteral("trust"), QStringLiteral("-U"), kUser, QStringLiteral("-E"),
                                       QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")});
        for (int attempt = 0; attempt < 5 && !m_started; ++attempt) {
            m_port = freePort();
            const QString settings = QStringLiteral("-c fsync=off -c synchronous_commit=off -c full_page_writes=off "
                                                    "-c listen_addresses=127.0.0.1 -c port=%1 -c unix_socket_directories=%2 "
                                                    "-c max_connections=60")
                                         .arg(m_port)
                                         .arg(m_folder.path());
            m_started = run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-o"), settings,
                                                       QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
                                                       QStringLiteral("-w"), QStringLiteral("start")},
                            false);
        }
        if (!m_started)
            unavailable(QStringLiteral("the server did not start: %1").arg(log()));
        stopWhenProgramEnds(data);
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kAdminConnection);
        admin.setHostName(QStringLiteral("127.0.0.1"));
        admin.setPort(m_port);
        admin.setUserName(kUser);
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open())
            unavailable(admin.lastError().text());
        qAddPostRoutine(&Cluster::stopAtExit);
    }

    ~Cluster()
    {
        QSqlDatabase::database(kAdminConnection, false).close();
        QSqlDatabase::removeDatabase(kAdminConnection);
        if (m_started)
            run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
                                           QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                                           QStringLiteral("stop")},
                false);
    }

    QString createDatabase()
    {
        const QString name = QStringLiteral("archive_%1").arg(++m_databases);
        admin("CREATE DATABASE " + name + " TEMPLATE template0 ENCODING 'UTF8'");
        objdb::ServerAddress address;
        address.host = QStringLiteral("127.0.0.1");
        address.port = m_port;
        address.user = kUser;
        address.database = name;
        return address.uri();
    }

    void dropDatabase(const QString &name) { admin("DROP DATABASE IF EXISTS \"" + name + "\" WITH (FORCE)"); }

    static std::unique_ptr<Cluster> &instance()
    {
        static std::unique_ptr<Cluster> cluster;
        return cluster;
    }

private:
    static void stopAtExit() { instance().reset(); }

    // A program that crashes leaves no server behind: a watcher stops it and removes its folder
    // once the program is gone.
    void stopWhenProgramEnds(const QString &data)
    {
        const QString asOwner = m_asRoot ? QStringLiteral("runuser -u postgres -- ") : QString();
        const QString script = QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; "
                                              "%2'%3/pg_ctl' -D '%4' -m immediate stop >/dev/null 2>&1; rm -rf '%5'")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(asOwner, m_binaries, data, m_folder.path());
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    }

    void admin(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(kAdminConnection));
        if (!q.exec(sql))
            qFatal("Test server: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }

    // Runs one of the server's programs, as the cluster's owner.
    bool run(const QString &program, const QStringList &arguments, bool required = true)
    {
        QProcess process;
        process.setWorkingDirectory(m_folder.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QString binary = m_binaries + QLatin1Char('/') + program;
        if (m_asRoot)
            process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), kUser, QStringLiteral("--"), binary} + arguments);
        else
            process.start(binary, arguments);
        const bool ok = process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        if (!ok && required)
            unavailable(QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAll())));
        return ok;
    }

    QString log() const
    {
        QFile file(m_folder.filePath(QStringLiteral("server.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    QTemporaryDir m_folder;
    QString m_binaries;
    bool m_asRoot;
    bool m_started = false;
    int m_port = 0;
    int m_databases = 0;
};

Cluster &cluster()
{
    auto &instance = Cluster::instance();
    if (!instance)
        instance = std::make_unique<Cluster>();
    return *instance;
}

} // namespace

bool serverArchives()
{
    return qEnvironmentVariable("COBRELLE_TEST_ENGINE") == QLatin1String("postgres");
}

QString newServerArchive()
{
    return cluster().createDatabase();
}

void dropServerArchive(const QString &uri)
{
    const auto address = objdb::ServerAddress::fromUri(uri);
    if (address && Cluster::instance())
        Cluster::instance()->dropDatabase(address->database);
}

} // namespace TestSupport
