#include "generator.h"

#include "data/DB.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"

#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>

void generateArchive(const QString &path, int payments)
{
    QFile::remove(path);
    auto context = objdb::Application::Initialise(std::make_shared<DB>(), QStringLiteral("Cobrelle"), nullptr);
    auto db = objdb::Database::create();
    db->Create(objdb::kDatabaseFormat, path);
    db->Open(objdb::kDatabaseFormat, path);
    context->Attach(db);

    QRandomGenerator random(20261208);
    objdb::TransactionGuard transaction(*db);
    const int companies = 50, collaborators = 200;
    QSqlQuery company = db->prepare(QStringLiteral("INSERT INTO Compagnie (Codice, RagioneSociale, Indirizzo) VALUES (?, ?, ?)"));
    for (int i = 1; i <= companies; ++i) {
        company.addBindValue(QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')));
        company.addBindValue(QStringLiteral("Compagnia di assicurazioni %1").arg(i));
        company.addBindValue(QStringLiteral("Via Roma %1").arg(i));
        company.exec();
    }
    QSqlQuery collaborator = db->prepare(QStringLiteral("INSERT INTO Collaboratori (Codice, Nome) VALUES (?, ?)"));
    for (int i = 1; i <= collaborators; ++i) {
        collaborator.addBindValue(QStringLiteral("K%1").arg(i, 4, 10, QLatin1Char('0')));
        collaborator.addBindValue(QStringLiteral("Collaboratore %1").arg(i));
        collaborator.exec();
    }
    const int movements = qMax(1, payments * 3 / 5);
    const QDate start(2023, 1, 1);
    const int days = 3 * 365;
    QSqlQuery movement = db->prepare(QStringLiteral(
        "INSERT INTO Movimenti (OID, Descrizione, Importo, ScontoPrivato, Sconto, ImportoInSospeso, Pagato, Compagnia, Collaboratore) "
        "VALUES (?, ?, ?, 0, ?, ?, ?, ?, ?)"));
    QSqlQuery payment = db->prepare(QStringLiteral(
        "INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, DataCopertura, Operatore, TipoOperazione, OID_Movimenti) "
        "VALUES (?, ?, ?, ?, 0, ?, 'Amministratore', ?, ?)"));
    int paymentsLeft = payments;
    for (int m = 1; m <= movements; ++m) {
        const qint64 importo = qint64(random.bounded(10, 2000)) * 10000;
        const qint64 sconto = qint64(random.bounded(0, 5)) * 10000;
        // Spread the payments so that their total equals the requested count.
        const int movementsLeft = movements - m + 1;
        int count = paymentsLeft / movementsLeft + (random.bounded(movementsLeft) < paymentsLeft % movementsLeft ? 1 : 0);
        count = qMin(count, paymentsLeft);
        paymentsLeft -= count;
        qint64 outstanding = importo - sconto;
        const bool settle = random.bounded(4) != 0;
        for (int p = 0; p < count; ++p) {
            qint64 share = settle ? (importo - sconto) / qMax(1, count) : (importo - sconto) / (count + 1);
            if (settle && p == count - 1)
                share = outstanding;
            outstanding -= share;
            const QDate date = start.addDays(random.bounded(days));
            payment.addBindValue(date.toString(Qt::ISODate));
            payment.addBindValue(share / 2);
            payment.addBindValue(share - share / 2 - share / 4);
            payment.addBindValue(share / 4);
            payment.addBindValue(date.toString(Qt::ISODate));
            payment.addBindValue(settle ? 7 : random.bounded(1, 7));
            payment.addBindValue(m);
            payment.exec();
        }
        movement.addBindValue(m);
        movement.addBindValue(QStringLiteral("Polizza %1").arg(m));
        movement.addBindValue(importo);
        movement.addBindValue(sconto);
        movement.addBindValue(outstanding);
        movement.addBindValue((outstanding <= 100 && outstanding >= -100) ? 1 : 0);
        movement.addBindValue(random.bounded(1, companies + 1));
        movement.addBindValue(random.bounded(1, collaborators + 2));
        movement.exec();
    }
    transaction.commit();
    db->exec(QStringLiteral("ANALYZE"));
}
