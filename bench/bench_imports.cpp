// tomekeep-bench-imports [ROWS]: writes a Goodreads export of ROWS books (100,000 unless given),
// imports it into a new catalogue, imports it again (every book found and updated), and exports the
// catalogue to CSV. Everything happens in a temporary folder.
#include "BenchMeasure.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "imports/CsvExport.h"
#include "imports/ForeignImport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

const char* const kHeader =
    "Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My Rating,Average Rating,Publisher,"
    "Binding,Number of Pages,Year Published,Original Publication Year,Date Read,Date Added,Bookshelves,"
    "Bookshelves with positions,Exclusive Shelf,My Review,Spoiler,Private Notes,Read Count,Owned Copies\r\n";

// The check digit of a made-up ISBN-13, so every book has a valid and different one.
QString isbnOf(int n) {
    const QString twelve = QStringLiteral("978%1").arg(n, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += twelve[i].digitValue() * (i % 2 ? 3 : 1);
    return twelve + QString::number((10 - sum % 10) % 10);
}

bool writeGoodreadsFile(const QString& path, int rows) {
    static const char* const bindings[] = {
        "Paperback", "Hardcover", "Kindle Edition", "Mass Market Paperback", "Audible Audio", ""};
    static const char* const shelves[] = {"read", "to-read", "currently-reading"};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = kHeader;
    for (int n = 1; n <= rows; ++n) {
        bytes +=
            QStringLiteral("%1,\"Book %1, a novel\",Author %2,\"%2, Author\",,=\"\",=\"%3\",%4,3.9,"
                           "Publisher %5,%6,%7,%8,%8,,2023/%9/%10,,,%11,\"A review\nof two lines\",,,1,0\r\n")
                .arg(n)
                .arg(n % 5000)
                .arg(isbnOf(n))
                .arg(n % 6)
                .arg(n % 300)
                .arg(QLatin1String(bindings[n % 6]))
                .arg(100 + n % 700)
                .arg(1900 + n % 120)
                .arg(1 + n % 12)
                .arg(1 + n % 28)
                .arg(QLatin1String(shelves[n % 3]))
                .toUtf8();
        if (bytes.size() > (1 << 20) && file.write(bytes) >= 0)
            bytes.clear();
    }
    return file.write(bytes) >= 0 && file.flush();
}

void timed(const QString& label, const std::function<QString()>& work) {
    const StepMeter meter;
    const QString detail = work();
    QTextStream(stdout) << label << ": " << meter.figures() << " (" << detail << ")\n";
}

QString importFile(const QString& path) {
    const ForeignImportResult result = ImportForeignFile(path);
    if (result.status != ForeignImportResult::Status::Done)
        return QStringLiteral("failed: ") + result.error;
    return QStringLiteral("%1 added, %2 updated, %3 skipped")
        .arg(result.added)
        .arg(result.updated)
        .arg(result.skipped.size());
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir home;
    qputenv("TOMEKEEP_HOME", QFile::encodeName(home.path()));
    const QString source = home.filePath(QStringLiteral("goodreads_library_export.csv"));
    const QString target = home.filePath(QStringLiteral("books.csv"));
    if (rows <= 0 || !writeGoodreadsFile(source, rows)) {
        QTextStream(stderr) << "usage: tomekeep-bench-imports [ROWS]\n";
        return 2;
    }
    gDBName = QStringLiteral("BENCH");
    if (DbStatus opened = OpenDatabase(); !opened || !UpdateDatabase()) {
        QTextStream(stderr) << "cannot create the catalogue\n";
        return 1;
    }
    QTextStream(stdout) << "Goodreads file of " << rows << " books, " << QFile(source).size() / 1000000
                        << " MB\n";
    timed(QStringLiteral("import into a new catalogue"), [&] { return importFile(source); });
    timed(QStringLiteral("import again"), [&] { return importFile(source); });
    timed(QStringLiteral("export to CSV"), [&] {
        const CsvExportResult result = ExportCsv(target);
        return result.done
                   ? QStringLiteral("%1 books, %2 MB").arg(result.count).arg(QFile(target).size() / 1000000)
                   : result.error;
    });
    gConn.close();
    return 0;
}
