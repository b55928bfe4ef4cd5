#pragma once
// What was written to the row being saved, or to its parent, since they were read (another desk on
// the same archive), read under the save's write lock.

#include <QList>
#include <QString>
#include <QVariant>

namespace objdb::source {

struct EditRow;
struct SourceScope;

// A column whose stored value moved since it was read, and what the row's value becomes.
struct MovedColumn {
    QString column;
    bool parent = false;
    QVariant value;
};

// The rules' change of an amount is carried over to the stored value, so that nothing written
// meanwhile is lost; a column the user changed that was also changed meanwhile is refused (throws),
// since either value would undo the effects of the other. A row deleted meanwhile is refused too.
QList<MovedColumn> storedChanges(const SourceScope &scope, const EditRow &row);

} // namespace objdb::source
