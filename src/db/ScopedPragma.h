#pragma once

#include <QString>
#include <optional>

// A numeric setting of the catalogue connection changed for the length of a scope and put back
// after it. When the setting cannot be read or changed it is left alone.
class ScopedPragma {
public:
    ScopedPragma(const QString& name, qint64 value);
    ~ScopedPragma();
    ScopedPragma(const ScopedPragma&) = delete;
    ScopedPragma& operator=(const ScopedPragma&) = delete;

private:
    QString m_name;
    std::optional<qint64> m_previous;
};

// Work that reads or rewrites every book (export, import, check and repair) keeps up to this much
// of the catalogue in memory (a negative cache_size counts KiB): 100,000 books take about 20 MB,
// and with the standard 2 MB every page would be read again, and written out early, many times.
inline constexpr qint64 kWholeCatalogueCacheSize = -65536;
