#pragma once

#include "db/DbResult.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <unordered_map>

class QSqlQuery;

// One connection to a catalogue file. Statements are prepared once per connection and reused,
// values always travel as bound parameters.
class Connection {
public:
    enum class OpenMode { ExistingFile, CreateFile };

    explicit Connection(QString connectionName);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    DbStatus open(const QString& filePath, OpenMode mode = OpenMode::ExistingFile);
    void close();
    bool isOpen() const;
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

    QString m_name;
    QString m_filePath;
    bool m_inTransaction = false;
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
