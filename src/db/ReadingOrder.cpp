#include "db/ReadingOrder.h"

#include "db/SqliteHandle.h"

#include <QSqlDatabase>
#include <sqlite3.h>
#include <unicode/ucol.h>

namespace {

const UChar* units(QStringView text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

int32_t length(QStringView text) {
    return static_cast<int32_t>(text.size());
}

QStringView textOf(const void* data, int bytes) {
    return QStringView(static_cast<const char16_t*>(data), bytes / 2);
}

int collate(void* order, int leftBytes, const void* left, int rightBytes, const void* right) {
    return static_cast<const ReadingOrder*>(order)->compare(textOf(left, leftBytes),
                                                            textOf(right, rightBytes));
}

void sqlSortKey(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* order = static_cast<const ReadingOrder*>(sqlite3_user_data(context));
    const QStringView text = textOf(sqlite3_value_text16(argv[0]), sqlite3_value_bytes16(argv[0]));
    const QByteArray key = order->sortKey(text);
    sqlite3_result_blob(context, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

} // namespace

ReadingOrder::ReadingOrder(const QLocale& locale) {
    const QByteArray name = locale.language() == QLocale::C ? QByteArray() : locale.bcp47Name().toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("", &status);
    }
    ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    UVersionInfo version{};
    ucol_getVersion(m_collator, version);
    char versionText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, versionText);
    m_name = QString::fromLatin1(name.isEmpty() ? QByteArray("root") : name) + u'/' +
             QString::fromLatin1(versionText);
}

ReadingOrder::~ReadingOrder() {
    ucol_close(m_collator);
}

const ReadingOrder& ReadingOrder::forUser() {
    static const ReadingOrder order{QLocale()};
    return order;
}

int ReadingOrder::compare(QStringView left, QStringView right) const {
    return ucol_strcoll(m_collator, units(left), length(left), units(right), length(right));
}

QByteArray ReadingOrder::sortKey(QStringView text) const {
    QByteArray key;
    appendSortKey(text, key);
    return key;
}

void ReadingOrder::appendSortKey(QStringView text, QByteArray& keys) const {
    const qsizetype start = keys.size();
    // Most keys fit a guess of a few bytes per character; the rare longer one is asked again.
    qsizetype room = 16 + text.size() * 4;
    for (;;) {
        keys.resize(start + room);
        const int32_t needed =
            ucol_getSortKey(m_collator, units(text), length(text),
                            reinterpret_cast<uint8_t*>(keys.data() + start), static_cast<int32_t>(room));
        if (needed <= room) {
            // The key's own terminating zero byte is left out: a shorter key must sort first.
            keys.resize(start + std::max<qsizetype>(needed - 1, 0));
            return;
        }
        room = needed;
    }
}

bool registerReadingOrder(const QSqlDatabase& database) {
    sqlite3* connection = SqliteHandle(database);
    if (!connection)
        return false;
    void* order = const_cast<ReadingOrder*>(&ReadingOrder::forUser());
    return sqlite3_create_collation_v2(connection, "READING", SQLITE_UTF16_ALIGNED, order, collate,
                                       nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(connection, "READING_KEY", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC,
                                      order, sqlSortKey, nullptr, nullptr, nullptr) == SQLITE_OK;
}
