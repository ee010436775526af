#pragma once

#include "db/DbResult.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>
#include <unordered_map>

class QSqlQuery;

// One connection to a catalogue file. Statements are prepared once per connection and reused,
// values always travel as bound parameters.
class Connection {
public:
    // ReadOnlyFile: an existing file the engine must not try to write.
    enum class OpenMode { ExistingFile, CreateFile, ReadOnlyFile };

    explicit Connection(QString connectionName);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    DbStatus open(const QString& filePath, OpenMode mode = OpenMode::ExistingFile);
    void close();
    bool isOpen() const;
    bool isReadOnly() const { return m_readOnly; }
    QString filePath() const { return m_filePath; }
    QSqlDatabase database() const;

    // Runs a statement and hands back the active query positioned before its first row.
    // The query belongs to the connection and stays valid until the same text runs again.
    DbResult<QSqlQuery*> run(const QString& sql, const QVariantList& params = {});
    DbStatus execute(const QString& sql, const QVariantList& params = {});
    // Runs an INSERT and answers the identifier the engine gave the new row.
    DbResult<qint64> insert(const QString& sql, const QVariantList& params = {});

    DbStatus beginTransaction();
    DbStatus commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

private:
    QSqlQuery& prepared(const QString& sql, bool& fresh);
    void abandonTransaction(const DbError& cause);

    QString m_name;
    QString m_filePath;
    bool m_inTransaction = false;
    bool m_readOnly = false;
    // What ended the open transaction inside the engine (a full disk, say): every statement
    // until the transaction's owner commits or rolls back answers it, and so does the commit.
    std::optional<DbError> m_transactionLost;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
};

// Work on one connection that either lands whole or not at all.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const DbStatus& started() const { return m_begun; }
    DbStatus commit();

private:
    Connection& m_connection;
    DbStatus m_begun;
    bool m_done = false;
};

// The open catalogue, shared by every window for the whole run.
extern Connection gConn;
