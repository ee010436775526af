// tomekeep-bench-reports FILE.sqlite: times writing each of the six reports of a generated
// catalogue into its report file, with the peak memory of each.
#include "BenchMeasure.h"
#include "db/Catalogue.h"
#include "reports/ReportWriter.h"
#include "reports/Reports.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || !QFileInfo::exists(args[1])) {
        QTextStream(stderr) << "usage: tomekeep-bench-reports FILE.sqlite\n";
        return 2;
    }
    // The program's own catalogue opening, on a copy in a private data folder.
    QTemporaryDir home;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
    gDBName = QStringLiteral("BENCH");
    if (!QFile::link(QFileInfo(args[1]).absoluteFilePath(), home.filePath(QStringLiteral("BENCH.sqlite"))) ||
        !OpenDatabase()) {
        QTextStream(stderr) << "cannot open " << args[1] << '\n';
        return 1;
    }
    qint64 fileSize = 0;
    int pages = 0;
    Writer().SetHooks({[] {},
                       [&](const QString& path) {
                           fileSize = QFileInfo(path).size();
                           pages = static_cast<int>(Writer().PageOffsets().size());
                           QFile::remove(path);
                       },
                       [] {
                           return QDateTime::currentDateTime();
                       }});
    for (const ReportKind kind :
         {ReportKind::BookListing, ReportKind::ListingByLabel, ReportKind::DetailedListing,
          ReportKind::InventoryByLocation, ReportKind::CostSummary, ReportKind::BooksLentOut}) {
        const StepMeter meter;
        RunReport(kind);
        out << MakeReport(kind)->Name() << ": " << meter.figures() << ", " << pages << " pages, "
            << fileSize / (1024 * 1024) << " MiB file\n";
        out.flush();
    }
    return 0;
}
