#pragma once
#include <QString>
#include <exception>
#include <cstdint>

namespace objdb {

// Base of object-defined error numbers; objdb's own conditions are this base + n.
inline constexpr std::int32_t kErrorBase = static_cast<std::int32_t>(0x80040000u);
inline constexpr int kErrRefused = 124;   // refused or failed operation
inline constexpr int kErrStopped = 32755; // stopped by the user
inline constexpr int kErrFileAccess = 75; // a file that cannot be written (its message names it)

// Every failure of the library. number() is kErrorBase + n.
class Error : public std::exception {
public:
    explicit Error(const QString &description, int n = kErrRefused);
    std::int32_t number() const { return m_number; }
    int code() const { return m_number - kErrorBase; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    std::int32_t m_number;
    QString m_description;
    QByteArray m_utf8;
};

[[noreturn]] void fail(const QString &description, int n = kErrRefused);

} // namespace objdb
