#include "db/CaseFoldLike.h"

#include "db/SqliteHandle.h"

#include <sqlite3.h>
#include <vector>

namespace {

enum class TokenKind { Literal, AnyOne, AnyRun };

struct Token {
    TokenKind kind;
    char16_t folded;
};

char16_t fold(QChar c) {
    return c.toCaseFolded().unicode();
}

std::vector<Token> compilePattern(QStringView pattern, std::optional<QChar> escape) {
    std::vector<Token> tokens;
    tokens.reserve(static_cast<size_t>(pattern.size()));
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (escape && c == *escape && i + 1 < pattern.size()) {
            tokens.push_back({TokenKind::Literal, fold(pattern[++i])});
        } else if (c == u'%') {
            if (tokens.empty() || tokens.back().kind != TokenKind::AnyRun)
                tokens.push_back({TokenKind::AnyRun, 0});
        } else if (c == u'_') {
            tokens.push_back({TokenKind::AnyOne, 0});
        } else {
            tokens.push_back({TokenKind::Literal, fold(c)});
        }
    }
    return tokens;
}

// Greedy match with backtracking to the last "%": linear for the patterns users type.
bool matchTokens(const std::vector<Token>& tokens, QStringView text) {
    size_t t = 0;
    qsizetype s = 0;
    size_t starToken = SIZE_MAX;
    qsizetype starText = 0;
    while (s < text.size()) {
        if (t < tokens.size() && tokens[t].kind == TokenKind::AnyRun) {
            starToken = t++;
            starText = s;
        } else if (t < tokens.size() &&
                   (tokens[t].kind == TokenKind::AnyOne || tokens[t].folded == fold(text[s]))) {
            ++t;
            ++s;
        } else if (starToken != SIZE_MAX) {
            t = starToken + 1;
            s = ++starText;
        } else {
            return false;
        }
    }
    while (t < tokens.size() && tokens[t].kind == TokenKind::AnyRun)
        ++t;
    return t == tokens.size();
}

QStringView textOf(sqlite3_value* value) {
    const auto* data = static_cast<const char16_t*>(sqlite3_value_text16(value));
    const int bytes = sqlite3_value_bytes16(value);
    return data ? QStringView(data, bytes / 2) : QStringView();
}

void sqlLike(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    std::optional<QChar> escape;
    if (argc == 3) {
        const QStringView esc = textOf(argv[2]);
        if (esc.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = esc[0];
    }
    // One statement compares many rows with one pattern: it is compiled once and kept with the
    // statement while the pattern stays the same.
    if (argc == 2) {
        auto* tokens = static_cast<std::vector<Token>*>(sqlite3_get_auxdata(context, 0));
        if (!tokens) {
            tokens = new std::vector<Token>(compilePattern(textOf(argv[0]), escape));
            sqlite3_set_auxdata(context, 0, tokens,
                                [](void* kept) { delete static_cast<std::vector<Token>*>(kept); });
            // The engine may have let go of it at once; it is then fetched again next time.
            tokens = static_cast<std::vector<Token>*>(sqlite3_get_auxdata(context, 0));
        }
        if (tokens) {
            sqlite3_result_int(context, matchTokens(*tokens, textOf(argv[1])) ? 1 : 0);
            return;
        }
    }
    // Read the text first: asking for the pattern's UTF-16 form may not move the text's buffer.
    const QString pattern = textOf(argv[0]).toString();
    const QStringView text = textOf(argv[1]);
    sqlite3_result_int(context, caseFoldLikeMatch(pattern, text, escape) ? 1 : 0);
}

} // namespace

bool caseFoldLikeMatch(QStringView pattern, QStringView text, std::optional<QChar> escape) {
    return matchTokens(compilePattern(pattern, escape), text);
}

bool registerCaseFoldLike(const QSqlDatabase& database) {
    sqlite3* connection = SqliteHandle(database);
    if (!connection)
        return false;
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(connection, "like", 2, flags, nullptr, sqlLike, nullptr, nullptr,
                                      nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(connection, "like", 3, flags, nullptr, sqlLike, nullptr, nullptr,
                                      nullptr) == SQLITE_OK;
}
