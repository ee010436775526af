#pragma once

#include "reports/SpoolScramble.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reading a report spool file: a text file of drawing commands, one item a line, each line
// ended by CR LF, optionally scrambled with a password, followed by an unscrambled trailer
// that gives the byte position of every page. Nothing here draws; the renderers do.

// Undoes the scrambling of one line read without its CR LF, the key's counters standing
// where they were when the line was written; they then step past its CR LF too.
QByteArray UnscrambleLine(const QByteArray& line, ScrambleKey& key);

// Spool text is UTF-8; files from older installations are Windows-1252.
QString DecodeSpoolText(const QByteArray& bytes);

// The numbers of a spool file. Decimals are read with "." or with the user's locale's
// separator, so files written under either convention read back alike.
std::optional<double> SpoolDecimal(QStringView text);
// A whole number that fits 32 bits; a decimal text is rounded to the nearest.
std::optional<int> SpoolInteger(QStringView text);

// Reads a spool file line by line from any page's byte position.
class SpoolFileReader {
public:
    explicit SpoolFileReader(const QString& path, const ScrambleKey& key = ScrambleKey());

    bool open();
    bool isOpen() const { return m_file.isOpen(); }
    qint64 size() const { return m_file.size(); }
    bool atEnd() const { return m_file.atEnd(); }
    // Moves to a 1-based byte position; false when it lies outside the file.
    bool seekTo(qint64 position);
    // The 1-based position of the next byte to be read.
    qint64 position() const { return m_file.pos() + 1; }
    // One line without its line end, unscrambled when a key is set; empty at the end.
    QString ReadSpoolLine();

private:
    QFile m_file;
    ScrambleKey m_key;
};

// Every command of the spool language; lines that are no command read as Unknown.
enum class SpoolOp {
    Version,
    ReportName,
    CreatedBy,
    CreateDate,
    CreateTime,
    Note,
    Orientation,
    PaperSize,
    BeginningOfReport,
    Cr,
    Text,
    Font,
    Bold,
    Normal,
    Italics,
    FontColor,
    SetTab,
    ResetTabs,
    SetPos,
    Box,
    LineAbove,
    LineBelow,
    ScreenOnly,
    NewPage,
    EndOfReport,
    Unknown,
};

// One command with its argument lines, as read; the arguments are converted on use, so a
// damaged number spoils only the command that holds it.
struct SpoolCommand {
    SpoolOp op = SpoolOp::Unknown;
    QStringList args;

    QString text(int index) const { return index < args.size() ? args.at(index) : QString(); }
    std::optional<int> integer(int index) const { return SpoolInteger(text(index)); }
    std::optional<double> decimal(int index) const { return SpoolDecimal(text(index)); }
};

// Reads the next command and all its argument lines (empty lines past the end of the file).
SpoolCommand ReadSpoolCommand(SpoolFileReader& reader);
// The spelling of a command, as a spool file holds it.
QString SpoolCommandName(SpoolOp op);

struct SpoolHeader {
    int version = 0;
    QString reportName;
    QString createdBy;
    QString createDate;
    QString createTime;
    QString note;
    int orientation = 0;
    int paperSize = 0;
};

// Stores a header command's argument in the header; false for any other command.
bool ApplyHeaderCommand(const SpoolCommand& command, SpoolHeader& header);
// Reads the header block from the reader's position up to "/BEGINNINGOFREPORT".
SpoolHeader ReadSpoolHeader(SpoolFileReader& reader);

// Whether the file starts scrambled: an unscrambled spool file begins with "/".
bool IsScrambledSpool(const QString& path);

// The page positions of the trailer, found from the file's last "/". Nothing when the trailer
// is missing or does not hold a usable position for every page it counts.
std::optional<QList<qint64>> ReadPageTrailer(const QString& path);
// The page positions found by reading the whole body: page 1 at the start, every further
// page after its "/NEWPAGE" line. Stands in for a missing or damaged trailer.
QList<qint64> ScanPageOffsets(SpoolFileReader& reader);
