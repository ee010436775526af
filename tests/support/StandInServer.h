#pragma once

#include "support/TestMain.h"

#include <QTcpServer>

// A book details server on 127.0.0.1 for tests: answers each path (the query is ignored) as told.
class StandInServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        // Takes the request and never answers.
        bool silent = false;
    };

    StandInServer();
    QString baseUrl() const;
    void answer(const QString& path, const Answer& answer) { m_answers.insert(path, answer); }
    // The Books API path, answered with this body.
    void answerBooks(const QByteArray& json) { answer(u"/api/books"_s, {200, json}); }
    int requests() const { return m_requests; }
    // Sets the server up as one of the cases tests share and answers the base address to use:
    // "found" (Crime and Punishment with its cover), "no cover" (its cover missing), "500",
    // "huge" (10 MB), "silent" (never answers), "closed" (nothing listens) or a JSON body.
    QString play(const QString& scenario);

private:
    void serve(class QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    int m_requests = 0;
};

// The details of "Crime and Punishment" as the Books API gives them, its cover at coverUrl.
QByteArray CrimeAndPunishmentAnswer(const QString& coverUrl);
// A picture written in that format ("JPG", "PNG").
QByteArray EncodedImage(const QImage& image, const char* format);
// A picture taller than covers are kept, as JPEG.
QByteArray TallCoverJpeg();
// A base address where nothing listens.
QString ClosedPortUrl();
