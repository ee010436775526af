// tomekeep-bench-reports FILE.sqlite: times writing the Book Listing and the detailed listing
// of a generated catalogue into report files, with the peak memory after each.
#include "db/Catalogue.h"
#include "reports/ReportWriter.h"
#include "reports/Reports.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {

// Peak and current resident memory of this process in MiB, from the kernel's status file.
QString memoryNow() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    QString peak;
    QString resident;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QString text = QString::fromLatin1(line);
        const auto mib = [&] {
            return QString::number(text.section(u':', 1).trimmed().section(u' ', 0, 0).toLongLong() / 1024);
        };
        if (text.startsWith(QLatin1StringView("VmHWM:")))
            peak = mib();
        else if (text.startsWith(QLatin1StringView("VmRSS:")))
            resident = mib();
    }
    return resident + QStringLiteral(" MiB now, ") + peak + QStringLiteral(" MiB peak");
}

// Processor time this process has used so far (user and system), in milliseconds; the
// figure that holds on a machine shared with other work.
qint64 cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

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
    out << "start: " << memoryNow() << '\n';
    for (const ReportKind kind : {ReportKind::BookListing, ReportKind::DetailedListing}) {
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuBefore = cpuMs();
        RunReport(kind);
        out << MakeReport(kind)->Name() << ": " << timer.elapsed() << " ms (" << cpuMs() - cpuBefore
            << " ms processor), " << pages << " pages, " << fileSize / (1024 * 1024) << " MiB file; "
            << memoryNow() << '\n';
        out.flush();
    }
    return 0;
}
