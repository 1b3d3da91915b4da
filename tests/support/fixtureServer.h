#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A small HTTP server on the loopback interface that answers the tests' downloads. Each path
// has one canned answer, which may also misbehave: stall, close the connection half-way, or
// send bytes that are no HTTP at all. Unknown paths get 404. It runs in the test's thread;
// the downloads' local event loops serve it.
class fixtureServer : public QObject {
    Q_OBJECT
public:
    // `held` waits, silent, until releaseHeldAnswers() sends the answer as it stood when the
    // request came.
    enum class behaviour { normal, stall, cutShort, garbage, held };

    struct answer {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/plain";
        behaviour how = behaviour::normal;
    };

    fixtureServer();

    // The base address, e.g. "http://127.0.0.1:40123", without a trailing "/".
    QString baseURL() const;
    void setAnswer(const QString& path, const answer& a) { answers_.insert(path, a); }
    // An answer for the requests to `path` whose query contains `queryPart` ("sta=KONO"), for
    // services asked for several things on one path; it wins over the path's own answer.
    void setAnswerForQuery(const QString& path, const QString& queryPart, const answer& a) {
        queryAnswers_.append({path, queryPart, a});
    }
    void serveFile(const QString& path, const QString& file,
                   const QByteArray& contentType = "text/plain");
    void releaseHeldAnswers();
    // How many requests wait for releaseHeldAnswers().
    qsizetype heldRequests() const { return held_.size(); }
    // Every request seen, as path and query ("/fdsnws/event/1/query?starttime=…").
    const QList<QString>& requests() const { return requests_; }

private:
    void answerRequest(QTcpSocket* socket);
    void send(QTcpSocket* socket, const answer& a);

    QTcpServer server_;
    QHash<QString, answer> answers_;
    struct queryAnswer {
        QString path, queryPart;
        answer a;
    };
    QList<queryAnswer> queryAnswers_;
    QList<QString> requests_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<std::pair<QPointer<QTcpSocket>, answer>> held_;
};
