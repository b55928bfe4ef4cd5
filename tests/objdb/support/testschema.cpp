#include "testschema.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"
#include "objdb/types.h"

#include <QDate>

using namespace objdb;

namespace TestSchema {

namespace {

constexpr ColumnOptions kComputed{.access = ColumnAccess::ReadOnlyInPanels};

QVariant zero()
{
    return QVariant::fromValue(Amount());
}

Amount orZero(const QVariant &value)
{
    return toAmount(value).value_or(Amount());
}

class TableWithEvents : public itfDefTable, public itfSetData {
public:
    void DefineDefaultData(itfSetData *&events) override { events = this; }
};

class Causali : public TableWithEvents {
public:
    QString TableName() const override { return QStringLiteral("Causali"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &) override
    {
        c.AddColumn(QStringLiteral("Codice"), TypeText, 4, {.required = true});
        c.AddColumn(QStringLiteral("Descrizione"), TypeText, 40);
        c.AddColumn(QStringLiteral("Password"), TypeText, 16, {.visibility = ColumnVisibility::Secret});
        // The default order is the description's, not the code's.
        i.AddIndex(QStringLiteral("Descrizione"), false);
        i.AddIndex(QStringLiteral("Codice"), true);
    }
};

class Conti : public TableWithEvents {
public:
    QString TableName() const override { return QStringLiteral("Conti"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &r) override
    {
        c.AddColumn(QStringLiteral("Descrizione"), TypeText, 40);
        c.AddColumn(QStringLiteral("Importo"), TypeAmount, 0);
        c.AddColumn(QStringLiteral("Residuo"), TypeAmount, 0, kComputed);
        c.AddColumn(QStringLiteral("Saldato"), TypeYesNo, 0, kComputed);
        r.AddReference(QStringLiteral("Causale"), QStringLiteral("Causali"), QStringLiteral("Codice"),
                       QStringLiteral("Descrizione"));
        i.AddIndex(QStringLiteral("Descrizione"), false);
        i.AddIndex(QStringLiteral("Importo"), false);
    }
    void DefineIdentity(Identity &identity) override { identity.Caption = QStringLiteral("Conti clienti"); }

    void OnNewRow(DataSource &ds) override
    {
        ds.SetField(QStringLiteral("Residuo"), zero());
        ds.SetField(QStringLiteral("Saldato"), false);
    }
    void OnBeforeUpdateField(DataSource &ds, const QString &column) override
    {
        if (column == QLatin1String("Importo"))
            moveResidue(ds, -orZero(ds.GetField(column)));
    }
    void OnUpdateField(DataSource &ds, const QString &column) override
    {
        if (column == QLatin1String("Importo"))
            moveResidue(ds, orZero(ds.GetField(column)));
    }

    // Moves what is left to settle of the account in hand (the row's own, or a deposit's parent).
    static void moveResidue(DataSource &ds, Amount change)
    {
        const Amount residue = orZero(ds.GetField(QStringLiteral("Residuo"))) + change;
        ds.SetField(QStringLiteral("Residuo"), QVariant::fromValue(residue));
        ds.SetField(QStringLiteral("Saldato"), residue == Amount());
    }
};

class Versamenti : public TableWithEvents {
public:
    QString TableName() const override { return QStringLiteral("Versamenti"); }
    void DefineStructure(ColumnCollection &c, IndexCollection &i, ReferenceCollection &r) override
    {
        c.AddColumn(QStringLiteral("Data"), TypeDate, 0);
        c.AddColumn(QStringLiteral("Contanti"), TypeAmount, 0);
        c.AddColumn(QStringLiteral("Assegno"), TypeAmount, 0);
        c.AddColumn(QStringLiteral("DataValuta"), TypeDate, 0);
        c.AddColumn(QStringLiteral("Cassiere"), TypeText, 32, kComputed);
        r.AddReference(QStringLiteral("Tipo"), QStringLiteral("Causali"), QStringLiteral("Codice"),
                       QStringLiteral("Descrizione"));
        i.AddIndex(QStringLiteral("Data"), false);
    }
    void DefineIdentity(Identity &identity) override { identity.ParentTable = QStringLiteral("Conti"); }

    void OnNewRow(DataSource &ds) override
    {
        const QDate today = QDate::currentDate();
        ds.SetField(QStringLiteral("Data"), today);
        ds.SetField(QStringLiteral("DataValuta"), today);
        ds.SetField(QStringLiteral("Contanti"), zero());
        ds.SetField(QStringLiteral("Assegno"), zero());
    }
    void OnBeforeUpdateField(DataSource &ds, const QString &column) override
    {
        if (isDeposit(column))
            Conti::moveResidue(ds, deposited(ds));
    }
    void OnUpdateField(DataSource &ds, const QString &column) override
    {
        if (column == QLatin1String("Data")) {
            const QDate today = QDate::currentDate();
            if (ds.GetField(column).toDate() > today)
                ds.SetField(column, today);
            ds.SetField(QStringLiteral("DataValuta"), ds.GetField(column));
        }
        if (isDeposit(column)) {
            if (isNull(ds.GetField(column)))
                ds.SetField(column, zero());
            Conti::moveResidue(ds, -deposited(ds));
        }
    }
    void OnSelectParent(DataSource &ds, DataSource &accounts) override
    {
        accounts.SetSelection(QStringLiteral("Saldato=False"), QString());
        ds.SetReferenceKey(QStringLiteral("Tipo"), QStringLiteral("01"));
    }
    void OnSelectReference(DataSource &, DataSource &kinds, const QString &reference) override
    {
        if (reference == QLatin1String("Tipo"))
            kinds.SetSelection(QString(), QStringLiteral("Codice"));
    }

private:
    static bool isDeposit(const QString &column)
    {
        return column == QLatin1String("Contanti") || column == QLatin1String("Assegno");
    }
    static Amount deposited(DataSource &ds)
    {
        return orZero(ds.GetField(QStringLiteral("Contanti"))) + orZero(ds.GetField(QStringLiteral("Assegno")));
    }
};

class Definition : public itfDefDatabase {
public:
    void Define(DatabaseDefinition &definition) override
    {
        definition.AddTable(std::make_shared<Causali>());
        definition.AddTable(std::make_shared<Conti>());
        definition.AddTable(std::make_shared<Versamenti>());
    }
};

} // namespace

TestSupport::Archive openArchive(const QString &path, itfNotifyEvent *sink)
{
    return TestSupport::openArchive(std::make_shared<Definition>(), QStringLiteral("test"), path, sink);
}

} // namespace TestSchema
