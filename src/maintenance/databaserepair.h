#pragma once
// The repair of the archive of a working directory: a compacted copy checked by the engine takes
// the archive's place by one atomic rename, so that the archive is at every moment either the old
// file or the repaired one, and the old one is put back if the repaired one does not open.

#include <QString>

#include <functional>

class QWidget;
struct Session;

namespace objdb {
class itfNotifyEvent;
}

// The moments of the repair after which its files have changed, in their order.
enum class RepairStep { Compacted, OriginalKept, Replaced, Reopened };

struct RepairEnvironment {
    std::function<void()> releaseDatabase;     // the main window lets go of the archive
    objdb::itfNotifyEvent *notify = nullptr;   // sink of the reopened archive's findings
    std::function<void(RepairStep)> afterStep; // told after each step (may be empty)
    // In an operator's session the repair is the administrator's. Before the login (the start-up's
    // options, the archive perhaps damaged: no session given) anyone at the desk may repair.
    const Session *session = nullptr;
};

// Asks, repairs the archive in `directory` and tells the outcome. Returns true when it ended with
// "Recupero completato" (also when there is no archive), false when cancelled or refused.
bool RepairDatabase(const QString &directory, QWidget *owner, const RepairEnvironment &environment);
