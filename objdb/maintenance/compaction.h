#pragma once
// Compaction of an archive into a new file, for the repair, by the archive's engine
// (Engine::compactedCopy).

#include <QString>
#include <memory>

namespace objdb {

class EngineHold;

class CompactedCopy {
public:
    // Copies the archive at source, compacted, into target (which must not exist). Refuses, leaving
    // the archive untouched, when another program is reading or writing it, when the engine cannot
    // read it whole, or when the copy fails the engine's integrity check even with its indexes
    // rebuilt. On return the copy is on disk and nobody else can write to the archive until this
    // object goes, so the copy stays its equal while it takes the archive's place.
    CompactedCopy(const QString &source, const QString &target);
    ~CompactedCopy();
    CompactedCopy(const CompactedCopy &) = delete;
    CompactedCopy &operator=(const CompactedCopy &) = delete;

private:
    std::unique_ptr<EngineHold> m_hold;
};

} // namespace objdb
