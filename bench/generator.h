#pragma once
#include <QString>

// Writes a synthetic archive through the program's own table definitions: companies, collaborators,
// movements and their payments spread over three years, every outstanding amount consistent.
void generateArchive(const QString &path, int payments);
