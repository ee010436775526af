#pragma once

#include <QStringView>
#include <optional>

class QSqlDatabase;

// LIKE as the catalogue uses it: "%" any run, "_" any one character, letter case ignored
// for every alphabet (so "émile%" finds "Émile Zola"), not only for ASCII.
bool caseFoldLikeMatch(QStringView pattern, QStringView text, std::optional<QChar> escape = std::nullopt);

// Replaces the engine's LIKE on this connection with caseFoldLikeMatch.
bool registerCaseFoldLike(const QSqlDatabase& database);
