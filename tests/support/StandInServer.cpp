#include "support/StandInServer.h"

#include <QTcpSocket>

StandInServer::StandInServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

QString StandInServer::baseUrl() const {
    return u"http://127.0.0.1:%1"_s.arg(m_server.serverPort());
}

void StandInServer::serve(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    ++m_requests;
    const QByteArray target = request.split(' ').value(1);
    const Answer answer = m_answers.value(QUrl(QString::fromLatin1(target)).path(), Answer{404, "{}"});
    if (answer.silent)
        return;
    socket->write(
        "HTTP/1.1 " + QByteArray::number(answer.status) + " Stand-in\r\nContent-Type: " + answer.contentType +
        "\r\nContent-Length: " + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n");
    socket->write(answer.body);
    socket->disconnectFromHost();
}

QString StandInServer::play(const QString& scenario) {
    if (scenario == u"found" || scenario == u"no cover")
        answerBooks(CrimeAndPunishmentAnswer(baseUrl() + u"/covers/1.jpg"_s));
    if (scenario == u"found")
        answer(u"/covers/1.jpg"_s, {200, TallCoverJpeg(), "image/jpeg"});
    else if (scenario == u"500")
        answer(u"/api/books"_s, {500, "oops"});
    else if (scenario == u"huge")
        answerBooks(QByteArray(10 * 1024 * 1024, ' '));
    else if (scenario == u"silent")
        answer(u"/api/books"_s, {200, {}, {}, true});
    else if (scenario.startsWith(u'{'))
        answerBooks(scenario.toUtf8());
    return scenario == u"closed" ? ClosedPortUrl() : baseUrl();
}

QByteArray CrimeAndPunishmentAnswer(const QString& coverUrl) {
    return QStringLiteral(R"({"ISBN:9780140449136": {"url": "https://openlibrary.org/books/OL7353617M",
        "title": "Crime and Punishment", "authors": [{"url": "a", "name": "Fyodor Dostoyevsky"},
        {"name": "David McDuff"}], "publishers": [{"name": "Penguin Classics"}, {"name": "Other"}],
        "publish_date": "February 27, 2003", "number_of_pages": 720,
        "cover": {"small": "%1-S.jpg", "medium": "%1", "large": "%1-L.jpg"}}})")
        .arg(coverUrl)
        .toUtf8();
}

QByteArray EncodedImage(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray TallCoverJpeg() {
    QImage image(400, 900, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    return EncodedImage(image, "JPG");
}

QString ClosedPortUrl() {
    // A port that was just free: listened on, then let go.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return u"http://127.0.0.1:%1"_s.arg(port);
}
