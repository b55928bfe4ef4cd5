#pragma once
// Archives for the maintenance tests: made through the program's definition, filled in one
// transaction, and summed up so that two archives can be compared.

#include "testsupport.h"

#include "objdb/engine/serveraddress.h"
#include "objdb/sqldialect.h"

#include <QSqlQuery>
#include <QStringList>

namespace ArchiveFixture {

// Adds `companies` companies and collaborators (codes prefix + number), and `movements` movements
// with `paymentsEach` payments each (operation type "07"); every outstanding amount and paid flag
// agrees with its payments, and every third movement is settled.
inline void fill(const QString &path, const QString &prefix, int companies, int movements, int paymentsEach)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    objdb::Database &db = *archive.database;
    objdb::TransactionGuard transaction(db);
    for (int i = 1; i <= companies; ++i) {
        db.exec(QStringLiteral("INSERT INTO Compagnie (Codice, RagioneSociale) VALUES (?, ?)"),
                {QStringLiteral("%1C%2").arg(prefix).arg(i), QStringLiteral("Compagnia %1%2").arg(prefix).arg(i)});
        db.exec(QStringLiteral("INSERT INTO Collaboratori (Codice, Nome) VALUES (?, ?)"),
                {QStringLiteral("%1K%2").arg(prefix).arg(i), QStringLiteral("Collaboratore %1%2").arg(prefix).arg(i)});
    }
    QSqlQuery type = db.exec(QStringLiteral("SELECT OID FROM TipiOperazione WHERE Codice = '07'"));
    type.next();
    const qint64 settlement = type.value(0).toLongLong();
    for (int m = 0; m < movements; ++m) {
        const qint64 payment = 100000 + m * 10000;
        const qint64 amount = payment * paymentsEach + (m % 3 == 0 ? 0 : 55000);
        const qint64 outstanding = amount - payment * paymentsEach;
        const auto company = QStringLiteral("%1C%2").arg(prefix).arg(1 + m % qMax(1, companies));
        const auto collaborator = QStringLiteral("%1K%2").arg(prefix).arg(1 + m % qMax(1, companies));
        db.exec(QStringLiteral("INSERT INTO Movimenti (Descrizione, Importo, ScontoPrivato, Sconto, ImportoInSospeso, Pagato,"
                               " Compagnia, Collaboratore) VALUES (?, ?, 0, 10000, ?, ?, (SELECT OID FROM Compagnie WHERE Codice = ?),"
                               " (SELECT OID FROM Collaboratori WHERE Codice = ?))"),
                {QStringLiteral("Polizza %1%2").arg(prefix).arg(m), amount + 10000, outstanding, qAbs(outstanding) <= 100,
                 company, collaborator});
        const qint64 movement = db.lastInsertedKey();
        for (int p = 0; p < paymentsEach; ++p)
            db.exec(QStringLiteral("INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, DataCopertura,"
                                   " Operatore, TipoOperazione, OID_Movimenti) VALUES ('2025-03-01', ?, 0, 0, 0, '2025-03-01',"
                                   " 'Amministratore', ?, ?)"),
                    {payment, settlement, movement});
    }
    transaction.commit();
}

// Row counts and sums of every table, the archive's identity and conversion mark, and its indexes,
// one line each, alike for a file and a server archive that hold the same.
inline QString fingerprint(const QString &path)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    objdb::Database &db = *archive.database;
    const auto values = [&db](const QString &sql) {
        QSqlQuery q = db.exec(sql);
        QStringList found;
        while (q.next())
            found.append(q.value(0).toString());
        return found;
    };
    const auto line = [&values](const QString &table, const QString &sql) {
        const QStringList found = values(sql);
        return QStringLiteral("%1 %2 %3").arg(table).arg(found.size()).arg(found.join(QLatin1Char(',')));
    };
    const auto sums = [&db](const QString &table, const QStringList &expressions) {
        QStringList parts;
        for (const QString &expression : expressions)
            parts.append(QStringLiteral("COALESCE(%1, 0)").arg(db.dialect().integerSum(expression)));
        QSqlQuery q = db.exec(QStringLiteral("SELECT COUNT(*), %1 FROM %2").arg(parts.join(QLatin1String(", ")), table));
        q.next();
        QStringList text{table, q.value(0).toString()};
        for (int i = 1; i <= expressions.size(); ++i)
            text.append(q.value(i).toString());
        return text.join(QLatin1Char(' '));
    };
    // The indexes the definition asks for, as both engines name them; not those the engine makes for
    // a key or a unique constraint of a table (its primary key, SQLite's automatic ones).
    QStringList indexes = objdb::isServerAddress(path)
        ? values(QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() "
                                "AND indexname NOT LIKE '%_pkey' AND indexname NOT LIKE '%_key'"))
        : values(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
    for (QString &name : indexes)
        name = name.toLower();
    indexes.sort();
    return QStringList{
        line(QStringLiteral("Compagnie"), QStringLiteral("SELECT Codice FROM Compagnie ORDER BY Codice")),
        line(QStringLiteral("Collaboratori"), QStringLiteral("SELECT Codice FROM Collaboratori ORDER BY Codice")),
        line(QStringLiteral("TipiOperazione"), QStringLiteral("SELECT Codice FROM TipiOperazione ORDER BY Codice")),
        line(QStringLiteral("Operatori"), QStringLiteral("SELECT Nome FROM Operatori ORDER BY Nome")),
        sums(QStringLiteral("Movimenti"), {QStringLiteral("Importo"), QStringLiteral("Sconto"),
                                           QStringLiteral("ImportoInSospeso"), QStringLiteral("Pagato")}),
        sums(QStringLiteral("Pagamenti"), {QStringLiteral("Contanti + Bonifico_Bancomat + Assegno + Anticipo")}),
        line(QStringLiteral("InfoArchivio"), QStringLiteral("SELECT Identita || '/' || Convertito FROM InfoArchivio")),
        QStringLiteral("Indici %1 %2").arg(indexes.size()).arg(indexes.join(QLatin1Char(','))),
    }.join(QLatin1Char('\n'));
}

// The movements whose outstanding amount or paid flag disagrees with their payments.
inline qint64 movementsOutOfLine(objdb::Database &db)
{
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT COUNT(*) FROM (SELECT m.ImportoInSospeso AS stored, m.Pagato AS paid, m.Importo - m.Sconto"
        " - COALESCE((SELECT SUM(Contanti + Bonifico_Bancomat + Assegno + Anticipo) FROM Pagamenti p"
        " WHERE p.OID_Movimenti = m.OID), 0) AS expected FROM Movimenti m)"
        " WHERE stored <> expected OR paid <> (ABS(expected) <= 100)"));
    q.next();
    return q.value(0).toLongLong();
}

} // namespace ArchiveFixture
