// tomekeep-bench-mainwindow FILE: how long the main window makes its user wait on a large
// catalogue (start-up, list reloads, re-sorts, the quick filter, showing and saving a book, a
// backup) and how much memory it takes. FILE is a catalogue from tomekeep-generate; it is copied, never
// changed.
#include "app/Resources.h"
#include "app/Startup.h"
#include "backup/Backup.h"
#include "db/Catalogue.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

QTextStream out(stdout);

struct Cost {
    double wall = 0; // milliseconds on the clock
    double cpu = 0;  // milliseconds of processor time: what the figure would be on an idle machine
};

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Runs the step and lets the window catch up (layout, painting), as a user would wait for it.
Cost costOf(const std::function<void()>& step) {
    const double cpuBefore = cpuMilliseconds();
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, cpuMilliseconds() - cpuBefore};
}

// The median of several runs, by their clock time.
Cost medianOf(int runs, const std::function<void()>& step) {
    std::vector<Cost> costs;
    for (int i = 0; i < runs; ++i)
        costs.push_back(costOf(step));
    std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.wall < b.wall; });
    return costs[costs.size() / 2];
}

void report(const char* what, const Cost& cost, double target) {
    out << QStringLiteral("%1 %2 ms  (processor %3 ms; target under %4 ms)\n")
               .arg(QLatin1String(what), -42)
               .arg(cost.wall, 8, 'f', 1)
               .arg(cost.cpu, 7, 'f', 1)
               .arg(target);
    out.flush();
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitResources();
    if (argc != 2 || !QFile::exists(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "usage: tomekeep-bench-mainwindow CATALOGUE-FILE\n";
        return 2;
    }
    QTemporaryDir home;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), home.filePath(QStringLiteral("BIBLIO.sqlite")))) {
        QTextStream(stderr) << "cannot copy the catalogue\n";
        return 1;
    }

    std::unique_ptr<frmWizard> window;
    // Until the window is painted; the day's backup follows once the window is up.
    const double startCpu = cpuMilliseconds();
    QElapsedTimer started;
    started.start();
    window = Main();
    if (!window)
        return 1;
    window->repaint();
    report("start-up until the window is shown",
           {static_cast<double>(started.nsecsElapsed()) / 1e6, cpuMilliseconds() - startCpu}, 1000);
    report("the day's backup, after the window is shown", costOf([] {}), 5000);
    frmWizard& w = *window;
    out << "books listed: " << w.ListModel().rowCount() << "\n";

    report("reload, all books", medianOf(5, [&] { w.PopulateLstMain(); }), 300);
    gSearchMode = kSearchTitle;
    gSearchTitle = QStringLiteral("The*");
    report("reload, title search The*", medianOf(5, [&] { w.PopulateLstMain(); }), 300);
    out << "books found: " << w.ListModel().rowCount() << "\n";
    gSearchMode = kSearchAll;
    w.PopulateLstMain();

    QHeaderView* header = w.lstMain->header();
    for (const int column :
         {int(BookListModel::ColYear), int(BookListModel::ColAuthor), int(BookListModel::ColSubject),
          int(BookListModel::ColPages), int(BookListModel::ColStars), int(BookListModel::ColTitle)}) {
        const QString what = QStringLiteral("header click, re-sort by %1")
                                 .arg(QLatin1String(BookListModel::columnInfo(column).header));
        report(qPrintable(what), medianOf(4, [&] { Q_EMIT header->sectionClicked(column); }), 300);
    }

    // Dragging the scroll bar to any place, and typing a letter in the list.
    const int rows = w.ListModel().rowCount();
    for (const double place : {0.5, 1.0, 0.25}) {
        const int target = std::min(rows - 1, static_cast<int>(rows * place));
        report(qPrintable(QStringLiteral("scroll to row %1").arg(target)), costOf([&] {
                   w.lstMain->scrollTo(w.ListModel().index(target, BookListModel::ColTitle));
                   w.lstMain->viewport()->repaint();
               }),
               50);
    }
    for (const char letter : {'m', 'z', 't'})
        report(qPrintable(QStringLiteral("letter jump '%1'").arg(QLatin1Char(letter))),
               costOf([&] { w.lstMain->jumpToLetter(QLatin1Char(letter)); }), 50);

    // The quick filter, typed a letter at a time. On a long list it waits for a pause in the typing
    // and then reads every book once: the keystrokes cost next to nothing, the pause is measured
    // in processor time (its clock time includes the wait).
    const auto waitForPause = [] {
        QEventLoop pause;
        QTimer::singleShot(400, &pause, &QEventLoop::quit);
        pause.exec();
    };
    for (const QString& word : {QStringLiteral("zola"), QStringLiteral("the sea")}) {
        std::vector<Cost> keystrokes;
        for (qsizetype typed = 1; typed <= word.size(); ++typed)
            keystrokes.push_back(costOf([&] { w.txtFilter->setText(word.left(typed)); }));
        const auto worst = std::max_element(keystrokes.begin(), keystrokes.end(),
                                            [](const Cost& a, const Cost& b) { return a.wall < b.wall; });
        report(qPrintable(QStringLiteral("quick filter \"%1\", slowest keystroke").arg(word)), *worst, 100);
        report("the filter applied after the pause (processor)", costOf(waitForPause), 1000);
        out << "books shown: " << w.ListModel().rowCount() << "\n";
        report("quick filter cleared (Esc)", costOf([&] { w.txtFilter->clear(); }), 100);
    }

    report("backup of the catalogue", costOf([] { static_cast<void>(BackUpCatalogue()); }), 5000);

    int row = 0;
    report("show a book",
           medianOf(21,
                    [&] {
                        w.lstMain->selectRow(row += 997);
                        w.ShowSelectedBook();
                    }),
           20);
    int edit = 0;
    report("save a changed field",
           medianOf(21,
                    [&] {
                        w.txtNotes->setPlainText(QStringLiteral("Benchmark note %1").arg(++edit));
                        w.SaveCurrentBook();
                    }),
           20);
    out << "peak memory: " << peakMegabytes() << " MB (target under 150 MB)\n";
    window->hide();
    return 0;
}
