#pragma once
// Archives for the maintenance tests: made through the program's definition, filled in one
// transaction, and summed up so that two archives can be compared.

#include "testsupport.h"

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
        QSqlQuery last = db.exec(QStringLiteral("SELECT last_insert_rowid()"));
        last.next();
        const qint64 movement = last.value(0).toLongLong();
        for (int p = 0; p < paymentsEach; ++p)
            db.exec(QStringLiteral("INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, DataCopertura,"
                                   " Operatore, TipoOperazione, OID_Movimenti) VALUES ('2025-03-01', ?, 0, 0, 0, '2025-03-01',"
                                   " 'Amministratore', ?, ?)"),
                    {payment, settlement, movement});
    }
    transaction.commit();
}

// Row counts and sums of every table, the archive's identity and conversion mark, and its indexes,
// one line each.
inline QString fingerprint(const QString &path)
{
    TestSupport::Archive archive = TestSupport::openArchive(path);
    const QStringList queries{
        QStringLiteral("SELECT 'Compagnie', COUNT(*), GROUP_CONCAT(Codice) FROM (SELECT Codice FROM Compagnie ORDER BY Codice)"),
        QStringLiteral("SELECT 'Collaboratori', COUNT(*), GROUP_CONCAT(Codice) FROM (SELECT Codice FROM Collaboratori ORDER BY Codice)"),
        QStringLiteral("SELECT 'TipiOperazione', COUNT(*), GROUP_CONCAT(Codice) FROM (SELECT Codice FROM TipiOperazione ORDER BY Codice)"),
        QStringLiteral("SELECT 'Operatori', COUNT(*), GROUP_CONCAT(Nome) FROM Operatori"),
        QStringLiteral("SELECT 'Movimenti', COUNT(*), TOTAL(Importo) || '/' || TOTAL(Sconto) || '/' || TOTAL(ImportoInSospeso)"
                       " || '/' || TOTAL(Pagato) FROM Movimenti"),
        QStringLiteral("SELECT 'Pagamenti', COUNT(*), TOTAL(Contanti + Bonifico_Bancomat + Assegno + Anticipo) FROM Pagamenti"),
        QStringLiteral("SELECT 'InfoArchivio', COUNT(*), GROUP_CONCAT(Identita || '/' || Convertito) FROM InfoArchivio"),
        QStringLiteral("SELECT 'Indici', COUNT(*), GROUP_CONCAT(name) FROM (SELECT name FROM sqlite_master "
                       "WHERE type = 'index' ORDER BY name)"),
    };
    QStringList lines;
    for (const auto &sql : queries) {
        QSqlQuery q = archive.database->exec(sql);
        q.next();
        lines.append(QStringLiteral("%1 %2 %3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString()));
    }
    return lines.join(QLatin1Char('\n'));
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
