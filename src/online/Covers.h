#pragma once

#include "db/DbResult.h"

#include <QByteArray>

// Covers are kept no taller than this: enough for the editor, small enough for a million books.
inline constexpr int kCoverMaxHeight = 600;

// The picture as the catalogue keeps it, scaled down to kCoverMaxHeight pixels high when taller;
// empty when the bytes are not a picture.
QByteArray PrepareCover(const QByteArray& bytes);
// The book's stored cover; empty when it has none.
DbResult<QByteArray> ReadCover(int bookId);
// Stores a prepared cover for the book; an empty one removes the cover.
DbStatus WriteCover(int bookId, const QByteArray& prepared);
