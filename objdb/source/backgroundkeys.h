#pragma once
// Reads an ordered key list on a thread of its own, through a read-only connection of its own to
// the archive file (a Qt SQL connection serves only the thread that opened it), and hands the keys
// to the owner's thread. A sort on a column without an index makes SQLite sort every row before
// the first key comes out: read here, the window keeps answering meanwhile.

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace objdb::source {

class BackgroundKeys {
public:
    explicit BackgroundKeys(QObject *owner) : m_owner(owner) {}
    ~BackgroundKeys(); // stops a read in progress and waits for its thread
    BackgroundKeys(const BackgroundKeys &) = delete;
    BackgroundKeys &operator=(const BackgroundKeys &) = delete;

    // Starts reading the keys of sql (one integer column) with its binds from the archive at path;
    // a read in progress is stopped first. onDone runs in the owner's thread with the keys, unless
    // the read was stopped or failed (the keys are then read the ordinary way when needed).
    void start(const QString &path, const QString &sql, const QVariantList &binds,
               std::function<void(QList<qint64>)> onDone);
    void stop();
    bool running() const { return m_thread != nullptr; }

private:
    struct Job;
    QObject *m_owner;
    std::shared_ptr<Job> m_job;
    QThread *m_thread = nullptr;
};

} // namespace objdb::source
