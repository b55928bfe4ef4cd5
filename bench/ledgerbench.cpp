#include "ledgerbench.h"
#include "timing.h"

#include "data/DB.h"
#include "maintenance/archivecheck.h"
#include "maintenance/keyranges.h"
#include "maintenance/modEuroConversion.h"
#include "maintenance/outstanding.h"
#include "maintenance/settledpurge.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/sqldialect.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <limits>

namespace {

bool always(int, int)
{
    return true;
}

struct Library {
    std::shared_ptr<objdb::DataContext> context;
    std::shared_ptr<objdb::Database> database;
    ~Library()
    {
        context.reset();
        if (database)
            database->Close();
    }
};

std::unique_ptr<Library> openLibrary(const QString &path)
{
    auto library = std::make_unique<Library>();
    library->context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
    library->database = objdb::Database::create();
    library->database->Open(objdb::kDatabaseFormat, path);
    library->context->Attach(library->database);
    return library;
}

// Raw SQLite on a file: a connection of its own, statements run as given.
class Raw {
public:
    explicit Raw(const QString &path) : m_name(QStringLiteral("ledgerbench-raw"))
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~Raw()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    void exec(const QString &sql, const QVariantList &binds = {})
    {
        QSqlQuery q(m_db);
        q.prepare(sql);
        for (const auto &b : binds)
            q.addBindValue(b);
        if (!q.exec())
            std::fprintf(stderr, "raw: %s\n", qPrintable(q.lastError().text()));
        while (q.next()) {
        }
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// The amount divided by the rate in integer arithmetic, rounded half away from zero.
QString rawDivide(const QString &c)
{
    return QStringLiteral("%1 = CASE WHEN %1 >= 0 THEN (%1 * 200 + 193627) / 387254 ELSE -((-%1 * 200 + 193627) / 387254) END")
        .arg(c);
}

void rawConversion(Raw &raw)
{
    const auto set = [](std::initializer_list<const char *> columns) {
        QStringList sets;
        for (const char *c : columns)
            sets.append(rawDivide(QLatin1String(c)));
        return sets.join(QStringLiteral(", "));
    };
    raw.exec(QStringLiteral("BEGIN"));
    raw.exec(QStringLiteral("UPDATE Movimenti SET ") + set({"Importo", "ScontoPrivato", "Sconto", "ImportoInSospeso"}));
    raw.exec(QStringLiteral("UPDATE Pagamenti SET ") + set({"Contanti", "Bonifico_Bancomat", "Assegno", "Anticipo"}));
    raw.exec(QStringLiteral("UPDATE Eliminazioni SET ") + set({"Contanti", "Bonifico_Bancomat", "Assegno", "Anticipo"}));
    raw.exec(QStringLiteral("COMMIT"));
}

const char *const kRawDifferences =
    "SELECT COUNT(*) FROM Movimenti AS m LEFT JOIN (SELECT OID_Movimenti, SUM(coalesce(Contanti, 0) + "
    "coalesce(Bonifico_Bancomat, 0) + coalesce(Assegno, 0) + coalesce(Anticipo, 0)) AS s FROM Pagamenti GROUP BY "
    "OID_Movimenti) AS p ON p.OID_Movimenti = m.OID WHERE m.ImportoInSospeso IS NOT coalesce(m.Importo, 0) - "
    "coalesce(m.Sconto, 0) - coalesce(p.s, 0) OR m.Pagato IS NOT (abs(coalesce(m.Importo, 0) - coalesce(m.Sconto, 0) - "
    "coalesce(p.s, 0)) <= 100)";

class Bench {
public:
    explicit Bench(const LedgerBench &bench) : m_bench(bench)
    {
        // The base archive as this version keeps it (with its deletion log), copied for every run.
        m_base = m_dir.filePath(QStringLiteral("base.mdb"));
        QFile::copy(bench.archive, m_base);
        QFile(m_base).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        openLibrary(m_base);
    }

    QString base() const { return m_base; }

    // A fresh copy of the base, prepared (untimed) by `prepare`.
    QString copy(const std::function<void(const QString &)> &prepare = {})
    {
        const QString path = m_dir.filePath(QStringLiteral("run.mdb"));
        QFile::remove(path);
        QFile::copy(m_base, path);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        if (prepare)
            prepare(path);
        return path;
    }

    // Each side gets a fresh copy per run and times its own work (opening the file is not timed).
    void compare(const char *operation, const std::function<double(const QString &)> &ours,
                 const std::function<double(const QString &)> &raw, const std::function<void(const QString &)> &prepare = {})
    {
        if (!m_bench.wanted(operation))
            return;
        QList<double> oursMs, rawMs;
        for (int i = 0, n = benchRuns(m_bench.payments, 5); i < n; ++i) {
            oursMs.append(ours(copy(prepare)));
            rawMs.append(raw(copy(prepare)));
        }
        const double o = median(oursMs), r = median(rawMs);
        std::printf("%s payments=%lld cobrelle_ms=%.3f raw_ms=%.3f ratio=%.2f\n", operation,
                    static_cast<long long>(m_bench.payments), o, r, r > 0 ? o / r : 0.0);
        std::fflush(stdout);
    }

private:
    const LedgerBench &m_bench;
    QTemporaryDir m_dir;
    QString m_base;
};

// The day that splits the payments in two halves.
QDate middleDate(const QString &path)
{
    auto library = openLibrary(path);
    QSqlQuery q = library->database->exec(
        QStringLiteral("SELECT Data FROM Pagamenti ORDER BY Data LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM Pagamenti)"));
    return q.next() ? QDate::fromString(q.value(0).toString(), Qt::ISODate) : QDate::currentDate();
}

} // namespace

void runLedgerBenchmarks(const LedgerBench &bench)
{
    Bench b(bench);

    b.compare(
        "euro_conversion",
        [](const QString &path) {
            auto library = openLibrary(path);
            return elapsedMs([&] { EuroConversion::Convert(*library->context, always); });
        },
        [](const QString &path) {
            Raw raw(path);
            return elapsedMs([&] { rawConversion(raw); });
        });

    // The conversion's setting of the outstanding amounts and paid flags from the converted parts,
    // alone: on an archive whose columns were each divided on their own, against one raw UPDATE from
    // the grouped payments.
    b.compare(
        "euro_outstanding",
        [](const QString &path) {
            auto library = openLibrary(path);
            auto &db = *library->database;
            return elapsedMs([&] {
                objdb::TransactionGuard transaction(db);
                const QString update = QStringLiteral("UPDATE Movimenti SET ImportoInSospeso = %1 WHERE OID BETWEEN ? AND ?")
                                           .arg(Outstanding::correlatedExpression(QStringLiteral("Importo"),
                                                                                  QStringLiteral("Sconto")));
                for (const auto &range : KeyRanges::Of(db, QStringLiteral("Movimenti"), KeyRanges::kSpan)) {
                    db.exec(update, Outstanding::correlatedBinds() + QVariantList{range.first, range.last});
                    db.exec(Outstanding::paidFlagSql(), {range.first, range.last});
                }
                transaction.commit();
            });
        },
        [](const QString &path) {
            Raw raw(path);
            return elapsedMs([&] {
                raw.exec(QStringLiteral("BEGIN"));
                raw.exec(QStringLiteral(
                    "UPDATE Movimenti SET ImportoInSospeso = coalesce(Importo, 0) - coalesce(Sconto, 0) - coalesce(p.s, 0), "
                    "Pagato = abs(coalesce(Importo, 0) - coalesce(Sconto, 0) - coalesce(p.s, 0)) <= 100 FROM (SELECT "
                    "OID_Movimenti AS m, SUM(coalesce(Contanti, 0) + coalesce(Bonifico_Bancomat, 0) + coalesce(Assegno, 0) + "
                    "coalesce(Anticipo, 0)) AS s FROM Pagamenti GROUP BY OID_Movimenti) AS p WHERE p.m = Movimenti.OID"));
                raw.exec(QStringLiteral("COMMIT"));
            });
        },
        [](const QString &path) {
            Raw raw(path);
            rawConversion(raw);
        });

    const QDate middle = middleDate(b.base());
    b.compare(
        "purge_settled",
        [&](const QString &path) {
            auto library = openLibrary(path);
            return elapsedMs([&] { SettledPurge::Run(*library->context, middle, always); });
        },
        [&](const QString &path) {
            Raw raw(path);
            return elapsedMs([&] {
                raw.exec(QStringLiteral("BEGIN"));
                raw.exec(QStringLiteral("DELETE FROM Pagamenti WHERE Data <= ? AND OID_Movimenti IN "
                                        "(SELECT OID FROM Movimenti WHERE Pagato = 1)"),
                         {middle.toString(Qt::ISODate)});
                raw.exec(QStringLiteral("COMMIT"));
            });
        });

    b.compare(
        "integrity_check",
        [](const QString &path) {
            auto library = openLibrary(path);
            return elapsedMs([&] { ArchiveCheck::Run(*library->context); });
        },
        [](const QString &path) {
            Raw raw(path);
            return elapsedMs([&] { raw.exec(QLatin1String(kRawDifferences)); });
        });
    // The same check against raw SQLite doing all it does: the engine's own check of the file, the
    // comparison of every movement with its payments and purged payments, the payments without
    // movement and the dangling references, by the same statements.
    b.compare(
        "integrity_check_with_engine",
        [](const QString &path) {
            auto library = openLibrary(path);
            return elapsedMs([&] { ArchiveCheck::Run(*library->context); });
        },
        [](const QString &path) {
            QStringList references;
            for (const auto &table : openLibrary(path)->context->tableDefs())
                for (const auto &reference : table.references)
                    references.append(QStringLiteral("SELECT t.OID, t.%1 FROM %2 AS t WHERE t.%1 IS NOT NULL AND NOT EXISTS "
                                                     "(SELECT 1 FROM %3 AS r WHERE r.OID = t.%1) ORDER BY t.OID")
                                          .arg(objdb::sqlName(reference.name), objdb::sqlName(table.name),
                                               objdb::sqlName(reference.table)));
            Raw raw(path);
            return elapsedMs([&] {
                raw.exec(QStringLiteral("PRAGMA integrity_check"));
                raw.exec(QStringLiteral("SELECT x.OID, x.ImportoInSospeso, x.Atteso, x.Pagato, x.PagatoAtteso FROM (%1) AS x "
                                        "WHERE %2 ORDER BY x.OID")
                             .arg(Outstanding::expectedSql(), Outstanding::mismatchCondition()),
                         Outstanding::binds(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
                raw.exec(QStringLiteral("SELECT p.OID, p.OID_Movimenti FROM Pagamenti AS p WHERE NOT EXISTS "
                                        "(SELECT 1 FROM Movimenti AS m WHERE m.OID = p.OID_Movimenti) ORDER BY p.OID"));
                for (const QString &sql : references)
                    raw.exec(sql);
            });
        });
}
