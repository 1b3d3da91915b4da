#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <optional>
#include <utility>

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
    // The body of every POST seen, in order, with the path it went to.
    const QList<std::pair<QString, QByteArray>>& posts() const { return posts_; }

    // An FDSN dataselect and station service at their standard paths. Each channel added has
    // its miniSEED records and its line of the station service's channel-level text; a POST in
    // the bulk form ("NET STA LOC CHA START END" lines, "--" for a blank location, after
    // "key=value" lines) or a GET with net, sta, loc and cha gets those of the channels asked
    // for, and 204 when there are none. Times are not looked at. An answer set for one of the
    // paths wins, to refuse or stall.
    void addFdsnChannel(const QString& network, const QString& station, const QString& location,
                        const QString& channel, const QByteArray& miniSeed,
                        const QByteArray& stationLine);
    static inline const QString dataselectPath = QStringLiteral("/fdsnws/dataselect/1/query");
    static inline const QString stationPath = QStringLiteral("/fdsnws/station/1/query");

private:
    void answerRequest(QTcpSocket* socket);
    void send(QTcpSocket* socket, const answer& a);
    // The FDSN services' answer to a request for `path`; none for other paths.
    std::optional<answer> fdsnAnswer(const QString& path, const QUrl& url,
                                     const QByteArray& body) const;

    QTcpServer server_;
    QHash<QString, answer> answers_;
    struct queryAnswer {
        QString path, queryPart;
        answer a;
    };
    QList<queryAnswer> queryAnswers_;
    QList<QString> requests_;
    QList<std::pair<QString, QByteArray>> posts_;
    struct fdsnChannel {
        QString network, station, location, channel;
        QByteArray miniSeed, stationLine;
    };
    QList<fdsnChannel> fdsnChannels_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<std::pair<QPointer<QTcpSocket>, answer>> held_;
};
