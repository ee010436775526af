#include "online/Covers.h"

#include "db/Connection.h"
#include "db/Recordset.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace {

QByteArray encode(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A photograph keeps small as JPEG; only a picture with transparency needs PNG.
    const bool transparent = image.hasAlphaChannel();
    image.save(&buffer, transparent ? "PNG" : "JPG", transparent ? -1 : 88);
    return bytes;
}

} // namespace

QByteArray PrepareCover(const QByteArray& bytes) {
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source);
    const QByteArray format = reader.format();
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    if (image.height() > kCoverMaxHeight)
        return encode(image.scaledToHeight(kCoverMaxHeight, Qt::SmoothTransformation));
    // Small enough already: the bytes as they came, unless no other reader would know them.
    if (format == "jpeg" || format == "png")
        return bytes;
    return encode(image);
}

DbResult<QByteArray> ReadCover(int bookId) {
    auto row =
        Recordset::open(QStringLiteral("SELECT [Image] FROM [BookCover] WHERE [BookId] = ?"), {bookId});
    if (!row)
        return row.error();
    return row->eof() ? QByteArray() : row->field(0).toByteArray();
}

DbStatus WriteCover(int bookId, const QByteArray& prepared) {
    if (prepared.isEmpty())
        return gConn.execute(QStringLiteral("DELETE FROM [BookCover] WHERE [BookId] = ?"), {bookId});
    return gConn.execute(
        QStringLiteral("INSERT OR REPLACE INTO [BookCover] ([BookId], [Image]) VALUES (?, ?)"),
        {bookId, prepared});
}
