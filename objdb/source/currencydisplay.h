#pragma once
// Amounts of a data source that shows them in the context's conversion currency: the values its
// readers get, the decimals and the display format. Handlers always see the stored amounts.

#include "objdb/viewschema.h"

#include <QVariant>

namespace objdb {
class DataContext;
}

namespace objdb::source {

class EventDispatch;

class CurrencyDisplay {
public:
    CurrencyDisplay(const DataContext &context, bool convert, const EventDispatch &events);

    bool converts() const { return m_convert; }
    // The conversion currency's decimals when the view converts, else two.
    int amountDecimals() const { return m_amountDecimals; }
    // The fields with the amounts' display format set to those decimals.
    QList<FieldDef> formatted(QList<FieldDef> fields) const;
    // A value of the field as the reader sees it.
    QVariant present(const FieldDef &field, const QVariant &value) const;

private:
    const DataContext &m_context;
    bool m_convert = false;
    const EventDispatch &m_events;
    int m_amountDecimals = 2;
};

} // namespace objdb::source
