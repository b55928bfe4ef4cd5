#pragma once
// Who makes the program, as the notice of its terms names it when no other company is given.

namespace Maker {

inline const char *kCompanyName = "Cobrelle Software";

} // namespace Maker
