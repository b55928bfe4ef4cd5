#pragma once
// The library tests' own archive, defined through the library's definition interfaces:
//
//   Causali     reasons: a required unique code, a description, a secret password.
//   Conti       accounts: Descrizione, Importo, what is left to settle (Residuo) and whether it is
//               settled (Saldato), both computed and read-only; a reason (Causale).
//   Versamenti  deposits, the children of an account: a date (Data) that a value date (DataValuta)
//               follows, cash and cheque (Contanti, Assegno) that settle part of the account, the
//               cashier (read-only), a kind of deposit (Tipo, a reason).
//
// The data events keep Residuo = Importo - the deposits' cash and cheque and Saldato = (Residuo = 0);
// a deposit is never dated after today; choosing a deposit's account offers the accounts not yet
// settled and sets the kind to "01"; the kinds are offered by code.

#include "objdbtestsupport.h"

#include "objdb/notify.h"

#include <QString>

namespace TestSchema {

// The archive over this schema at path, created when missing; opening it again gives a second
// context on the same archive, as another program would have.
TestSupport::Archive openArchive(const QString &path, objdb::itfNotifyEvent *sink = nullptr);

} // namespace TestSchema
