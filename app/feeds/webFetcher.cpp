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
    if (!url.isValid() || url.isEmpty())
        return result::failure(QStringLiteral("invalid address \"%1\"").arg(url.toString()));
    if (how.cancelled && how.cancelled->load())
        return result::failure(QStringLiteral("cancelled"));
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
    // The flag is raised on another thread, which cannot touch the reply; it is polled here.
    QTimer cancelPoll;
    bool cancelled = false;
    if (how.cancelled) {
        QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&] {
            if (how.cancelled->load() && !cancelled) {
                cancelled = true;
                reply->abort();
            }
        });
        cancelPoll.start(50);
    }
    timer.start(how.timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    cancelPoll.stop();

    // The reply goes with the manager, its parent.
    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (cancelled)
        return result::failure(QStringLiteral("cancelled"));
    if (timedOut)
        return result::failure(
            QStringLiteral("no complete answer within %1 s").arg(how.timeoutMs / 1000.0));
    if (tooLarge)
        return result::failure(
            QStringLiteral("the answer is larger than %1 bytes").arg(how.maximumBytes));
    if (httpStatus >= 400)
        return result::failure(QStringLiteral("HTTP status %1").arg(httpStatus), httpStatus);
    if (reply->error() != QNetworkReply::NoError)
        return result::failure(reply->errorString(), httpStatus);
    QByteArray body = reply->readAll();
    // A server that closes the connection early can leave Qt reporting success with part of
    // the body; only the announced length tells. (A compressed answer announces the length of
    // the compressed bytes, which are no longer at hand, so it cannot be checked this way.)
    const std::optional<qint64> announced = announcedLength(*reply);
    if (announced && body.size() < *announced)
        return result::failure(QStringLiteral("the answer was cut short: %1 of %2 bytes")
                                   .arg(body.size())
                                   .arg(*announced),
                               httpStatus);
    return body;
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
