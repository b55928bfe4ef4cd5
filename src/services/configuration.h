#pragma once
// The per-user settings store: sections "Configuration" and "Settings" under "Cobrelle".

#include <QString>
#include <QVariant>

// Reads RootDir of "Configuration" into modGlobal; the view reads its own keys there.
void ReadConfiguration();
// Writes it back.
void WriteConfiguration();
// "FALSE", "FALSO", "NO", "0" (any case, trimmed) are false; every other text is true.
bool TextToBool(const QVariant &text);
// Joins directory, name and (when not empty) extension replacing the name's own.
QString BuildFilePath(const QString &directory, const QString &name, const QString &extension);

namespace Settings {
// A number of section "Settings"; a missing or non-numeric value gives the default.
double readNumber(const QString &key, double defaultValue);
void writeNumber(const QString &key, double value);
// Any key of any section, as text; missing gives the default.
QString readText(const QString &section, const QString &key, const QString &defaultValue = QString());
void writeText(const QString &section, const QString &key, const QString &value);
void remove(const QString &section, const QString &key);
} // namespace Settings

// The folder for the program's own files (grid layouts, error pages): the executable's folder
// when writable, else the per-user data folder.
QString ProgramFolder();
