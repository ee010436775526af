// tomekeep-bench-search FILE: times the match test of each search on a catalogue, for texts
// that find books early, late and never (a text that finds nothing reads the whole table).
#include "db/Connection.h"
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
    gConn.close();
    return 0;
}
