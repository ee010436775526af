#include "db/Connection.h"

#include "db/CaseFoldLike.h"
#include "db/ReadingOrder.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <utility>

Connection gConn(QStringLiteral("catalogue"));

namespace {

// A second instance writing the same catalogue waits this long for the first to finish.
constexpr int kBusyTimeoutMs = 10000;

DbError failure(const QString& text) {
    return DbError{1, text};
}

// Failures after which SQLite may have rolled the whole transaction back on its own: out of
// memory, an I/O error, a full disk (its primary result codes).
bool endsTransaction(const DbError& error) {
    constexpr int kNoMemory = 7;
    constexpr int kIoError = 10;
    constexpr int kFull = 13;
    const int primary = error.number & 0xff;
    return primary == kNoMemory || primary == kIoError || primary == kFull;
}

// A text left blank is stored as empty text, never as null; only an invalid QVariant binds null.
QVariant bindable(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

} // namespace

Connection::Connection(QString connectionName)
    : m_name(std::move(connectionName)) {}

Connection::~Connection() {
    // At static destruction Qt's connection registry may already be gone: only close while
    // the application object still exists, and otherwise let the process end take it.
    if (QCoreApplication::instance()) {
        close();
    } else {
        for (auto& entry : m_statements)
            static_cast<void>(entry.second.release());
    }
}

DbStatus Connection::open(const QString& filePath, OpenMode mode) {
    close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return failure(QStringLiteral("The SQLite driver of Qt SQL is not installed"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // The URI form lets the engine refuse to create a file that should already exist.
    QUrl uri = QUrl::fromLocalFile(filePath);
    uri.setQuery(mode == OpenMode::CreateFile     ? QStringLiteral("mode=rwc")
                 : mode == OpenMode::ReadOnlyFile ? QStringLiteral("mode=ro")
                                                  : QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        DbError error = DbError::fromSqlError(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return error;
    }
    if (!registerCaseFoldLike(db) || !registerReadingOrder(db)) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return failure(QStringLiteral("Cannot register the text comparison of the catalogue"));
    }
    m_filePath = filePath;
    m_readOnly = mode == OpenMode::ReadOnlyFile;
    return {};
}

void Connection::close() {
    m_statements.clear();
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (m_inTransaction)
            QSqlQuery(QStringLiteral("ROLLBACK"), db).finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_inTransaction = false;
    m_transactionLost.reset();
    m_readOnly = false;
    m_filePath.clear();
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery& Connection::prepared(const QString& sql, bool& fresh) {
    auto found = m_statements.find(sql);
    fresh = found == m_statements.end();
    if (fresh) {
        auto query = std::make_unique<QSqlQuery>(database());
        query->setForwardOnly(true);
        found = m_statements.emplace(sql, std::move(query)).first;
    }
    return *found->second;
}

DbResult<QSqlQuery*> Connection::run(const QString& sql, const QVariantList& params) {
    if (!isOpen())
        return failure(QStringLiteral("No catalogue is open"));
    if (m_transactionLost)
        return *m_transactionLost;
    bool fresh = false;
    QSqlQuery& query = prepared(sql, fresh);
    query.finish();
    if (fresh && !query.prepare(sql)) {
        DbError error = DbError::fromSqlError(query.lastError());
        m_statements.erase(sql);
        return error;
    }
    for (qsizetype i = 0; i < params.size(); ++i)
        query.bindValue(static_cast<int>(i), bindable(params[i]));
    if (!query.exec()) {
        DbError error = DbError::fromSqlError(query.lastError());
        query.finish();
        if (m_inTransaction && endsTransaction(error))
            abandonTransaction(error);
        return error;
    }
    return &query;
}

// The engine may have ended the transaction, and what follows would then land outside it, one
// statement at a time. Roll back (the engine's advice) and keep the cause for the commit, which
// would otherwise only say that no transaction is active.
void Connection::abandonTransaction(const DbError& cause) {
    for (auto& entry : m_statements)
        entry.second->finish();
    database().rollback();
    m_transactionLost = cause;
}

DbStatus Connection::execute(const QString& sql, const QVariantList& params) {
    auto query = run(sql, params);
    if (!query)
        return query.error();
    (*query)->finish();
    return {};
}

DbResult<qint64> Connection::insert(const QString& sql, const QVariantList& params) {
    auto query = run(sql, params);
    if (!query)
        return query.error();
    const qint64 id = (*query)->lastInsertId().toLongLong();
    (*query)->finish();
    return id;
}

DbStatus Connection::beginTransaction() {
    if (!isOpen())
        return failure(QStringLiteral("No catalogue is open"));
    // Every transaction of the program writes. Taking the write lock at the start lets the busy
    // timeout wait for another program; a lock asked for after a read is refused at once.
    if (DbStatus begun = execute(QStringLiteral("BEGIN IMMEDIATE")); !begun)
        return begun;
    m_inTransaction = true;
    return {};
}

DbStatus Connection::commit() {
    if (m_transactionLost) {
        m_inTransaction = false;
        return *std::exchange(m_transactionLost, std::nullopt);
    }
    for (auto& entry : m_statements)
        entry.second->finish();
    if (DbStatus committed = execute(QStringLiteral("COMMIT")); !committed)
        return committed;
    m_inTransaction = false;
    return {};
}

void Connection::rollback() {
    if (m_transactionLost) {
        m_transactionLost.reset();
        m_inTransaction = false;
    }
    if (!m_inTransaction)
        return;
    for (auto& entry : m_statements)
        entry.second->finish();
    static_cast<void>(execute(QStringLiteral("ROLLBACK")));
    m_inTransaction = false;
}

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
    , m_begun(connection.beginTransaction()) {}

Transaction::~Transaction() {
    if (m_begun.ok() && !m_done)
        m_connection.rollback();
}

DbStatus Transaction::commit() {
    if (!m_begun.ok())
        return m_begun;
    m_done = true;
    DbStatus status = m_connection.commit();
    if (!status.ok())
        m_connection.rollback();
    return status;
}
