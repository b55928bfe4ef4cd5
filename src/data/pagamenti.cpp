#include "data/tables.h"

#include "data/outstandingrule.h"
#include "services/messageservice.h"
#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/database.h"
#include "objdb/datasource.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QDate>

using namespace objdb;
using OutstandingRule::AmountOrZero;
using OutstandingRule::PaymentColumns;

namespace {

Amount paymentTotal(DataSource &ds)
{
    return OutstandingRule::PaidBy([&ds](const QString &column) { return ds.GetField(column); });
}

// Moves the movement's outstanding amount by `change` (an empty one counting as 0).
void moveOutstanding(DataSource &ds, Amount change)
{
    const Amount outstanding = AmountOrZero(ds.GetField(QStringLiteral("ImportoInSospeso")));
    ds.SetField(QStringLiteral("ImportoInSospeso"), QVariant::fromValue(outstanding + change));
    UpdatePaidFlag(ds);
}

const QDate kZeroDate(1899, 12, 30);

// How much the payment's amounts exceed what its movement had outstanding: the movement's outstanding
// amount below zero by more than what still counts as paid. A movement whose amount is not known yet
// has nothing to exceed.
Amount overpayment(DataSource &ds)
{
    if (isNull(ds.GetField(QStringLiteral("Importo"))))
        return Amount();
    const Amount outstanding = AmountOrZero(ds.GetField(QStringLiteral("ImportoInSospeso")));
    return outstanding < -OutstandingRule::kPaidTolerance ? -outstanding : Amount();
}

} // namespace

void Pagamenti::DefineStructure(ColumnCollection &p_objCol, IndexCollection &p_objInx, ReferenceCollection &p_objRef)
{
    p_objCol.AddColumn(QStringLiteral("Data"), TypeDate, 0);
    for (const auto &column : PaymentColumns())
        p_objCol.AddColumn(column, TypeAmount, 0);
    p_objCol.AddColumn(QStringLiteral("DataCopertura"), TypeDate, 0);
    p_objCol.AddColumn(QStringLiteral("Operatore"), TypeText, kOperatorNameLength, {.access = ColumnAccess::ReadOnlyInPanels});
    p_objRef.AddReference(QStringLiteral("TipoOperazione"), QStringLiteral("TipiOperazione"), QStringLiteral("Codice"),
                          QStringLiteral("Descrizione"));
    p_objInx.AddIndex(QStringLiteral("Data"), false);
    p_objInx.AddIndex(QStringLiteral("Operatore"), false);
}

void Pagamenti::DefineIdentity(Identity &p_objIdentity)
{
    // 1.1: a movement's payments by date (kByMovementAndDateIndex).
    p_objIdentity.Version = 1.1;
    p_objIdentity.ParentTable = QStringLiteral("Movimenti");
    p_objIdentity.DeleteChildrenWithParent = false;
}

// The definition names indexes of one column; a movement's payments of a period are a range of
// this one, made with the table or by the upgrade to 1.1, in the transaction of either. The
// repair's copy carries it over. The parent link's own index on OID_Movimenti stays: the library
// makes it for every child table.
void Pagamenti::OnUpdatedTableStruct(DataSource &p_objDS, double, double p_dblOldVersion, bool)
{
    if (p_dblOldVersion < 1.1) // a new table comes as 0
        p_objDS.context()->database()->exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3, %4)")
                                                .arg(sqlName(QLatin1String(kByMovementAndDateIndex)),
                                                     sqlName(QStringLiteral("Pagamenti")),
                                                     sqlName(QStringLiteral("OID_Movimenti")), sqlName(QStringLiteral("Data"))));
}

void Pagamenti::OnNewRow(DataSource &p_objDS)
{
    const QVariant zero = QVariant::fromValue(Amount());
    const QDate today = QDate::currentDate();
    p_objDS.SetField(QStringLiteral("Data"), today);
    for (const auto &column : PaymentColumns())
        p_objDS.SetField(column, zero);
    p_objDS.SetField(QStringLiteral("DataCopertura"), today);
    p_objDS.SetField(QStringLiteral("ImportoInSospeso"), zero);
}

