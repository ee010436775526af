#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QCommandLineParser;

// What tomekeep-cli answers its caller.
enum CliExit : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// One command of tomekeep-cli: its name, what it does, its usage line, how to read its options
// and what it does with them. The catalogue is open when run is called.
struct CliCommand {
    const char* name;
    const char* summary;
    const char* usage;
    void (*addOptions)(QCommandLineParser& parser);
    int (*run)(const QCommandLineParser& parser);
};

// Every command, in the order --help lists them.
const std::vector<CliCommand>& CliCommands();

// Runs tomekeep-cli with its arguments (the program name first) and answers its exit code.
int RunCli(const QStringList& arguments);

// Says on standard error what failed and answers kExitFailed.
int CliFail(const QString& message);
// Says on standard error what is wrong with the command line and answers kExitUsage.
int CliUsageError(const QString& command, const QString& message);
void CliPrint(const QString& line);

// The commands, one file each.
int RunList(const QCommandLineParser& parser);
void ListOptions(QCommandLineParser& parser);
int RunAdd(const QCommandLineParser& parser);
void AddOptions(QCommandLineParser& parser);
void ExportOptions(QCommandLineParser& parser);
int RunExport(const QCommandLineParser& parser);
int RunImport(const QCommandLineParser& parser);
void FileArgument(QCommandLineParser& parser);
int RunCheck(const QCommandLineParser& parser);
int RunBackup(const QCommandLineParser& parser);
void NoOptions(QCommandLineParser& parser);
