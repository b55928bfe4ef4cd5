#pragma once
#include "objdb/amount.h"

#include <QString>

namespace objdb {

// A currency in which amounts can be shown. Rate: units of Lire per Euro.
class Currency {
public:
    virtual ~Currency() = default;
    // index 0: the name; -1: the name as used in captions ("&Importi in " + name).
    virtual QString Name(int index) const = 0;
    // Converts an amount stored in the archive's main currency into this one, rounded once, half
    // away from zero, from the exact value to decimals().
    virtual Amount convert(const Amount &stored) const = 0;
    // The decimals amounts in this currency are shown with.
    virtual int decimals() const { return 2; }
    static Amount lireRate() { return Amount::fromUnits(19362700); } // 1936.27
};

// Shown when the archive is kept in Lire: amounts divided by the rate, in cents.
class CurrencyEuro : public Currency {
public:
    QString Name(int) const override { return QStringLiteral("Euro"); }
    Amount convert(const Amount &stored) const override { return stored.dividedBy(lireRate(), decimals()); }
};

// Shown when the archive is kept in Euro: amounts multiplied by the rate, in whole lire.
class CurrencyLire : public Currency {
public:
    QString Name(int) const override { return QStringLiteral("Lire"); }
    Amount convert(const Amount &stored) const override { return stored.multipliedBy(lireRate(), decimals()); }
    int decimals() const override { return 0; }
};

// The archive's own currency, as recorded in the file.
class MainCurrency : public Currency {
public:
    explicit MainCurrency(QString name) : m_name(std::move(name)) {}
    QString Name(int) const override { return m_name; }
    Amount convert(const Amount &stored) const override { return stored; }

private:
    QString m_name;
};

} // namespace objdb
