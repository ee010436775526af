#include "CatalogueGenerator.h"

#include "app/Paths.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "db/SortKeys.h"
#include "db/SqliteStatement.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

namespace {

const QStringList kTitleWords = {
    QStringLiteral("Silent"), QStringLiteral("River"),     QStringLiteral("Garden"),
    QStringLiteral("Shadow"), QStringLiteral("Winter"),    QStringLiteral("Stone"),
    QStringLiteral("Night"),  QStringLiteral("Journey"),   QStringLiteral("Empire"),
    QStringLiteral("Island"), QStringLiteral("Letters"),   QStringLiteral("Glass"),
    QStringLiteral("Crown"),  QStringLiteral("Harbour"),   QStringLiteral("Mirror"),
    QStringLiteral("Fire"),   QStringLiteral("Orchard"),   QStringLiteral("Summer"),
    QStringLiteral("Memory"), QStringLiteral("Salt"),      QStringLiteral("Lantern"),
    QStringLiteral("Café"),   QStringLiteral("Échos"),     QStringLiteral("War"),
    QStringLiteral("Peace"),  QStringLiteral("Tide"),      QStringLiteral("Map"),
    QStringLiteral("Thief"),  QStringLiteral("Kingdom"),   QStringLiteral("Daughter"),
    QStringLiteral("Bridge"), QStringLiteral("Clockmaker")};
const QStringList kTitleStarts = {QStringLiteral("The"),          QStringLiteral("A"),
                                  QStringLiteral("Beyond the"),   QStringLiteral("Under the"),
                                  QStringLiteral("O'Malley's"),   QStringLiteral("Last"),
                                  QStringLiteral("Return of the")};
const QStringList kGiven = {QStringLiteral("Ana"), QStringLiteral("Bram"),   QStringLiteral("Céline"),
                            QStringLiteral("Dev"), QStringLiteral("Eamon"),  QStringLiteral("Farah"),
                            QStringLiteral("Gus"), QStringLiteral("Hélène"), QStringLiteral("Ivo"),
                            QStringLiteral("Jun"), QStringLiteral("Kasia"),  QStringLiteral("Lars")};
const QStringList kSurnames = {
    QStringLiteral("Abara"),     QStringLiteral("Brandt"), QStringLiteral("Cruz"),
    QStringLiteral("Dubois"),    QStringLiteral("Eklund"), QStringLiteral("Fitzgerald"),
    QStringLiteral("Gómez"),     QStringLiteral("Hart"),   QStringLiteral("Iqbal"),
    QStringLiteral("Jovanović"), QStringLiteral("Kerr"),   QStringLiteral("Lindgren")};
const QStringList kPublishers = {QStringLiteral("Harbour House"),    QStringLiteral("Northgate Press"),
                                 QStringLiteral("Blue Heron Books"), QStringLiteral("Éditions du Lac"),
                                 QStringLiteral("Penmore & Sons"),   QStringLiteral("Quillfield")};
const QStringList kBorrowers = {QStringLiteral("Mum"), QStringLiteral("Sam next door"),
                                QStringLiteral("Book club"), QStringLiteral("Dr. O'Neill")};

class Generator {
public:
    explicit Generator(const GeneratorOptions& options)
        : m_options(options)
        , m_random(options.seed) {}

