#pragma once
// The exports written by hand: the joined SELECT of the all-dates payments view stepped through the
// SQLite C interface, every value written with the texts and the escaping of the library's export
// (amounts "1.234,50", dates "dd/mm/yyyy", yes/no "Sì"/"No"), to a temporary file renamed into place.

#include <QByteArray>
#include <QString>

namespace RawExport {

enum class Format { Csv, Html };

// Writes the payments of the archive to file, after `head` (the page's or the CSV's first lines, the
// same as the library's); returns the rows written.
int write(const QString &archive, const QString &file, Format format, const QByteArray &head);

} // namespace RawExport
