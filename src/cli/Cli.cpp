#include "cli/Cli.h"

#include "db/Catalogue.h"
#include "db/Connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

QTextStream& standardError() {
    static QTextStream stream(stderr);
    return stream;
}

QString generalHelp() {
    QString help = QStringLiteral("Usage: tomekeep-cli [--catalogue NAME|FILE] COMMAND [options]\n\n"
                                  "Works on a Tomekeep catalogue without a window: the one the program "
                                  "opens, or the one --catalogue names.\n\nCommands:\n");
    for (const CliCommand& command : CliCommands())
        help += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(command.name), -10)
                    .arg(QLatin1String(command.summary));
    help += QStringLiteral("\n'tomekeep-cli COMMAND --help' tells more about one command.\n"
                           "Exit codes: 0 done, 1 failed, 2 wrong command line.");
    return help;
}

// A --catalogue value with a folder or an extension names a file; anything else a catalogue name.
bool namesAFile(const QString& catalogue) {
    return catalogue.contains(u'/') || catalogue.contains(u'\\') || !QFileInfo(catalogue).suffix().isEmpty();
}

DbStatus openCatalogue(const QString& catalogue) {
    DbStatus opened;
    if (catalogue.isEmpty()) {
        ReadDBName();
        opened = OpenDatabase();
    } else if (namesAFile(catalogue)) {
        opened = OpenCatalogueFile(QFileInfo(catalogue).absoluteFilePath());
    } else {
        gDBName = CleanCatalogueName(catalogue);
        opened = OpenDatabase();
    }
    return opened ? UpdateDatabase() : opened;
}

// Takes "--catalogue VALUE" or "--catalogue=VALUE" out of the arguments, wherever it stands.
bool takeCatalogue(QStringList& arguments, QString& catalogue, QString& problem) {
    const QString option = QStringLiteral("--catalogue");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--")
            break;
        if (arguments[i].startsWith(option + u'=')) {
            catalogue = arguments.takeAt(i).mid(option.size() + 1);
            --i;
        } else if (arguments[i] == option) {
            if (i + 1 >= arguments.size()) {
                problem = QStringLiteral("--catalogue needs a catalogue name or file");
                return false;
            }
            arguments.removeAt(i);
            catalogue = arguments.takeAt(i);
            --i;
        }
    }
    return true;
}

const CliCommand* findCommand(const QString& name) {
    for (const CliCommand& command : CliCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString commandHelp(const CliCommand& command, const QCommandLineParser& parser) {
    QString options = parser.helpText();
    // The parser's own usage line names the program only; the command's says it all.
    options = options.mid(options.indexOf(u'\n') + 1);
    return QStringLiteral("Usage: tomekeep-cli %1\n\n%2\n%3")
        .arg(QLatin1String(command.usage), QLatin1String(command.summary), options)
        .trimmed();
}

} // namespace

int CliFail(const QString& message) {
    standardError() << "tomekeep-cli: " << message << Qt::endl;
    return kExitFailed;
}

int CliUsageError(const QString& command, const QString& message) {
    standardError() << "tomekeep-cli: " << message << "\nSee 'tomekeep-cli " << command
                    << (command.isEmpty() ? "" : " ") << "--help'." << Qt::endl;
    return kExitUsage;
}

void CliPrint(const QString& line) {
    static QTextStream out(stdout);
    out << line << Qt::endl;
}

int RunCli(const QStringList& given) {
    QStringList arguments = given;
    QString catalogue;
    QString problem;
    if (!takeCatalogue(arguments, catalogue, problem))
        return CliUsageError(QString(), problem);
    const QString first = arguments.value(1);
    if (first.isEmpty()) {
        standardError() << generalHelp() << Qt::endl;
        return kExitUsage;
    }
    if (first == u"--help" || first == u"-h" || first == u"help") {
        CliPrint(generalHelp());
        return kExitDone;
    }
    if (first == u"--version") {
        CliPrint(QStringLiteral("tomekeep-cli %1").arg(QCoreApplication::applicationVersion()));
        return kExitDone;
    }
    const CliCommand* command = findCommand(first);
    if (!command)
        return CliUsageError(QString(), QStringLiteral("'%1' is not a command").arg(first));

    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(command->summary));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Tells what the command does and how to call it."));
    parser.addOption(help);
    command->addOptions(parser);
    // The parser passes over its first entry as the program's name: here the command's.
    if (!parser.parse(arguments.mid(1)))
        return CliUsageError(first, parser.errorText());
    if (parser.isSet(help)) {
        CliPrint(commandHelp(*command, parser));
        return kExitDone;
    }
    if (DbStatus opened = openCatalogue(catalogue); !opened)
        return CliFail(QStringLiteral("cannot open the catalogue: %1").arg(opened.error().messageText()));
    const int code = command->run(parser);
    gConn.close();
    return code;
}

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"list",
         "Lists the books, tab-separated: number, title, author, subject, location, pages, copyright, stars.",
         "list [--search KIND PATTERN]", ListOptions, RunList},
        {"add", "Adds a book: looked up online by its ISBN, or with the title and authors given.",
         "add --isbn ISBN | add --title TITLE [--author AUTHOR ...]", AddOptions, RunAdd},
        {"export", "Writes every book to an exchange file, or with --csv to a CSV file for spreadsheets.",
         "export [--csv] FILE", ExportOptions, RunExport},
        {"import",
         "Reads the books of an exchange file, or of a Goodreads or LibraryThing export, into the catalogue.",
         "import FILE", FileArgument, RunImport},
        {"check", "Checks the books' references to the lookup lists and repairs broken ones.", "check",
         NoOptions, RunCheck},
        {"backup", "Copies the whole catalogue, consistent even while it is in use, to a new file.",
         "backup FILE", FileArgument, RunBackup},
    };
    return commands;
}
