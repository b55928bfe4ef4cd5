#pragma once
// A run's session: the open archive, its data context, this desk's mark on it and the operator
// logged in. Start-up makes it; the main window hands it, or the part of it needed, to the
// subsystems.

#include <QString>
#include <memory>

class DeskMark;
namespace objdb {
class Database;
class DataContext;
}

struct Session {
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    std::shared_ptr<objdb::Database> database;
    std::shared_ptr<objdb::DataContext> dataContext;
    std::unique_ptr<DeskMark> deskMark;
    // Kept over a change of archive: the archive opened next is marked with it.
    QString operatorName;

    // Both library objects exist and the data context is attached (state 5).
    bool isReady() const;
    // The operator logged in, also on the data context (the logs write who did what) and on the mark.
    void setOperator(const QString &name);
    // Lets go of the archive: the context first, then the archive closed, then the desk's mark.
    void close();
};
