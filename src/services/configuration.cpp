#include "services/configuration.h"

#include "services/modGlobal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cmath>

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kSettings = QStringLiteral("Settings");

// The per-user store of the product; every call opens it afresh, reading or writing one value.
QSettings openStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(modGlobal::kProductName),
                     QString::fromLatin1(modGlobal::kProductName));
}

} // namespace

void ReadConfiguration()
{
    modGlobal::RootDir = Settings::readText(kConfiguration, QStringLiteral("RootDir"),
                                            QCoreApplication::applicationDirPath());
}

void WriteConfiguration()
{
    Settings::writeText(kConfiguration, QStringLiteral("RootDir"), modGlobal::RootDir);
}

bool TextToBool(const QVariant &text)
{
    const QString word = text.toString().trimmed().toUpper();
    return !(word == QLatin1String("FALSE") || word == QLatin1String("FALSO") || word == QLatin1String("NO")
             || word == QLatin1String("0"));
}

QString BuildFilePath(const QString &directory, const QString &name, const QString &extension)
{
    QString file = name;
    if (!extension.isEmpty()) {
        const qsizetype dot = file.indexOf(QLatin1Char('.'));
        if (dot >= 0)
            file.truncate(dot);
        file += QLatin1Char('.') + extension;
    }
    if (directory.isEmpty())
        return file;
    const QChar last = directory.back();
    const bool hasSeparator = last == QLatin1Char('\\') || last == QLatin1Char('/');
    return hasSeparator ? directory + file : directory + QLatin1Char('/') + file;
}

namespace Settings {

double readNumber(const QString &key, double defaultValue)
{
    const QString text = readText(kSettings, key).trimmed();
    if (text.isEmpty())
        return defaultValue;
    bool ok = false;
    double value = QLocale().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? value : defaultValue;
}

void writeNumber(const QString &key, double value)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    writeText(kSettings, key, locale.toString(value, 'g', QLocale::FloatingPointShortest));
}

QString readText(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings store = openStore();
    store.beginGroup(section);
    const QVariant value = store.value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with unquoted commas comes back as a list; keep it as the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void writeText(const QString &section, const QString &key, const QString &value)
{
    QSettings store = openStore();
    store.beginGroup(section);
    store.setValue(key, value);
}

void remove(const QString &section, const QString &key)
{
    QSettings store = openStore();
    store.beginGroup(section);
    store.remove(key);
}

} // namespace Settings

QString ProgramFolder()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QFileInfo info(appDir);
    if (info.isDir() && info.isWritable())
        return appDir;
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    return dataDir;
}
