// tomekeep-generate N FILE: writes a catalogue of N made-up books to FILE.
#include "CatalogueGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    bool numeric = false;
    const int count = args.size() == 3 ? args[1].toInt(&numeric) : 0;
    if (!numeric || count < 0 || count > 1000000) {
        err << "usage: tomekeep-generate N FILE   (N from 0 to 1000000 books)\n";
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    GeneratorOptions options;
    options.bookCount = count;
    const DbStatus status = GenerateCatalogue(args[2], options);
    if (!status) {
        err << status.error().messageText() << '\n';
        return 1;
    }
    QTextStream(stdout) << "wrote " << count << " books to " << args[2] << " in " << timer.elapsed()
                        << " ms\n";
    return 0;
}
