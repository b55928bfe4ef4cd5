#pragma once
// Fixtures of the tests of server archives: a private password file of the client library, and an
// address where no server answers.

#include "objdb/engine/serveraddress.h"

#include <QFile>
#include <QTemporaryDir>

namespace TestSupport {

// While alive, PGPASSFILE names a file (not made) in a folder of its own.
class PrivatePasswordFile {
public:
    PrivatePasswordFile() : m_before(qgetenv("PGPASSFILE")) { qputenv("PGPASSFILE", QFile::encodeName(path())); }
    ~PrivatePasswordFile() { qputenv("PGPASSFILE", m_before); }
    QString path() const { return m_dir.filePath(QStringLiteral("pgpass")); }
    QByteArray read() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QByteArray &text) const
    {
        QFile file(path());
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_before;
};

// A port of the local computer where nothing listens, so that an open fails at once.
inline objdb::ServerAddress unreachableServer()
{
    return {QStringLiteral("127.0.0.1"), 1, QStringLiteral("cassa"), QStringLiteral("cassiere")};
}

} // namespace TestSupport
