// tomekeep-bench-search FILE: times the match test of each search on a catalogue, for texts
// that find books early, late and never (a text that finds nothing reads the whole table), and
// the look-ups of a name or title regardless of letter case that adding a book makes.
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"
#include "search/SearchMatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

struct Probe {
    const char* kind;
    SearchKind search;
    const char* text;
};

const Probe kProbes[] = {
    {"title", SearchKind::Title, "the*"},
    {"title", SearchKind::Title, "*river*"},
    {"title", SearchKind::Title, "*no such title*"},
    {"label", SearchKind::Label, "A-00??"},
    {"label", SearchKind::Label, "ZZ*"},
    {"publisher", SearchKind::Publisher, "harbour house"},
    {"publisher", SearchKind::Publisher, "nobody*"},
    {"author", SearchKind::Author, "*"},
    {"author", SearchKind::Author, "ana*"},
    {"author", SearchKind::Author, "nobody*"},
    {"subject", SearchKind::Subject, "collection*"},
    {"subject", SearchKind::Subject, "nothing*"},
    {"location", SearchKind::Location, "study*"},
    {"location", SearchKind::Location, "nowhere*"},
    {"award", SearchKind::Award, "nebula*"},
    {"award", SearchKind::Award, "no award*"},
    {"notes", SearchKind::Notes, "*margin*"},
    {"notes", SearchKind::Notes, "*no such note*"},
};

constexpr int kRuns = 5;

// The median time of kRuns runs, in milliseconds; false when a run fails.
template <typename Work>
bool medianMs(const Work& work, double& median) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return false;
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    median = times[kRuns / 2];
    return true;
}

QString lastText(const char* sql) {
    auto rows = Recordset::open(QString::fromLatin1(sql));
    return rows && !rows->eof() ? rows->text(0) : QString();
}

// The duplicate-title check of a new book and an author look-up, each typed in upper case.
bool timeNameLookups(QTextStream& out) {
    const struct {
        const char* what;
        const char* table;
        QString text;
    } lookups[] = {
        {"title, found", "Book",
         lastText("SELECT [Title] FROM [Book] ORDER BY [BookId] DESC LIMIT 1").toUpper()},
        {"title, new", "Book", QStringLiteral("NO SUCH TITLE ANYWHERE")},
        {"author, found", "Author",
         lastText("SELECT [Name] FROM [Author] ORDER BY [AuthorId] DESC LIMIT 1").toUpper()},
        {"author, new", "Author", QStringLiteral("NOBODY KNOWN")},
    };
    for (const auto& lookup : lookups) {
        double median = 0;
        const KeyedColumn& column = KeyedColumnOf(QString::fromLatin1(lookup.table));
        if (!medianMs([&] { return FindIdByName(column, lookup.text).ok(); }, median))
            return false;
        out << QString::fromLatin1(lookup.what).leftJustified(30)
            << QString::number(median, 'f', 3).rightJustified(9) << " ms\n";
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: tomekeep-bench-search FILE\n";
        return 2;
    }
    if (const DbStatus opened = gConn.open(app.arguments()[1]); !opened) {
        err << opened.error().messageText() << '\n';
        return 1;
    }
    out << "search     text               found  median ms  slowest ms  (" << kRuns << " runs)\n";
    for (const Probe& probe : kProbes) {
        std::vector<double> times;
        bool found = false;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            const DbResult<SearchMatch> match = FindSearchMatch(probe.search, QString::fromUtf8(probe.text));
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (!match) {
                err << match.error().messageText() << '\n';
                return 1;
            }
            found = match->found;
        }
        std::sort(times.begin(), times.end());
        out << QString::fromLatin1(probe.kind).leftJustified(11)
            << QString::fromUtf8(probe.text).leftJustified(19) << (found ? "yes    " : "no     ")
            << QString::number(times[kRuns / 2], 'f', 1).rightJustified(9)
            << QString::number(times.back(), 'f', 1).rightJustified(12) << '\n';
    }
    out << "\nlook-up regardless of letter case   median ms\n";
    const bool looked = timeNameLookups(out);
    gConn.close();
    return looked ? 0 : 1;
}
