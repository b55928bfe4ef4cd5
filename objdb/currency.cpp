#include "objdb/currency.h"

namespace objdb {

Amount CurrencyLire::convert(const Amount &stored) const
{
    // stored (ten-thousandths of Euro) * 1936.27, kept exact in 128 bits, then rounded to whole Lire.
    const __int128 product = static_cast<__int128>(stored.units()) * lireRate().units();
    const __int128 scale = Amount::kScale;
    __int128 magnitude = product < 0 ? -product : product;
    __int128 q = magnitude / scale;
    if ((magnitude % scale) * 2 >= scale)
        ++q;
    const auto units = static_cast<std::int64_t>(product < 0 ? -q : q);
    return Amount::fromUnits(units).rounded(0);
}

} // namespace objdb
