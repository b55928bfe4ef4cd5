#include "objdb/error.h"

namespace objdb {

Error::Error(const QString &description, int n)
    : m_number(static_cast<std::int32_t>(static_cast<std::uint32_t>(kErrorBase) + static_cast<std::uint32_t>(n))),
      m_description(description), m_utf8(description.toUtf8())
{
}

void fail(const QString &description, int n)
{
    throw Error(description, n);
}

} // namespace objdb
