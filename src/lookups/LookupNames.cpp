#include "lookups/LookupNames.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"
#include "lookups/LookupLists.h"

namespace {

QString bracketed(const QString& name) {
    return u'[' + name + u']';
}

} // namespace

DbResult<std::vector<LookupRow>> LookupRows(const LookupMember& member) {
    auto rows = Recordset::open(u"SELECT " + bracketed(member.idColumn) + u", [Name] FROM " +
                                bracketed(member.table) + u" ORDER BY [Name] COLLATE READING");
    if (!rows)
        return rows.error();
    std::vector<LookupRow> found;
    found.reserve(static_cast<std::size_t>(rows->recordCount()));
    for (; !rows->eof(); rows->moveNext())
        found.push_back({rows->field(0).toLongLong(), rows->text(1)});
    return found;
}

DbResult<qint64> CountLookupName(const LookupMember& member, const QString& name) {
    return CountByName(KeyedColumnOf(member.table), name);
}

DbStatus InsertLookupName(const LookupMember& member, const QString& name) {
    return DbStatus::of(AddNamedRow(KeyedColumnOf(member.table), name));
}

DbStatus RenameLookupRow(const LookupMember& member, qint64 id, const QString& newName) {
    return gConn.execute(u"UPDATE " + bracketed(member.table) + u" SET [Name] = ?, [NameKey] = ? WHERE " +
                             bracketed(member.idColumn) + u" = ?",
                         {newName, NameKey(newName), id});
}

DbResult<LookupDeletion> DeleteLookupRow(const LookupMember& member, qint64 id) {
    // Count and delete as one unit, so a book added meanwhile by another instance cannot
    // slip in between the test and the delete.
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started().error();
    auto usage = QueryNumber(u"SELECT COUNT(*) FROM " + bracketed(member.usageTable) + u" WHERE " +
                                 bracketed(member.idColumn) + u" = ?",
                             {id});
    if (!usage)
        return usage.error();
    LookupDeletion deletion{*usage, false};
    if (deletion.usage > 0)
        return deletion;
    const DbStatus removed = gConn.execute(
        u"DELETE FROM " + bracketed(member.table) + u" WHERE " + bracketed(member.idColumn) + u" = ?", {id});
    if (!removed)
        return removed.error();
    const DbStatus committed = transaction.commit();
    if (!committed)
        return committed.error();
    deletion.deleted = true;
    return deletion;
}
