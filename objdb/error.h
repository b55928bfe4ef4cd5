#pragma once
#include <QString>
#include <exception>
#include <cstdint>

namespace objdb {

// Base of object-defined error numbers; objdb's own conditions are this base + n.
inline constexpr std::int32_t kErrorBase = static_cast<std::int32_t>(0x80040000u);

// The cause of a failure is its code n: the number raised is kErrorBase + n.
inline constexpr int kErrRefused = 124;     // a check or a rule refused the operation
inline constexpr int kErrStopped = 32755;   // stopped by the user
inline constexpr int kErrFileAccess = 75;   // a file that cannot be written (its message names it)
inline constexpr int kErrDiskIo = 57;       // the disk or the network failed a read or a write
inline constexpr int kErrDiskFull = 61;     // no room left on the archive's disk
inline constexpr int kErrReadOnly = 70;     // the archive, its folder or its disk cannot be written
inline constexpr int kErrDamaged = 3049;    // the engine found the archive damaged
inline constexpr int kErrLocked = 3260;     // another program holds the archive's lock
inline constexpr int kErrNotArchive = 3343; // the file is not an archive of this library
inline constexpr int kErrReplaced = 3024;   // the file was replaced or moved while it was open
inline constexpr int kErrOverflow = 6;      // a number the engine computed does not fit its type
inline constexpr int kErrConnectionLost = 3151; // the connection to the archive's server broke
inline constexpr int kErrEngine = 3000;     // any other failure of the engine

// Every failure of the library. number() is kErrorBase + code(); written() tells that a change
// had already been committed when a later step of the same operation failed.
class Error : public std::exception {
public:
    explicit Error(const QString &description, int n = kErrRefused);
    std::int32_t number() const { return m_number; }
    int code() const { return m_number - kErrorBase; }
    const QString &description() const { return m_description; }
    bool written() const { return m_written; }
    void setWritten() { m_written = true; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    std::int32_t m_number;
    QString m_description;
    QByteArray m_utf8;
    bool m_written = false;
};

[[noreturn]] void fail(const QString &description, int n = kErrRefused);

// An engine error's cause (one of the codes above, as the engine maps its own) in the user's words
// with what to do about it; the engine's own text only for a cause not foreseen. Starts in lower
// case, to follow "what failed: ".
QString engineErrorText(int cause, const QString &engineText);
// Raises an engine error as "what: cause", with the number of its cause.
[[noreturn]] void failEngine(const QString &what, int cause, const QString &engineText);

// Runs the steps that follow a committed change: a library failure among them is raised as written.
template <typename Steps>
void afterCommit(Steps &&steps)
{
    try {
        steps();
    } catch (Error &e) {
        e.setWritten();
        throw;
    }
}

} // namespace objdb
