#pragma once
// A few days of a cash desk whose totals are known, written straight into the archive.
//
// Movements: 1 "Polizza A" 100,00 (discount 0), opened 07/03/2005, paid 10 + 2,50 + 20 + 5 + 1 = 38,50,
// outstanding 61,50; 2 "Polizza B" 40,00 (discount 4,00) settled on 07/03/2005 by one payment of 36,00.
// Payments:
//   07/03/2005  Amministratore  movement 1  Contanti 10,00  Assegno 2,50
//   07/03/2005  Rossi           movement 1  Bonifico_Bancomat 20,00
//   07/03/2005  Rossi           movement 2  Contanti 36,00  (type 07, settles it)
//   08/03/2005  Amministratore  movement 1  Anticipo 5,00
//   31/03/2005  Amministratore  movement 1  Contanti 1,00   Assegno Null

#include "objdb/database.h"

#include <QDate>
#include <QVariant>

namespace KnownDays {

inline qint64 units(double euros) { return qint64(euros * 10000 + (euros < 0 ? -0.5 : 0.5)); }

inline void fill(objdb::Database &db)
{
    const auto movement = [&](int oid, const char *text, double amount, double discount, double outstanding, bool paid) {
        db.exec(QStringLiteral("INSERT INTO Movimenti (OID, Descrizione, Importo, ScontoPrivato, Sconto, ImportoInSospeso, "
                               "Pagato) VALUES (?, ?, ?, 0, ?, ?, ?)"),
                {oid, QString::fromLatin1(text), units(amount), units(discount), units(outstanding), paid});
    };
    movement(1, "Polizza A", 100, 0, 61.5, false);
    movement(2, "Polizza B", 40, 4, 0, true);
    const auto payment = [&](const QDate &date, const char *op, int movementOid, QVariant cash, QVariant transfer,
                             QVariant cheque, QVariant advance, int type) {
        for (QVariant *v : {&cash, &transfer, &cheque, &advance})
            if (v->isValid())
                *v = units(v->toDouble());
        db.exec(QStringLiteral("INSERT INTO Pagamenti (Data, Contanti, Bonifico_Bancomat, Assegno, Anticipo, DataCopertura, "
                               "Operatore, TipoOperazione, OID_Movimenti) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {date.toString(Qt::ISODate), cash, transfer, cheque, advance, date.toString(Qt::ISODate),
                 QString::fromLatin1(op), type, movementOid});
    };
    const QVariant none = 0.0;
    payment(QDate(2005, 3, 7), "Amministratore", 1, 10.0, none, 2.5, none, 1);
    payment(QDate(2005, 3, 7), "Rossi", 1, none, 20.0, none, none, 1);
    payment(QDate(2005, 3, 7), "Rossi", 2, 36.0, none, none, none, 7);
    payment(QDate(2005, 3, 8), "Amministratore", 1, none, none, none, 5.0, 1);
    payment(QDate(2005, 3, 31), "Amministratore", 1, 1.0, none, QVariant(), none, 1);
}

} // namespace KnownDays