// Giving back and charging are symmetric whatever the movement's Importo: a movement whose amount
// is not known yet still keeps what its payments covered.
void Pagamenti::RipristinaSospeso(DataSource &p_objDS)
{
    moveOutstanding(p_objDS, paymentTotal(p_objDS));
}

void Pagamenti::CalcolaSospeso(DataSource &p_objDS)
{
    moveOutstanding(p_objDS, -paymentTotal(p_objDS));
}

void Pagamenti::OnBeforeUpdateField(DataSource &p_objDS, const QString &p_strColumnName)
{
    if (PaymentColumns().contains(p_strColumnName))
        RipristinaSospeso(p_objDS);
}

void Pagamenti::OnUpdateField(DataSource &p_objDS, const QString &p_strChangedColumnName)
{
    const QDate today = QDate::currentDate();
    if (p_strChangedColumnName == QLatin1String("Data")) {
        const QVariant date = p_objDS.GetField(QStringLiteral("Data"));
        if (isNull(date) || date.toDate() != today) {
            // No takes the change back: the payment keeps the date it had (a new one, today's).
            if (!MessageService::askYesNo(QStringLiteral("Confermi il cambio della data del Movimento?"),
                                          MessageService::Icon::Question)) {
                const QVariant previous = p_objDS.GetPreviousField(QStringLiteral("Data"));
                p_objDS.SetField(QStringLiteral("Data"), isNull(previous) ? QVariant(today) : previous);
            }
        }
    }
    if (p_strChangedColumnName == QLatin1String("Anticipo")) {
        const QVariant coverage = p_objDS.GetField(QStringLiteral("DataCopertura"));
        if (!isNull(coverage) && coverage.toDate() != kZeroDate && coverage.toDate() == today)
            p_objDS.SetField(QStringLiteral("DataCopertura"), QVariant());
    }
    if (PaymentColumns().contains(p_strChangedColumnName)) {
        // An emptied amount is no amount.
        if (isNull(p_objDS.GetField(p_strChangedColumnName)))
            p_objDS.SetField(p_strChangedColumnName, QVariant::fromValue(Amount()));
        CalcolaSospeso(p_objDS);
    }
    // The movement's outstanding amount changed under the payment (another desk's payments applied
    // at save): its paid flag follows.
    if (p_strChangedColumnName == QLatin1String("ImportoInSospeso"))
        UpdatePaidFlag(p_objDS);
}

void Pagamenti::OnDeleteRow(DataSource &p_objDS)
{
    RipristinaSospeso(p_objDS);
    p_objDS.SaveRow();
    LogDeletedRow(p_objDS);
}

QString Pagamenti::OnRowWarning(DataSource &p_objDS)
{
    const Amount excess = overpayment(p_objDS);
    if (excess == Amount())
        return QString();
    return QStringLiteral("Il pagamento supera di %1 l'importo in sospeso del movimento.").arg(excess.toDisplayString());
}

bool Pagamenti::OnConfirmSave(DataSource &, const QString &p_strWarning)
{
    return MessageService::askYesNo(p_strWarning + QStringLiteral("\n\nSalvare comunque il pagamento?"),
                                    MessageService::Icon::Exclamation, MessageService::Answer::No);
}

void Pagamenti::OnSelectParent(DataSource &p_objDS, DataSource &p_objParentDS)
{
    if (p_objParentDS.GetTable().Name() != QLatin1String("Movimenti"))
        return;
    // A movement whose amount is not known yet is offered too: its payments are kept until it is.
    p_objParentDS.SetSelection(QStringLiteral("Pagato=False Or Importo Is Null"), QString());
    p_objDS.SetReferenceKey(QStringLiteral("TipoOperazione"), QStringLiteral("07"));
}

void Pagamenti::OnSelectReference(DataSource &, DataSource &p_objReferenceDS, const QString &p_strReferenceName)
{
    if (p_strReferenceName == QLatin1String("TipoOperazione"))
        p_objReferenceDS.SetSelection(QString(), QStringLiteral("Codice"));
}