    DbStatus run() {
        if (DbStatus status = addLookups(); !status)
            return status;
        return addBooks();
    }

private:
    int pick(int count) { return static_cast<int>(m_random.bounded(static_cast<quint32>(count))); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename List>
    const auto& any(const List& list) {
        return list[pick(static_cast<int>(list.size()))];
    }

    DbStatus addNames(const QString& table, int count, const std::function<QString(int)>& name) {
        const KeyedColumn& keyed = KeyedColumnOf(table);
        for (int i = 0; i < count; ++i) {
            if (auto added = AddNamedRow(keyed, name(i)); !added)
                return added.error();
        }
        return {};
    }

    DbStatus addLookups() {
        // About one author for every five books, on top of the standard list.
        m_authorCount = 926 + m_options.bookCount / 5;
        for (const DbStatus& status :
             {addNames(QStringLiteral("Author"), m_authorCount - 926,
                       [this](int i) {
                           return QStringLiteral("%1 %2 %3").arg(any(kGiven), any(kSurnames)).arg(i);
                       }),
              addNames(QStringLiteral("Subject"), 11,
                       [](int i) { return QStringLiteral("Collection %1").arg(i + 1); }),
              addNames(QStringLiteral("Location"), 34,
                       [](int i) { return QStringLiteral("Study - Shelf %1").arg(i + 1); })}) {
            if (!status)
                return status;
        }
        m_subjectCount = 29 + 11;
        m_locationCount = 6 + 34;
        return {};
    }

    QString title(int index) {
        return any(kTitleStarts) + u' ' + any(kTitleWords) + u' ' + any(kTitleWords) + u' ' +
               QString::number(index + 1);
    }

    QString notes() {
        switch (pick(4)) {
        case 0:
            return QStringLiteral("Signed by the author.\nFirst edition, dust jacket worn.");
        case 1:
            return QStringLiteral("Gift from \"Grandpa\" — keep.");
        case 2:
            return QStringLiteral("Read twice; see the margin notes on chapter %1.").arg(pick(30) + 1);
        default:
            return QStringLiteral("Bought at the %1 fair.").arg(1990 + pick(35));
        }
    }

    BookFields book(int index) {
        const QDate today = QDate::currentDate();
        BookFields b;
        b.subjectId = 1 + pick(m_subjectCount);
        b.locationId = 1 + pick(m_locationCount);
        b.formatId = 1 + pick(8);
        b.ratingId = 1 + pick(6);
        b.title = title(index);
        b.labelNumber =
            chance(80)
                ? QStringLiteral("%1-%2").arg(QChar(u'A' + pick(26))).arg(pick(10000), 4, 10, QChar(u'0'))
                : QString();
        b.publisher = any(kPublishers);
        b.authorId = 1 + pick(m_authorCount);
        b.copyright = chance(95) ? 1900 + pick(today.year() - 1899) : 0;
        b.pages = chance(97) ? 40 + pick(900) : 0;
        b.stars = pick(11) / 2.0;
        b.acquireDate = chance(90) ? today.addDays(-pick(365 * 30)) : kNullDate;
        b.cost = chance(90) ? Money::fromUnits((99 + pick(12000)) * 100) : Money();
        if (chance(5)) {
            b.lentTo = any(kBorrowers);
            b.lentDate = today.addDays(-pick(400));
        }
        b.notes = chance(30) ? notes() : QString();
        return b;
    }

    // The book table's indexes are dropped while the books go in and made again after: sorting
    // a million keys once is far quicker than placing each key as its book arrives.
    DbResult<QStringList> dropBookIndexes() {
        QStringList made;
        {
            auto indexes = SqliteStatement::prepare(QStringLiteral(
                "SELECT [name], [sql] FROM sqlite_master WHERE [type] = 'index' AND [tbl_name] = 'Book' "
                "AND [sql] IS NOT NULL"));
            if (!indexes)
                return indexes.error();
            QStringList names;
            while ((*indexes)->next()) {
                names << (*indexes)->text(0);
                made << (*indexes)->text(1);
            }
            if (!(*indexes)->status())
                return (*indexes)->status().error();
            for (const QString& name : names) {
                if (DbStatus dropped = gConn.execute(u"DROP INDEX [" + name + u']'); !dropped)
                    return dropped.error();
            }
        }
        return made;
    }

    DbStatus addBooks() {
        const auto indexes = dropBookIndexes();
        if (!indexes)
            return indexes.error();
        auto insert = SqliteStatement::prepare(
            QStringLiteral("INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [Title], "
                           "[LabelNumber], [Publisher], [AuthorId], [Copyright], [Pages], [Stars], "
                           "[AcquireDate], [Cost], [LentTo], [LentDate], [Notes], [TitleKey], [TitleOrder]) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        if (!insert)
            return insert.error();
        auto award = SqliteStatement::prepare(
            QStringLiteral("INSERT INTO [BookAward] ([BookId], [AwardId]) VALUES (?, ?)"));
        if (!award)
            return award.error();
        for (int i = 0; i < m_options.bookCount; ++i) {
            const BookFields b = book(i);
            if (DbStatus added =
                    run(**insert, {b.subjectId, b.locationId, b.formatId, b.ratingId, b.title, b.labelNumber,
                                   b.publisher, b.authorId, b.copyright, b.pages, b.stars,
                                   DateToStored(b.acquireDate), b.cost.toDouble(), b.lentTo,
                                   DateToStored(b.lentDate), b.notes, NameKey(b.title), SortKeyOf(b.title)});
                !added)
                return added;
            if (chance(6)) {
                const qint64 bookId = (*insert)->insertedId();
                const int awards = 1 + pick(2);
                for (int a = 0; a < awards; ++a) {
                    if (DbStatus added = run(**award, {bookId, 1 + pick(11)}); !added)
                        return added;
                }
            }
        }
        for (const QString& index : *indexes) {
            if (DbStatus made = gConn.execute(index); !made)
                return made;
        }
        return {};
    }

    static DbStatus run(SqliteStatement& statement, const QVariantList& values) {
        if (DbStatus bound = statement.rebind(values); !bound)
            return bound;
        statement.next();
        return statement.status();
    }

    GeneratorOptions m_options;
    QRandomGenerator m_random;
    int m_authorCount = 926;
    int m_subjectCount = 29;
    int m_locationCount = 6;
};

} // namespace

DbStatus GenerateCatalogue(const QString& targetFile, const GeneratorOptions& options) {
    if (QFileInfo::exists(targetFile))
        return DbError{1, QStringLiteral("%1 exists already").arg(targetFile)};
    QTemporaryDir work(QFileInfo(targetFile).absolutePath() + QStringLiteral("/.tomekeep-generate-XXXXXX"));
    if (!work.isValid())
        return DbError{1, QStringLiteral("Cannot make a work folder beside %1").arg(targetFile)};
    const QByteArray previousHome = qgetenv("TOMEKEEP_HOME");
    qputenv("TOMEKEEP_HOME", QFile::encodeName(work.path()));
    gDBName = QStringLiteral("GENERATED");
    DbStatus status = OpenDatabase();
    if (status) {
        Transaction transaction(gConn);
        status = transaction.started();
        if (status)
            status = Generator(options).run();
        // Keyed as a program-written catalogue is, so that its first opening has nothing to repair.
        if (status)
            status = RepairAllNameKeys();
        if (status)
            status = RepairSortKeys();
        if (status)
            status = transaction.commit();
    }
    gConn.close();
    if (status && !QFile::rename(CatalogueFilePath(gDBName), targetFile))
        status = DbError{1, QStringLiteral("Cannot move the catalogue to %1").arg(targetFile)};
    if (previousHome.isNull())
        qunsetenv("TOMEKEEP_HOME");
    else
        qputenv("TOMEKEEP_HOME", previousHome);
    return status;
}
