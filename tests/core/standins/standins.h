#pragma once
// Test-only stand-ins for what other parts of the program provide: the program-wide state,
// the settings store (kept in memory) and the database initialisation.

#include <QMap>
#include <QString>

namespace StandIn {
// "Settings" values by key.
QMap<QString, double> &settings();
// How often InitDatabase ran, and whether it leaves a ready database behind.
int &initDatabaseCalls();
bool &initDatabaseSucceeds();
// Marks the database as open (both library objects present) or closed.
void setDatabaseOpen(bool open);
} // namespace StandIn
