#include "data/archivefacts.h"

#include "data/deletionlog.h"
#include "services/configuration.h"
#include "objdb/currency.h"
#include "objdb/database.h"
#include "objdb/sqldialect.h"

#include <QSqlQuery>

using objdb::sqlName;

namespace {

const QString kOldSettingSection = QStringLiteral("Configuration");
const QString kOldSetting = QStringLiteral("CurrencyConverted");

bool hasTable(objdb::Database &database, const QString &table)
{
    return database.hasTable(table);
}

QDateTime storedTime(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

} // namespace

namespace ArchiveFacts {

QString Identity(objdb::Database &database)
{
    if (!hasTable(database, kFactsTable))
        return QString();
    QSqlQuery q = database.exec(QStringLiteral("SELECT Identita FROM %1 ORDER BY OID LIMIT 1").arg(sqlName(kFactsTable)));
    return q.next() ? q.value(0).toString() : QString();
}

ConversionMark Conversion(objdb::Database &database)
{
    if (!hasTable(database, kFactsTable))
        return {};
    QSqlQuery q = database.exec(QStringLiteral("SELECT Convertito, ConvertitoIl, ConvertitoDa FROM %1 ORDER BY OID LIMIT 1")
                                    .arg(sqlName(kFactsTable)));
    if (!q.next() || q.value(0).toInt() != 1)
        return {};
    return {true, storedTime(q.value(1)), q.value(2).toString()};
}

void RecordConversion(objdb::Database &database, const QString &operatorName)
{
    database.exec(QStringLiteral("UPDATE %1 SET Convertito = 1, ConvertitoIl = ?, ConvertitoDa = ?").arg(sqlName(kFactsTable)),
                  {DeletionLog::now(), operatorName});
}

void AdoptConversionSetting(objdb::Database &database)
{
    if (!TextToBool(Settings::readText(kOldSettingSection, kOldSetting, QStringLiteral("False"))))
        return;
    if (!Conversion(database).converted)
        database.exec(QStringLiteral("UPDATE %1 SET Convertito = 1").arg(sqlName(kFactsTable)));
    Settings::remove(kOldSettingSection, kOldSetting);
}

std::shared_ptr<objdb::Currency> ConversionCurrency(objdb::Database &database)
{
    if (Conversion(database).converted)
        return std::make_shared<objdb::CurrencyLire>();
    return std::make_shared<objdb::CurrencyEuro>();
}

std::optional<ImportRecord> LastImportFrom(objdb::Database &database, const QString &sourceIdentity)
{
    QSqlQuery q = database.exec(QStringLiteral("SELECT Quando, Operatore, Tabella, Righe FROM %1 WHERE Origine = ? "
                                               "ORDER BY OID DESC LIMIT 1")
                                    .arg(sqlName(kImportsTable)),
                                {sourceIdentity});
    if (!q.next())
        return std::nullopt;
    return ImportRecord{storedTime(q.value(0)), q.value(1).toString(), q.value(2).toString(), q.value(3).toLongLong()};
}

void RecordImport(objdb::Database &database, const QString &operatorName, const QString &sourceIdentity,
                  const QString &sourceFile, const QString &tableCaption, qint64 rows, const QString &counts)
{
    database.exec(QStringLiteral("INSERT INTO %1 (Quando, Operatore, Origine, FileOrigine, Tabella, Righe, Dettaglio) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)")
                      .arg(sqlName(kImportsTable)),
                  {DeletionLog::now(), operatorName, sourceIdentity, sourceFile, tableCaption, rows, counts});
}

} // namespace ArchiveFacts
