#include "webFetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

QByteArray webFetcher::defaultUserAgent() {
    return QByteArrayLiteral("Quorvel/" QUORVEL_VERSION " (desktop earthquake monitor)");
}

webFetcher::result webFetcher::fetch(const QUrl& url) {
    return fetch(url, options{});
}

webFetcher::result webFetcher::fetch(const QUrl& url, const options& how) {
    result r;
    if (!url.isValid() || url.isEmpty()) {
        r.error = QStringLiteral("invalid address \"%1\"").arg(url.toString());
        return r;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, how.userAgent);
    for (const auto& [name, value] : how.headers)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    bool tooLarge = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        if (received > how.maximumBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(how.timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();

    r.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (timedOut)
        r.error = QStringLiteral("no complete answer within %1 s").arg(how.timeoutMs / 1000.0);
    else if (tooLarge)
        r.error = QStringLiteral("the answer is larger than %1 bytes").arg(how.maximumBytes);
    else if (r.httpStatus >= 400)
        r.error = QStringLiteral("HTTP status %1").arg(r.httpStatus);
    else if (reply->error() != QNetworkReply::NoError)
        r.error = reply->errorString();
    else
        r.body = reply->readAll();
    // A server that closes the connection early can leave Qt reporting success with part of
    // the body; only the announced length tells. (A compressed answer announces the length of
    // the compressed bytes, which are no longer at hand, so it cannot be checked this way.)
    if (r.ok()) {
        const std::optional<qint64> announced = announcedLength(*reply);
        if (announced && r.body.size() < *announced) {
            r.error = QStringLiteral("the answer was cut short: %1 of %2 bytes")
                          .arg(r.body.size())
                          .arg(*announced);
            r.body.clear();
        }
    }
    reply->deleteLater();
    return r;
}

std::optional<qint64> webFetcher::announcedLength(const QNetworkReply& reply) {
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return std::nullopt;
    if (!reply.hasRawHeader("Content-Length"))
        return std::nullopt;
    bool ok = false;
    const qint64 length = reply.rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && length >= 0 ? std::optional<qint64>(length) : std::nullopt;
}
