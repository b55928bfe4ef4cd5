#pragma once
// One running copy of the program per user: a lock file claims the right to run and a local
// server lets a later start ask the running copy to show its window.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The key names both the lock file and the local server; the default is per user.
    explicit SingleInstance(const QString &key = defaultKey(), QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString defaultKey();

    // True when this is the only running copy; it then listens for activation requests.
    bool tryAcquire();
    // From a refused copy: asks the running one to show its window. True when it was reached.
    bool requestActivation();

    // The information shown to a refused copy.
    static QString alreadyRunningMessage();

signals:
    void activationRequested();

private:
    void readRequest();

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
