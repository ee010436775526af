#pragma once

#include <QString>
#include <utility>
#include <variant>

class QSqlError;

// An engine failure as the user sees it: the engine's error number and its text.
struct DbError {
    int number = 0;
    QString description;

    // "Error 26 (file is not a database)": the form every error message of the program uses.
    // A lock another program still held when the wait ended is told in words, not as a number.
    QString messageText() const;
    // Another program held the catalogue's lock for longer than the program waits.
    bool isLocked() const;

    static DbError fromSqlError(const QSqlError& error);
};

// The outcome of a catalogue operation: a value, or the engine error that prevented it.
template <typename T>
class [[nodiscard]] DbResult {
public:
    DbResult(T value)
        : m_state(std::move(value)) {}
    DbResult(DbError error)
        : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const DbError& error() const { return std::get<DbError>(m_state); }

private:
    std::variant<T, DbError> m_state;
};

// The outcome of a statement whose result is not used.
class [[nodiscard]] DbStatus {
public:
    DbStatus() = default;
    DbStatus(DbError error)
        : m_failed(true)
        , m_error(std::move(error)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const DbError& error() const { return m_error; }

    template <typename T>
    static DbStatus of(const DbResult<T>& result) {
        return result.ok() ? DbStatus() : DbStatus(result.error());
    }

private:
    bool m_failed = false;
    DbError m_error;
};
