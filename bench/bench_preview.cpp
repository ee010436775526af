// tomekeep-bench-preview CATALOGUE: writes the Book Listing of a catalogue, then times the
// preview showing its first, middle and last pages, the memory that takes, and printing the
// whole report to a PDF file.
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "reports/PreviewDocument.h"
#include "reports/PrintSpool.h"
#include "reports/ReportWriter.h"
#include "reports/Reports.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <vector>

namespace {

constexpr int kRepetitions = 20;
constexpr int kSampledPages = 200;

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

// A memory figure of this process from /proc, in kilobytes ("VmRSS", "VmHWM").
long memoryKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QString writeBookListing() {
    QString spool;
    ReportWriter::Hooks hooks{[] {}, [&spool](const QString& file) { spool = file; },
                              [] {
                                  return QDateTime::currentDateTime();
                              }};
    const ReportWriter::Hooks previous = Writer().SetHooks(hooks);
    QElapsedTimer timer;
    timer.start();
    RunReport(ReportKind::BookListing);
    out() << "write Book Listing: " << milliseconds(timer) << " ms\n";
    Writer().SetHooks(previous);
    return spool;
}

void timePage(PreviewDocument& document, int page, const char* what) {
    std::vector<double> times;
    for (int i = 0; i < kRepetitions; ++i) {
        document.SetCurrentPage(page);
        QElapsedTimer timer;
        timer.start();
        document.RenderCurrentPage();
        times.push_back(milliseconds(timer));
    }
    std::sort(times.begin(), times.end());
    out() << "show " << what << " (page " << page << "): median " << times[times.size() / 2] << " ms, worst "
          << times.back() << " ms\n";
}

// Painting the page shown on a screen at 100 % and at 200 % scaling, as the viewport does on
// every scroll.
void timePaint(PreviewDocument& document) {
    for (const qreal scale : {1.0, 2.0}) {
        std::vector<double> times;
        for (int i = 0; i < kRepetitions; ++i) {
            QElapsedTimer timer;
            timer.start();
            const QImage page = document.Canvas().render(scale);
            times.push_back(milliseconds(timer));
        }
        std::sort(times.begin(), times.end());
        out() << "paint the page at " << scale * 100 << " %: median " << times[times.size() / 2]
              << " ms, worst " << times.back() << " ms\n";
    }
}

void timePrint(PreviewDocument& document, const QString& pdf) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QElapsedTimer timer;
    timer.start();
    const std::clock_t processor = std::clock();
    const PrintOutcome outcome = PrintSpoolTo(printer, document, {});
    out() << "print to PDF: " << milliseconds(timer) << " ms ("
          << static_cast<double>(std::clock() - processor) * 1000 / CLOCKS_PER_SEC << " ms processor), "
          << (outcome == PrintOutcome::Printed ? "printed" : "FAILED") << ", " << QFileInfo(pdf).size() / 1024
          << " KB\n";
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || !QFileInfo::exists(args[1])) {
        QTextStream(stderr) << "usage: tomekeep-bench-preview CATALOGUE.sqlite\n";
        return 2;
    }
    QTemporaryDir home;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
    gDBName = QStringLiteral("BENCH");
    QFile::link(QFileInfo(args[1]).absoluteFilePath(), home.filePath(QStringLiteral("BENCH.sqlite")));
    if (!OpenDatabase()) {
        QTextStream(stderr) << "cannot open " << args[1] << '\n';
        return 1;
    }

    const QString spool = writeBookListing();
    if (spool.isEmpty())
        return 1;
    PreviewDocument& document = Preview();
    document.SetSpoolPath(spool);
    document.Init();
    const long before = memoryKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    document.Load();
    const int pages = document.PageCount();
    out() << "report file: " << QFileInfo(spool).size() / 1024 << " KB, " << pages
          << " pages; index and header " << milliseconds(timer) << " ms\n";

    timePage(document, 1, "first page");
    timePage(document, pages / 2, "middle page");
    timePage(document, pages, "last page");
    const long afterFirstAndLast = memoryKb("VmRSS");
    const int stride = std::max(1, pages / kSampledPages);
    timer.restart();
    int shown = 0;
    for (int page = 1; page <= pages; page += stride, ++shown) {
        document.SetCurrentPage(page);
        document.RenderCurrentPage();
    }
    out() << "show " << shown << " pages spread over the report: " << milliseconds(timer) / shown
          << " ms a page\n";
    out() << "resident memory: " << before << " KB before the preview, " << afterFirstAndLast
          << " KB after the first, middle and last pages, " << memoryKb("VmRSS") << " KB after " << shown
          << " pages\n";
    timePaint(document);

    timePrint(document, home.filePath(QStringLiteral("listing.pdf")));
    out() << "peak resident memory: " << memoryKb("VmHWM") << " KB\n";
    QFile::remove(spool);
    return 0;
}
