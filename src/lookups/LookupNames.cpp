#include "lookups/LookupNames.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"
#include "lookups/LookupLists.h"

namespace {

QString bracketed(const QString& name) {
    return u'[' + name + u']';
}

// The identifier of the first row of that name, 0 when there is none.
DbResult<qint64> firstIdNamed(const LookupMember& member, const QString& name) {
    auto found = FindIdByName(KeyedColumnOf(member.table), name);
    if (!found)
        return found.error();
    return *found == -1 ? qint64(0) : qint64(*found);
}

} // namespace

DbResult<QStringList> LookupNames(const QString& table) {
    auto rows =
        Recordset::open(u"SELECT [Name] FROM " + bracketed(table) + u" ORDER BY [Name] COLLATE READING");
    if (!rows)
        return rows.error();
    QStringList names;
    names.reserve(rows->recordCount());
    for (; !rows->eof(); rows->moveNext())
        names.append(rows->text(0));
    return names;
}

DbResult<qint64> CountLookupName(const LookupMember& member, const QString& name) {
    return CountByName(KeyedColumnOf(member.table), name);
}

DbStatus InsertLookupName(const LookupMember& member, const QString& name) {
    return DbStatus::of(AddNamedRow(KeyedColumnOf(member.table), name));
}

DbStatus RenameLookupName(const LookupMember& member, const QString& oldName, const QString& newName) {
    return gConn.execute(u"UPDATE " + bracketed(member.table) +
                             u" SET [Name] = ?, [NameKey] = ? WHERE [Name] = ?",
                         {newName, NameKey(newName), oldName});
}

DbResult<LookupDeletion> DeleteLookupName(const LookupMember& member, const QString& name) {
    // Count and delete as one unit, so a book added meanwhile by another instance cannot
    // slip in between the test and the delete.
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started().error();
    auto id = firstIdNamed(member, name);
    if (!id)
        return id.error();
    auto usage = QueryNumber(u"SELECT COUNT(*) FROM " + bracketed(member.usageTable) + u" WHERE " +
                                 bracketed(member.idColumn) + u" = ?",
                             {*id});
    if (!usage)
        return usage.error();
    LookupDeletion deletion{*usage, false};
    if (deletion.usage > 0 || *id == 0)
        return deletion;
    const DbStatus removed = gConn.execute(
        u"DELETE FROM " + bracketed(member.table) + u" WHERE " + bracketed(member.idColumn) + u" = ?", {*id});
    if (!removed)
        return removed.error();
    const DbStatus committed = transaction.commit();
    if (!committed)
        return committed.error();
    deletion.deleted = true;
    return deletion;
}
