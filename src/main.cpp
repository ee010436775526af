#include "app/Prompts.h"
#include "app/Resources.h"
#include "app/Startup.h"
#include "main/frmWizard.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InitResources();
    QApplication::setApplicationName(QStringLiteral("Tomekeep"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TOMEKEEP_VERSION_MAJOR)
                                            .arg(TOMEKEEP_VERSION_MINOR)
                                            .arg(TOMEKEEP_VERSION_REVISION, 2, 10, QChar(u'0')));
    QApplication::setDesktopFileName(QStringLiteral("tomekeep"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tomekeep keeps the catalogue of a personal library of books."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A catalogue file to open where it lies, instead of the "
                                                "catalogue named in the settings."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    std::unique_ptr<frmWizard> window = Main(parser.positionalArguments().value(0));
    if (!window)
        return 1;
    return QApplication::exec();
}
