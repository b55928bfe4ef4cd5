#include "maintenancebench.h"

#include "data/DB.h"
#include "maintenance/archiveimport.h"
#include "maintenance/databaserepair.h"
#include "services/messageservice.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Raw SQLite on one file for the length of a statement list.
void rawStatements(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("maintenance-bench-raw");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        for (const auto &sql : statements)
            if (!q.exec(sql))
                std::fprintf(stderr, "raw: %s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void freshCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// Every question answered as an operator who goes ahead.
MessageService::Answer goAhead(const MessageService::Request &request)
{
    if (request.buttons == MessageService::Buttons::OkCancel)
        return MessageService::Answer::Ok;
    if (request.text == QLatin1String("Confermi l'importazione ?"))
        return MessageService::Answer::Yes;
    return request.defaultAnswer;
}

} // namespace

void runMaintenanceBenchmarks(const MaintenanceBench &bench)
{
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("Cobrelle.mdb"));
    freshCopy(bench.archive, archive);
    MessageService::setScript(goAhead);

    if (bench.wanted("repair")) {
        const QString rawCopy = folder.filePath(QStringLiteral("raw.mdb"));
        bench.measure(
            "repair", bench.payments, [&] { RepairDatabase(folder.path(), nullptr, {}); },
            [&] {
                QFile::remove(rawCopy);
                rawStatements(archive, {QStringLiteral("VACUUM INTO '%1'").arg(rawCopy)});
            });
    }

    // The same repair against raw SQLite doing the work the repair really does: the compacted copy
    // and the engine's check of that copy.
    if (bench.wanted("repair_same_work")) {
        const QString rawCopy = folder.filePath(QStringLiteral("raw.mdb"));
        bench.measure(
            "repair_same_work", bench.payments, [&] { RepairDatabase(folder.path(), nullptr, {}); },
            [&] {
                QFile::remove(rawCopy);
                rawStatements(archive, {QStringLiteral("VACUUM INTO '%1'").arg(rawCopy)});
                rawStatements(rawCopy, {QStringLiteral("PRAGMA integrity_check")});
            });
    }

    if (bench.wanted("import_payments")) {
        // An empty archive of the program, copied afresh before each import.
        const QString empty = folder.filePath(QStringLiteral("empty.mdb"));
        const QString target = folder.filePath(QStringLiteral("target.mdb"));
        {
            auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
            auto db = objdb::Database::create();
            db->Create(objdb::kDatabaseFormat, empty);
            db->Open(objdb::kDatabaseFormat, empty);
            context->Attach(db);
        }
        bench.measure(
            "import_payments", bench.payments,
            [&] {
                freshCopy(empty, target);
                auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
                auto db = objdb::Database::create();
                db->Open(objdb::kDatabaseFormat, target);
                context->Attach(db);
                if (!ImportArchive(archive, context->Tables().Item(QStringLiteral("Pagamenti")).OpenDataSource(), nullptr, nullptr))
                    std::fprintf(stderr, "import_payments: the import did not complete\n");
            },
            [&] {
                freshCopy(empty, target);
                rawStatements(target, {QStringLiteral("ATTACH DATABASE '%1' AS src").arg(archive), QStringLiteral("BEGIN"),
                                       QStringLiteral("INSERT OR IGNORE INTO Compagnie SELECT * FROM src.Compagnie"),
                                       QStringLiteral("INSERT OR IGNORE INTO Collaboratori SELECT * FROM src.Collaboratori"),
                                       QStringLiteral("INSERT INTO Movimenti SELECT * FROM src.Movimenti"),
                                       QStringLiteral("INSERT INTO Pagamenti SELECT * FROM src.Pagamenti"),
                                       QStringLiteral("COMMIT"), QStringLiteral("DETACH DATABASE src")});
            });
    }
    MessageService::clearScript();
}
