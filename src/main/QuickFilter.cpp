#include "main/QuickFilter.h"

#include <QString>
#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr char kFieldSeparator = '\x1f';
// A unit whose folded form is not known yet, and one that folds to nothing (a combining accent).
constexpr char16_t kUnknown = 0xFFFF;
constexpr char16_t kDropped = 0xFFFE;

char16_t foldUnit(char16_t unit) {
    const QChar c(unit);
    if (c.isSurrogate())
        return unit;
    if (c.category() == QChar::Mark_NonSpacing)
        return kDropped;
    // The base letter of an accented one: the first unit of its canonical decomposition.
    const QString base = QString(c).normalized(QString::NormalizationForm_D);
    return base.isEmpty() ? unit : base.at(0).toCaseFolded().unicode();
}

// Folding a unit means a Unicode lookup; each is done once per run and remembered.
char16_t folded(char16_t unit) {
    static const auto table = [] {
        auto units = std::make_unique<std::array<char16_t, 0x10000>>();
        units->fill(kUnknown);
        return units;
    }();
    char16_t& known = (*table)[unit];
    if (known == kUnknown)
        known = foldUnit(unit);
    return known;
}

void appendUtf8(std::string& out, char16_t unit) {
    if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        // Surrogates are written unit by unit: both sides of a comparison are folded alike.
        out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

void appendFolded(std::string& out, QStringView text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit));
            continue;
        }
        const char16_t base = folded(unit);
        if (base != kDropped)
            appendUtf8(out, base);
    }
}

void appendFoldedUnit(std::string& out, char16_t unit) {
    const char16_t base = folded(unit);
    if (base != kDropped)
        appendUtf8(out, base);
}

// One code point of UTF-8 from `at` on; `at` moves past it. A broken sequence reads as one
// replacement character.
char32_t nextCodePoint(std::string_view utf8, size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || at + static_cast<size_t>(extra) > utf8.size())
        return 0xFFFD;
    char32_t point = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i)
        point = (point << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
    return point;
}

} // namespace

std::string FoldForFilter(QStringView text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    appendFolded(out, text);
    return out;
}

std::string BookFilterKey(std::initializer_list<QStringView> fields) {
    std::string key;
    for (const QStringView field : fields)
        AppendFilterField(key, field);
    return key;
}

void AppendFilterField(std::string& key, QStringView field) {
    if (!key.empty())
        key.push_back(kFieldSeparator);
    appendFolded(key, field);
}

void AppendUtf8FilterField(std::string& key, std::string_view utf8) {
    if (!key.empty())
        key.push_back(kFieldSeparator);
    for (size_t at = 0; at < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if (byte < 0x80) {
            key.push_back(static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte));
            ++at;
            continue;
        }
        const char32_t point = nextCodePoint(utf8, at);
        if (point < 0x10000) {
            appendFoldedUnit(key, static_cast<char16_t>(point));
        } else {
            // Written unit by unit, as the typed words are.
            appendFoldedUnit(key, static_cast<char16_t>(0xD7C0 + (point >> 10)));
            appendFoldedUnit(key, static_cast<char16_t>(0xDC00 | (point & 0x3FF)));
        }
    }
}

void AppendFoldedField(std::string& key, std::string_view folded) {
    if (!key.empty())
        key.push_back(kFieldSeparator);
    key.append(folded);
}

std::vector<std::string> FilterWords(QStringView typed) {
    std::vector<std::string> words;
    for (const QStringView word : typed.split(u' ', Qt::SkipEmptyParts)) {
        std::string folded = FoldForFilter(word.trimmed());
        std::erase_if(folded, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
        if (!folded.empty())
            words.push_back(std::move(folded));
    }
    return words;
}

bool MatchesFilter(std::string_view key, const std::vector<std::string>& words) {
    return std::all_of(words.begin(), words.end(),
                       [key](const std::string& word) { return key.find(word) != std::string_view::npos; });
}
