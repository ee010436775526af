#include "reports/SpoolReader.h"

#include "reports/SpoolFormat.h"

#include <QLocale>
#include <QStringDecoder>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr char kCommandMark = '/';
constexpr qint64 kTrailerSearchBlock = 4096;

struct CommandSpelling {
    QLatin1StringView name;
    SpoolOp op;
    int arguments;
};

constexpr std::array kCommands{
    CommandSpelling{spool::kVersion, SpoolOp::Version, 1},
    CommandSpelling{spool::kReportName, SpoolOp::ReportName, 1},
    CommandSpelling{spool::kCreatedBy, SpoolOp::CreatedBy, 1},
    CommandSpelling{spool::kCreateDate, SpoolOp::CreateDate, 1},
    CommandSpelling{spool::kCreateTime, SpoolOp::CreateTime, 1},
    CommandSpelling{spool::kNote, SpoolOp::Note, 1},
    CommandSpelling{spool::kOrientation, SpoolOp::Orientation, 1},
    CommandSpelling{spool::kPaperSize, SpoolOp::PaperSize, 1},
    CommandSpelling{spool::kBeginningOfReport, SpoolOp::BeginningOfReport, 0},
    CommandSpelling{spool::kCr, SpoolOp::Cr, 0},
    CommandSpelling{spool::kText, SpoolOp::Text, 2},
    CommandSpelling{spool::kFont, SpoolOp::Font, 3},
    CommandSpelling{spool::kBold, SpoolOp::Bold, 0},
    CommandSpelling{spool::kNormal, SpoolOp::Normal, 0},
    CommandSpelling{spool::kItalics, SpoolOp::Italics, 0},
    CommandSpelling{spool::kFontColor, SpoolOp::FontColor, 1},
    CommandSpelling{spool::kSetTab, SpoolOp::SetTab, 3},
    CommandSpelling{spool::kResetTabs, SpoolOp::ResetTabs, 0},
    CommandSpelling{spool::kSetPos, SpoolOp::SetPos, 2},
    CommandSpelling{spool::kBox, SpoolOp::Box, 5},
    CommandSpelling{spool::kLineAbove, SpoolOp::LineAbove, 3},
    CommandSpelling{spool::kLineBelow, SpoolOp::LineBelow, 3},
    CommandSpelling{spool::kScreenOnly, SpoolOp::ScreenOnly, 0},
    CommandSpelling{spool::kNewPage, SpoolOp::NewPage, 1},
    CommandSpelling{spool::kEndOfReport, SpoolOp::EndOfReport, 0},
};

const CommandSpelling* findCommand(QStringView line) {
    if (!line.startsWith(QLatin1Char(kCommandMark)))
        return nullptr;
    for (const CommandSpelling& command : kCommands) {
        if (line == command.name)
            return &command;
    }
    return nullptr;
}

QByteArray withoutLineEnd(QByteArray line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// The 0-based position of the last "/" of the file, or -1. Read backwards block by block so
// that a large file costs only its trailer.
qint64 lastCommandMark(QFile& file) {
    qint64 end = file.size();
    while (end > 0) {
        const qint64 start = std::max<qint64>(0, end - kTrailerSearchBlock);
        if (!file.seek(start))
            return -1;
        const QByteArray block = file.read(end - start);
        const qsizetype mark = block.lastIndexOf(kCommandMark);
        if (mark >= 0)
            return start + mark;
        end = start;
    }
    return -1;
}

std::optional<qint64> offsetLine(const QByteArray& line, qint64 fileSize) {
    const std::optional<int> offset = SpoolInteger(DecodeSpoolText(line));
    if (!offset || *offset < 1 || *offset > fileSize)
        return std::nullopt;
    return *offset;
}

} // namespace

QByteArray UnscrambleLine(const QByteArray& line, ScrambleKey& key) {
    if (key.isEmpty())
        return line;
    QByteArray plain = line;
    for (char& byte : plain)
        byte = UnscrambleByte(byte, key.nextShift());
    key.nextShift(); // CR
    key.nextShift(); // LF
    return plain;
}

QString DecodeSpoolText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

