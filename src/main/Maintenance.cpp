#include "main/Maintenance.h"

#include "app/ProgressWindows.h"
#include "app/Prompts.h"
#include "backup/Backup.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "db/ScopedPragma.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <array>
#include <optional>
#include <vector>

namespace {

const QString kUnknownName = QStringLiteral("(unknown)");

struct LookupReference {
    QString table;
    QString idColumn;
};

// The order the references of a book are checked in.
const std::array<LookupReference, 4> kReferences = {
    {{QStringLiteral("Subject"), QStringLiteral("SubjectId")},
     {QStringLiteral("Format"), QStringLiteral("FormatId")},
     {QStringLiteral("Rating"), QStringLiteral("RatingId")},
     {QStringLiteral("Location"), QStringLiteral("LocationId")}}};

// Remembers what CheckLookupRef answered for each number of one table, so that the thousands of
// books sharing a subject cost one query, not one each. Nothing else writes the table during a run.
class ReferenceChecker {
public:
    explicit ReferenceChecker(const LookupReference& reference)
        : m_reference(reference) {}

    // Answers the number the book should hold, or nothing when its number is fine.
    DbResult<std::optional<int>> repaired(int id) {
        if (const auto known = m_answers.constFind(id); known != m_answers.cend())
            return *known;
        int checked = id;
        const auto found = CheckLookupRef(checked, m_reference.table, m_reference.idColumn);
        if (!found)
            return found.error();
        const std::optional<int> answer = *found ? std::nullopt : std::optional<int>(checked);
        m_answers.insert(id, answer);
        return answer;
    }

private:
    LookupReference m_reference;
    QHash<int, std::optional<int>> m_answers;
};

struct Repair {
    std::size_t reference; // into kReferences
    int id;
    qint64 bookId;
};

// The books in the order they are checked; after the book's number its references, in the
// order of kReferences.
const QString kBooksToCheck = QStringLiteral(
    "SELECT [BookId], [SubjectId], [FormatId], [RatingId], [LocationId] FROM [Book] ORDER BY [Title]");

DbStatus findRepairs(const QSqlQuery& book, std::array<ReferenceChecker, 4>& checkers,
                     std::vector<Repair>& found) {
    for (std::size_t i = 0; i < kReferences.size(); ++i) {
        const auto fixed = checkers[i].repaired(book.value(static_cast<int>(i) + 1).toInt());
        if (!fixed)
            return fixed.error();
        if (fixed->has_value())
            found.push_back({i, fixed->value(), book.value(0).toLongLong()});
    }
    return {};
}

// The repairs are written together at the end: the check lets window events through after each
// book, and a transaction left open meanwhile would take in (or refuse) whatever else is saved.
DbStatus applyRepairs(const std::vector<Repair>& repairs) {
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started();
    for (const Repair& repair : repairs) {
        const DbStatus updated = gConn.execute(
            u"UPDATE [Book] SET [" + kReferences[repair.reference].idColumn + u"] = ? WHERE [BookId] = ?",
            {repair.id, repair.bookId});
        if (!updated)
            return updated;
    }
    return transaction.commit();
}

} // namespace

DbResult<bool> CheckLookupRef(int& id, const QString& table, const QString& idColumn) {
    const auto count =
        QueryNumber(u"SELECT COUNT(*) FROM [" + table + u"] WHERE [" + idColumn + u"] = ?", {id});
    if (!count)
        return count.error();
    if (*count > 0)
        return true;
    const auto unknown = GetLookupId(table, idColumn, kUnknownName);
    if (!unknown)
        return unknown.error();
    id = *unknown;
    return false;
}

DbResult<int> RepairBookReferences(const std::function<bool()>& step) {
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    // Read a book at a time, so that the check holds the repairs found, not every book.
    auto ran = gConn.run(kBooksToCheck);
    if (!ran)
        return ran.error();
    QSqlQuery& books = **ran;
    std::array<ReferenceChecker, 4> checkers = {
        ReferenceChecker(kReferences[0]), ReferenceChecker(kReferences[1]), ReferenceChecker(kReferences[2]),
        ReferenceChecker(kReferences[3])};
    std::vector<Repair> repairs;
    DbStatus checked;
    while (checked && books.next()) {
        checked = findRepairs(books, checkers, repairs);
        if (step && !step())
            break;
    }
    if (checked && books.lastError().isValid())
        checked = DbError::fromSqlError(books.lastError());
    books.finish();
    // What was found before a failure or a Cancel is repaired all the same.
    const DbStatus applied = applyRepairs(repairs);
    if (!checked)
        return checked.error();
    if (!applied)
        return applied.error();
    return static_cast<int>(repairs.size());
}

void CheckAndRepair(const std::function<void()>& populateList) {
    if (prompts().ask(QStringLiteral("Repair"), QStringLiteral("Repair database?"),
                      PromptButtons::YesNoCancel, PromptIcon::Question) != PromptAnswer::Yes)
        return;
    if (!BackUpBeforeChange())
        return;
    const auto bookCount = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
    if (!bookCount) {
        TellError(bookCount.error().messageText());
        return;
    }
    const QString status = QStringLiteral("Check database");
    StartProgress(status, 1, static_cast<int>(*bookCount));
    const auto repairs = RepairBookReferences([&status] {
        ProgressStep(status);
        return !gCancelled;
    });
    EndProgress();
    if (!repairs) {
        TellError(repairs.error().messageText());
        return;
    }
    if (*repairs > 0) {
        if (populateList)
            populateList();
        prompts().tell(QStringLiteral("Repair complete"),
                       QString::number(*repairs) + QStringLiteral(" problems repaired."));
    } else {
        prompts().tell(QStringLiteral("Repair complete"), QStringLiteral("No problems found."));
    }
}

DbResult<qint64> DeleteAuthorsNotInUse() {
    // A book without an author counts as author 0, which no author row has.
    const QString unused =
        QStringLiteral("FROM [Author] WHERE [AuthorId] NOT IN (SELECT IFNULL([AuthorId], 0) FROM [Book])");
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started().error();
    const auto count = QueryNumber(u"SELECT COUNT(*) " + unused);
    if (!count)
        return count.error();
    if (DbStatus deleted = gConn.execute(u"DELETE " + unused); !deleted)
        return deleted.error();
    if (DbStatus committed = transaction.commit(); !committed)
        return committed.error();
    return *count;
}

void DeleteUnusedAuthors() {
    if (prompts().ask(QStringLiteral("Delete?"),
                      QStringLiteral("Delete all authors that are not currently used?"),
                      PromptButtons::YesNoCancel, PromptIcon::Question) != PromptAnswer::Yes)
        return;
    if (!BackUpBeforeChange())
        return;
    const auto deleted = DeleteAuthorsNotInUse();
    if (!deleted) {
        TellError(deleted.error().messageText());
        return;
    }
    prompts().tell(QStringLiteral("Done"), QString::number(*deleted) + QStringLiteral(" authors deleted."));
}

DbStatus RecreateCatalogue() {
    gConn.close();
    DbStatus status = DeleteCatalogueFiles();
    if (status)
        status = OpenDatabase();
    if (status)
        status = UpdateDatabase();
    return status;
}
