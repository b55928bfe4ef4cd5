#include "objdb/source/currencydisplay.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/source/eventdispatch.h"
#include "objdb/types.h"

namespace objdb::source {

CurrencyDisplay::CurrencyDisplay(const DataContext &context, bool convert, const EventDispatch &events)
    : m_context(context), m_convert(convert), m_events(events)
{
    if (const auto currency = m_convert ? m_context.ConversionCurrency() : nullptr)
        m_amountDecimals = currency->decimals();
}

QList<FieldDef> CurrencyDisplay::formatted(QList<FieldDef> fields) const
{
    if (!m_convert || !m_context.ConversionCurrency())
        return fields;
    const QString format = m_amountDecimals > 0 ? QStringLiteral("#,##0.") + QString(m_amountDecimals, QLatin1Char('0'))
                                                : QStringLiteral("#,##0");
    for (FieldDef &f : fields)
        if (f.type == TypeAmount)
            f.format = format;
    return fields;
}

QVariant CurrencyDisplay::present(const FieldDef &field, const QVariant &value) const
{
    if (!m_convert || field.type != TypeAmount || isNull(value) || m_events.inHandler())
        return value;
    const auto currency = m_context.ConversionCurrency();
    if (!currency)
        return value;
    return QVariant::fromValue(currency->convert(*toAmount(value)));
}

} // namespace objdb::source
