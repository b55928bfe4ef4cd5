#pragma once
// The program's two reports, the movements and the movements per collaborator, and which view
// prints with which.

#include "objdb/report/reportdesign.h"

#include <QDate>
#include <QString>

namespace output {

enum class ReportKind {
    None,
    Movimenti,               // drMovimenti
    MovimentiCollaboratori,  // drMovimentiCollaboratori
};

// The report of a view, by the table of its data source and the key of its tree node.
ReportKind ReportFor(const QString &tableName, const QString &nodeKey);

// The design of a report bound for the view with the given node key: the movements report is
// headed "Movimenti in sospeso" for "Sospesi"; period is the collaborators' report's period line.
// The document is titled with the node key. report is not None.
objdb::report::Design DesignFor(ReportKind report, const QString &nodeKey, const QString &period,
                                const QDate &printDate);

} // namespace output
