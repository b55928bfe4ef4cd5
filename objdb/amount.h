#pragma once
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace objdb {

// A currency value: a signed count of ten-thousandths. Money never passes through double.
class Amount {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Amount() = default;
    static constexpr Amount fromUnits(std::int64_t tenThousandths) { Amount a; a.m_units = tenThousandths; return a; }
    static constexpr Amount fromInteger(std::int64_t whole) { return fromUnits(whole * kScale); }
    // Parses "1234.5", "-0,01", "1.234,56" (Italian grouping) or "1,234.56"; at most four decimals.
    static std::optional<Amount> parse(const QString &text);

    constexpr std::int64_t units() const { return m_units; }
    // Fixed text with '.' as decimal point and `decimals` (0..4) digits, rounded half away from zero.
    QString toString(int decimals = 4) const;
    // Italian display: grouping '.', decimal ',', two decimals ("1.234,56").
    QString toDisplayString(int decimals = 2) const;
    Amount rounded(int decimals) const;          // half away from zero
    Amount dividedBy(const Amount &divisor) const; // rounded half away from zero to four decimals
    Amount abs() const { return fromUnits(m_units < 0 ? -m_units : m_units); }

    friend constexpr Amount operator+(Amount a, Amount b) { return fromUnits(a.m_units + b.m_units); }
    friend constexpr Amount operator-(Amount a, Amount b) { return fromUnits(a.m_units - b.m_units); }
    constexpr Amount operator-() const { return fromUnits(-m_units); }
    Amount &operator+=(Amount b) { m_units += b.m_units; return *this; }
    Amount &operator-=(Amount b) { m_units -= b.m_units; return *this; }
    friend constexpr auto operator<=>(const Amount &, const Amount &) = default;

private:
    std::int64_t m_units = 0;
};

// Variant arithmetic with Null propagation: a Null operand gives Null.
bool isNull(const QVariant &v);
QVariant addAmounts(const QVariant &a, const QVariant &b);
QVariant subtractAmounts(const QVariant &a, const QVariant &b);
// Reads an amount out of a variant holding an Amount, an integer or a decimal text; nullopt for Null.
std::optional<Amount> toAmount(const QVariant &v);

} // namespace objdb

Q_DECLARE_METATYPE(objdb::Amount)
