// tomekeep-bench-exchange FILE.sqlite: times the export of every book of a catalogue, the import
// of that file into a new catalogue and into the same catalogue (every line overwrites a book),
// and check and repair over all books, without and with the progress window. FILE is copied
// first and never changed. First of all it measures how much memory the import of a file with
// one 100 MB line takes.
#include "BenchMeasure.h"
#include "app/ProgressWindows.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/Exporter.h"
#include "exchange/Importer.h"
#include "main/Maintenance.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <sys/resource.h>

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

bool fail(const QString& what) {
    QTextStream(stderr) << what << '\n';
    return false;
}

bool open(const QString& name) {
    gConn.close();
    gDBName = name;
    const DbStatus opened = OpenDatabase();
    return opened ? true : fail(opened.error().messageText());
}

// Runs `work` and prints its figures; `work` answers what to print after them.
bool timed(const QString& label, const std::function<std::optional<QString>()>& work) {
    const StepMeter meter;
    const std::optional<QString> detail = work();
    if (!detail)
        return false;
    out() << label << ": " << meter.figures() << " (" << *detail << ")\n";
    out().flush();
    return true;
}

std::optional<QString> exportAll(const QString& path) {
    const ExportResult result = ExportBooks(path);
    if (result.status != ExportResult::Status::Done)
        return fail(result.error), std::nullopt;
    return QStringLiteral("%1 books, %2 MB").arg(result.count).arg(QFile(path).size() / 1e6, 0, 'f', 1);
}

std::optional<QString> importAll(const QString& path) {
    const ImportResult result = ImportExchangeFile(path);
    if (result.status != ImportResult::Status::Done)
        return fail(result.error), std::nullopt;
    return QStringLiteral("%1 books").arg(result.imported);
}

std::optional<QString> repairAll(const std::function<bool()>& step) {
    const auto repairs = RepairBookReferences(step);
    if (!repairs)
        return fail(repairs.error().messageText()), std::nullopt;
    return QStringLiteral("%1 repairs").arg(*repairs);
}

qint64 peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A line longer than any book is passed over without being held in memory whole.
std::optional<QString> importOneLongLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString()), std::nullopt;
    file.write(ExchangeHeader().toUtf8() + "\r\n");
    const QByteArray block(1 << 20, 'x');
    for (int i = 0; i < 100; ++i)
        file.write(block);
    file.write("\r\n");
    file.close();
    const qint64 before = peakMemoryKb();
    const ImportResult result = ImportExchangeFile(path);
    return QStringLiteral("%1 line skipped; peak memory grew by %2 MB")
        .arg(result.skipped)
        .arg((peakMemoryKb() - before) / 1024.0, 0, 'f', 1);
}

// Points one book in a hundred at a subject that does not exist, so the repair has work to do.
bool breakSomeSubjects() {
    const DbStatus broken =
        gConn.execute(QStringLiteral("UPDATE [Book] SET [SubjectId] = 99999 WHERE [BookId] % 100 = 0"));
    return broken ? true : fail(broken.error().messageText());
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || !QFile::exists(args[1])) {
        QTextStream(stderr)
            << "usage: tomekeep-bench-exchange FILE.sqlite   (a catalogue from tomekeep-generate)\n";
        return 2;
    }
    QTemporaryDir home;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
    if (!QFile::copy(args[1], home.filePath(QStringLiteral("SOURCE.sqlite"))))
        return fail(QStringLiteral("cannot copy %1").arg(args[1])), 1;
    const QString file = home.filePath(QStringLiteral("books.txt"));
    const auto bookCount = [] {
        const auto count = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
        return count ? std::optional<QString>(QStringLiteral("%1 books in the catalogue").arg(*count))
                     : std::nullopt;
    };

    const bool ok =
        open(QStringLiteral("SOURCE")) &&
        timed(QStringLiteral("import of one 100 MB line"), [&] { return importOneLongLine(file); }) &&
        timed(QStringLiteral("export"), [&] { return exportAll(file); }) && open(QStringLiteral("FRESH")) &&
        timed(QStringLiteral("import into a new catalogue"), [&] { return importAll(file); }) &&
        timed(QStringLiteral("  then"), bookCount) && open(QStringLiteral("SOURCE")) &&
        timed(QStringLiteral("import into the same catalogue"), [&] { return importAll(file); }) &&
        breakSomeSubjects() && timed(QStringLiteral("check and repair"), [] { return repairAll({}); }) &&
        breakSomeSubjects() && timed(QStringLiteral("check and repair with the progress window"), [&] {
            const auto count = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
            StartProgress(QStringLiteral("Check database"), 1, count ? int(*count) : 0);
            const auto result = repairAll([] {
                ProgressStep(QStringLiteral("Check database"));
                return !gCancelled;
            });
            EndProgress();
            return result;
        });
    gConn.close();
    return ok ? 0 : 1;
}
