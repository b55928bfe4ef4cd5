#include "objdb/maintenance/compaction.h"

#include "objdb/engine/engine.h"

namespace objdb {

CompactedCopy::CompactedCopy(const QString &source, const QString &target)
    : m_hold(engineFor(source).compactedCopy(source, target))
{
}

CompactedCopy::~CompactedCopy() = default;

} // namespace objdb
