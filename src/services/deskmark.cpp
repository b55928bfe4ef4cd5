#include "services/deskmark.h"

#include "services/messageservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kNewSuffix = QStringLiteral(".new");

QString marksFolder(const QString &archivePath)
{
    return QFileInfo(archivePath).absoluteFilePath() + QStringLiteral(".desks");
}

// The marks of this process, which a look for other desks passes over.
QMutex g_ownLock;
QSet<QString> g_ownMarks;

bool isOwn(const QString &path)
{
    const QMutexLocker locker(&g_ownLock);
    return g_ownMarks.contains(path);
}

QByteArray markText(const QString &operatorName)
{
    const QString host = QSysInfo::machineHostName();
    return (operatorName.isEmpty() ? host : operatorName + QLatin1Char('@') + host).toUtf8();
}

// Rewrites the text in place: a reader meanwhile sees the old text or the new one cut short.
void writeText(int fd, const QByteArray &text)
{
    if (::pwrite(fd, text.constData(), size_t(text.size()), 0) == text.size())
        (void)::ftruncate(fd, text.size());
}

QString readText(int fd)
{
    QByteArray text(256, '\0');
    const ssize_t got = ::pread(fd, text.data(), size_t(text.size()), 0);
    return got > 0 ? QString::fromUtf8(text.left(got)).trimmed() : QString();
}

bool sameFile(int fd, const QString &path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
           && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

DeskMark::DeskMark(const QString &archivePath, const QString &operatorName)
{
    const QString folder = marksFolder(archivePath);
    if (!QDir().mkpath(folder))
        return;
    const QString name = QStringLiteral("%1-%2").arg(QSysInfo::machineHostName()).arg(QCoreApplication::applicationPid());
    const QString path = QDir(folder).filePath(name);
    // Made under a passing name and renamed once locked, so that nobody finds it unlocked.
    const QString passing = path + kNewSuffix;
    const int fd = ::open(QFile::encodeName(passing).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    writeText(fd, markText(operatorName));
    if (::rename(QFile::encodeName(passing).constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(QFile::encodeName(passing).constData());
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_path = path;
    const QMutexLocker locker(&g_ownLock);
    g_ownMarks.insert(m_path);
}

DeskMark::~DeskMark()
{
    if (m_fd < 0)
        return;
    {
        const QMutexLocker locker(&g_ownLock);
        g_ownMarks.remove(m_path);
    }
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

void DeskMark::setOperator(const QString &operatorName)
{
    if (m_fd >= 0)
        writeText(m_fd, markText(operatorName));
}

QStringList OtherDesksOn(const QString &archivePath)
{
    QStringList desks;
    const QDir folder(marksFolder(archivePath));
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        if (isOwn(path))
            continue;
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Its program is gone; one that is still being made is no mark yet.
            if (!name.endsWith(kNewSuffix) && sameFile(fd, path))
                ::unlink(QFile::encodeName(path).constData());
        } else if (!name.endsWith(kNewSuffix)) {
            const QString text = readText(fd);
            desks.append(text.isEmpty() ? name : text);
        }
        ::close(fd);
    }
    return desks;
}

bool RefuseWhileOtherDesksIn(const QString &archivePath, QWidget *owner)
{
    const QStringList desks = OtherDesksOn(archivePath);
    if (desks.isEmpty())
        return false;
    MessageService::inform(QStringLiteral("L'archivio %1 è in uso da %2.\n\nChiudere il programma sugli altri terminali "
                                          "e ripetere l'operazione.")
                               .arg(QDir::toNativeSeparators(archivePath), desks.join(QStringLiteral(", "))),
                           MessageService::Icon::Exclamation, QString(), owner);
    return true;
}