std::optional<double> SpoolDecimal(QStringView text) {
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> SpoolInteger(QStringView text) {
    const std::optional<double> value = SpoolDecimal(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

SpoolFileReader::SpoolFileReader(const QString& path, const ScrambleKey& key)
    : m_file(path)
    , m_key(key) {}

bool SpoolFileReader::open() {
    return m_file.isOpen() || m_file.open(QIODevice::ReadOnly);
}

bool SpoolFileReader::seekTo(qint64 position) {
    if (position < 1 || position > m_file.size() + 1 || !m_file.seek(position - 1))
        return false;
    m_key.startAt(position);
    return true;
}

QString SpoolFileReader::ReadSpoolLine() {
    if (m_file.atEnd())
        return {};
    return DecodeSpoolText(UnscrambleLine(withoutLineEnd(m_file.readLine()), m_key));
}

QString SpoolCommandName(SpoolOp op) {
    for (const CommandSpelling& command : kCommands) {
        if (command.op == op)
            return command.name;
    }
    return {};
}

SpoolCommand ReadSpoolCommand(SpoolFileReader& reader) {
    const CommandSpelling* spelling = findCommand(reader.ReadSpoolLine());
    if (!spelling)
        return {};
    SpoolCommand command{spelling->op, {}};
    command.args.reserve(spelling->arguments);
    for (int i = 0; i < spelling->arguments; ++i)
        command.args.append(reader.ReadSpoolLine());
    return command;
}

bool ApplyHeaderCommand(const SpoolCommand& command, SpoolHeader& header) {
    const auto number = [&command](int& field) {
        field = command.integer(0).value_or(field);
    };
    switch (command.op) {
    case SpoolOp::Version:
        number(header.version);
        return true;
    case SpoolOp::Orientation:
        number(header.orientation);
        return true;
    case SpoolOp::PaperSize:
        number(header.paperSize);
        return true;
    case SpoolOp::ReportName:
        header.reportName = command.text(0);
        return true;
    case SpoolOp::CreatedBy:
        header.createdBy = command.text(0);
        return true;
    case SpoolOp::CreateDate:
        header.createDate = command.text(0);
        return true;
    case SpoolOp::CreateTime:
        header.createTime = command.text(0);
        return true;
    case SpoolOp::Note:
        header.note = command.text(0);
        return true;
    default:
        return false;
    }
}

SpoolHeader ReadSpoolHeader(SpoolFileReader& reader) {
    SpoolHeader header;
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        // The header ends where the body begins; a file that lost that line still stops at
        // its first page break rather than reading a whole report.
        if (command.op == SpoolOp::BeginningOfReport || command.op == SpoolOp::NewPage ||
            command.op == SpoolOp::EndOfReport)
            break;
        ApplyHeaderCommand(command, header);
    }
    return header;
}

bool IsScrambledSpool(const QString& path) {
    QFile file(path);
    char first = 0;
    return file.open(QIODevice::ReadOnly) && file.getChar(&first) && first != kCommandMark;
}

std::optional<QList<qint64>> ReadPageTrailer(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 mark = lastCommandMark(file);
    if (mark < 0 || !file.seek(mark))
        return std::nullopt;
    if (QLatin1StringView(withoutLineEnd(file.readLine())) != spool::kPageByteOffsets)
        return std::nullopt;
    const std::optional<int> count = SpoolInteger(DecodeSpoolText(withoutLineEnd(file.readLine())));
    if (!count || *count < 1)
        return std::nullopt;
    QList<qint64> offsets;
    // The count is not trusted for the allocation: every page must show its own line.
    while (offsets.size() < *count && !file.atEnd()) {
        const std::optional<qint64> offset = offsetLine(withoutLineEnd(file.readLine()), file.size());
        if (!offset)
            return std::nullopt;
        offsets.append(*offset);
    }
    if (offsets.size() < *count)
        return std::nullopt;
    return offsets;
}

QList<qint64> ScanPageOffsets(SpoolFileReader& reader) {
    QList<qint64> offsets{1};
    if (!reader.open() || !reader.seekTo(1))
        return offsets;
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::EndOfReport)
            break;
        if (command.op == SpoolOp::NewPage && !reader.atEnd())
            offsets.append(reader.position());
    }
    return offsets;
}
