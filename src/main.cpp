#include "app/Leftovers.h"
#include "app/Prompts.h"
#include "app/Resources.h"
#include "app/Startup.h"
#include "main/frmWizard.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {

void describeProgram(QCommandLineParser& parser) {
    QCoreApplication::setApplicationName(QStringLiteral("Tomekeep"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(TOMEKEEP_VERSION_MAJOR)
                                                .arg(TOMEKEEP_VERSION_MINOR)
                                                .arg(TOMEKEEP_VERSION_REVISION, 2, 10, QChar(u'0')));
    parser.setApplicationDescription(
        QStringLiteral("Tomekeep keeps the catalogue of a personal library of books."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A catalogue file to open where it lies, instead of the "
                                                "catalogue named in the settings."),
                                 QStringLiteral("[file]"));
}

// The help, the version and a wrong option are printed without a window: they must work where
// no display is at hand, and a window program cannot start there. Answers the catalogue file
// named on the command line, if any.
QString answerCommandLine(int& argc, char* argv[]) {
    QCommandLineParser parser;
    describeProgram(parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The program's only options are those that print.
    if (parser.parse(arguments) && parser.optionNames().isEmpty())
        return parser.positionalArguments().value(0);
    const QCoreApplication printer(argc, argv);
    parser.process(printer); // prints and ends the program
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    const QString catalogueFile = answerCommandLine(argc, argv);
    QApplication app(argc, argv);
    InitResources();
    QApplication::setDesktopFileName(QStringLiteral("org.tomekeep.Tomekeep"));

    const RunningProgram running;
    std::unique_ptr<frmWizard> window = Main(catalogueFile);
    if (!window)
        return 1;
    return QApplication::exec();
}
