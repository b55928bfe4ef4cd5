#pragma once
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace objdb {

// A currency value: a signed count of ten-thousandths. Money never passes through double.
//
// Limits. The archive accepts amounts up to kMaxUnits in absolute value, 99.999.999,9999: every
// stored amount is checked against it (toStorage), and so is every amount read from text. The
// bound is chosen for the sums made over it: SQLite adds integer columns in 64 bits and fails
// with "integer overflow" past 9,22e18 ten-thousandths, and 9.223.372 amounts at the limit (a
// column over nine million rows, or the three cash columns of SaldoCassa over three million)
// still fit. A bound of a billion would not leave room for a million rows. The largest amount
// shown in lire (x 1936,27) fits in 64 bits with ease.
//
// Arithmetic is checked against the 64-bit range rather than the archive's bound, so that a total
// may pass the bound of one amount: nothing wraps, and an overflow or a zero divisor throws
// objdb::Error (n = 124), which a data event turns into a refusal of the operation.
class Amount {
public:
    static constexpr std::int64_t kScale = 10000;
    static constexpr std::int64_t kMaxUnits = 999'999'999'999; // 99.999.999,9999

    constexpr Amount() = default;
    // Ten-thousandths as stored; not checked, so that any stored value can still be shown.
    static constexpr Amount fromUnits(std::int64_t tenThousandths) { Amount a; a.m_units = tenThousandths; return a; }
    static Amount fromInteger(std::int64_t whole);

    // Why a text is not an amount.
    enum class TextError { None, Malformed, TooManyDecimals, OutOfRange };
    // Typed or displayed text, Italian style: "." groups thousands and "," separates the decimals
    // ("1.234,56"; "1.234" is one thousand two hundred thirty-four). A "." that cannot group
    // thousands ("50.5", "1.5", "1234.5") is the decimal point. At most four decimals, and within
    // the archive's bound.
    static std::optional<Amount> parse(const QString &text, TextError *error = nullptr);
    // A number as the criterion language and SQL write it: "-1936.27", ".5"; no grouping.
    static std::optional<Amount> parseDecimal(const QString &text, TextError *error = nullptr);

    constexpr std::int64_t units() const { return m_units; }
    // Whether the archive accepts the amount (|units| <= kMaxUnits).
    constexpr bool isAccepted() const { return m_units >= -kMaxUnits && m_units <= kMaxUnits; }
    // The largest accepted amount as shown: "99.999.999,9999".
    static QString largestText();
    // "Importo fuori dai limiti consentiti" with the bounds; `field` names the column when given.
    static QString outOfRangeMessage(const QString &field = QString());

    // Fixed text with '.' as decimal point and `decimals` (0..4) digits, rounded half away from zero.
    QString toString(int decimals = 4) const;
    // Italian display: grouping '.', decimal ',', two decimals ("1.234,56").
    QString toDisplayString(int decimals = 2) const;
    // The exact quotient or product, rounded once, half away from zero, to `decimals` (0..4).
    Amount dividedBy(const Amount &divisor, int decimals = 4) const;
    Amount multipliedBy(const Amount &factor, int decimals = 4) const;
    Amount abs() const;

    friend Amount operator+(Amount a, Amount b) { return a += b; }
    friend Amount operator-(Amount a, Amount b) { return a -= b; }
    Amount operator-() const { return Amount() - *this; }
    Amount &operator+=(Amount b);
    Amount &operator-=(Amount b);
    friend constexpr auto operator<=>(const Amount &, const Amount &) = default;

private:
    // units * numerator / denominator, rounded once to `decimals`.
    Amount scaled(std::int64_t numerator, std::int64_t denominator, int decimals) const;

    std::int64_t m_units = 0;
};

// Variant arithmetic with Null propagation: a Null operand gives Null.
bool isNull(const QVariant &v);
QVariant addAmounts(const QVariant &a, const QVariant &b);
QVariant subtractAmounts(const QVariant &a, const QVariant &b);
// Reads an amount out of a variant holding an Amount, an integer (whole units) or amount text;
// nullopt for Null and blank text. Anything else throws objdb::Error, naming `field` when given:
// a double (money is never rounded out of floating point), text that is not an amount or is
// beyond the archive's bound, an integer beyond 64 bits of ten-thousandths.
std::optional<Amount> toAmount(const QVariant &v, const QString &field = QString());

} // namespace objdb

Q_DECLARE_METATYPE(objdb::Amount)
