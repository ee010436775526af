#pragma once

#include <QLatin1StringView>
#include <QString>

// The words of the report file language. A command line is followed by its argument lines.
namespace spool {

inline constexpr QLatin1StringView kVersion{"/VERSION"};
inline constexpr QLatin1StringView kReportName{"/REPORTNAME"};
inline constexpr QLatin1StringView kCreatedBy{"/CREATEDBY"};
inline constexpr QLatin1StringView kCreateDate{"/CREATEDATE"};
inline constexpr QLatin1StringView kCreateTime{"/CREATETIME"};
inline constexpr QLatin1StringView kNote{"/NOTE"};
inline constexpr QLatin1StringView kOrientation{"/ORIENTATION"};
inline constexpr QLatin1StringView kPaperSize{"/PAPERSIZE"};
inline constexpr QLatin1StringView kBeginningOfReport{"/BEGINNINGOFREPORT"};
inline constexpr QLatin1StringView kCr{"/CR"};
inline constexpr QLatin1StringView kText{"/TEXT"};
inline constexpr QLatin1StringView kFont{"/FONT"};
inline constexpr QLatin1StringView kBold{"/BOLD"};
inline constexpr QLatin1StringView kNormal{"/NORMAL"};
inline constexpr QLatin1StringView kItalics{"/ITALICS"};
inline constexpr QLatin1StringView kFontColor{"/FONTCOLOR"};
inline constexpr QLatin1StringView kSetTab{"/SETTAB"};
inline constexpr QLatin1StringView kResetTabs{"/RESETTABS"};
inline constexpr QLatin1StringView kSetPos{"/SETPOS"};
inline constexpr QLatin1StringView kBox{"/BOX"};
inline constexpr QLatin1StringView kLineAbove{"/LINEABOVE"};
inline constexpr QLatin1StringView kLineBelow{"/LINEBELOW"};
inline constexpr QLatin1StringView kScreenOnly{"/SCREENONLY"};
inline constexpr QLatin1StringView kNewPage{"/NEWPAGE"};
inline constexpr QLatin1StringView kEndOfReport{"/ENDOFREPORT"};
inline constexpr QLatin1StringView kPageByteOffsets{"/PAGEBYTEOFFSETS"};

inline constexpr int kFileVersion = 1;
inline constexpr QLatin1StringView kCreator{"ZKN"};
// Line ends of every line of the file; byte offsets count them.
inline constexpr char kLineEnd[] = "\r\n";

// Tab stops 0 to 20; stop 0 is never reset.
inline constexpr int kTabCount = 21;

// Alignment of a tab stop.
inline constexpr int kAlignLeft = 1;
inline constexpr int kAlignCentre = 2;
inline constexpr int kAlignRight = 3;

// Style codes; 0 given to a text leaves the style as it is.
inline constexpr int kStyleKeep = 0;
inline constexpr int kStyleNormal = 1;
inline constexpr int kStyleBold = 2;
inline constexpr int kStyleItalic = 3;

// Decimal arguments always use "." and their shortest plain form ("0.1", "10"), whatever
// the user's locale, so a report file reads the same everywhere.
QString FormatDecimal(double value);
// Reads a decimal argument written by FormatDecimal; ok is false for anything else.
double ParseDecimal(const QString& text, bool* ok = nullptr);

} // namespace spool
