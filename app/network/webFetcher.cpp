#include "webFetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

QByteArray webFetcher::defaultUserAgent() {
    return QByteArrayLiteral("Quorvel/" QUORVEL_VERSION " (desktop earthquake monitor)");
}

namespace {

thread_local const std::atomic<bool>* scopeCancellation = nullptr;

QNetworkRequest requestFor(const QUrl& url, const webFetcher::options& how) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, how.userAgent);
    for (const auto& [name, value] : how.headers)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return request;
}

QNetworkReply* send(QNetworkAccessManager& manager, const QUrl& url,
                    const webFetcher::options& how) {
    QNetworkRequest request = requestFor(url, how);
    if (!how.postData)
        return manager.get(request);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/plain"));
    return manager.post(request, *how.postData);
}

} // namespace

webFetcher::cancellationScope::cancellationScope(const std::atomic<bool>& cancelled)
    : previous_(scopeCancellation) {
    scopeCancellation = &cancelled;
}

webFetcher::cancellationScope::~cancellationScope() {
    scopeCancellation = previous_;
}

webFetcher::options webFetcher::withScopeCancellation(const options& how) {
    options watched = how;
    if (!watched.cancelled)
        watched.cancelled = scopeCancellation;
    return watched;
}

webFetcher::result webFetcher::fetch(const QUrl& url) {
    return fetch(url, options{});
}

webFetcher::result webFetcher::fetch(const QUrl& url, const options& given) {
    const options how = withScopeCancellation(given);
    if (!url.isValid() || url.isEmpty())
        return result::failure(QStringLiteral("invalid address \"%1\"").arg(url.toString()));
    if (how.cancelled && how.cancelled->load())
        return result::failure(QStringLiteral("cancelled"));
    QNetworkAccessManager manager;
    QNetworkReply* reply = send(manager, url, how);
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
    if (cancelled)
        return result::failure(QStringLiteral("cancelled"));
    if (timedOut)
        return timeOutFailure(how);
    return resultOf(*reply, tooLarge, how);
}

webFetcher::result webFetcher::timeOutFailure(const options& how) {
    return result::failure(
        QStringLiteral("no complete answer within %1 s").arg(how.timeoutMs / 1000.0));
}

webFetcher::result webFetcher::resultOf(QNetworkReply& reply, bool tooLarge, const options& how) {
    const int httpStatus = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge)
        return result::failure(
            QStringLiteral("the answer is larger than %1 bytes").arg(how.maximumBytes));
    if (httpStatus >= 400)
        return result::failure(QStringLiteral("HTTP status %1").arg(httpStatus), httpStatus);
    if (reply.error() != QNetworkReply::NoError)
        return result::failure(reply.errorString(), httpStatus);
    QByteArray body = reply.readAll();
    // A server that closes the connection early can leave Qt reporting success with part of
    // the body; only the announced length tells. (A compressed answer announces the length of
    // the compressed bytes, which are no longer at hand, so it cannot be checked this way.)
    const std::optional<qint64> announced = announcedLength(reply);
    if (announced && body.size() < *announced)
        return result::failure(QStringLiteral("the answer was cut short: %1 of %2 bytes")
                                   .arg(body.size())
                                   .arg(*announced),
                               httpStatus);
    return body;
}

QList<webFetcher::result> webFetcher::fetchAll(const QList<QUrl>& urls, const options& given,
                                               int atOnce) {
    const options how = withScopeCancellation(given);
    QList<result> results(urls.size(), timeOutFailure(how));
    if (urls.isEmpty())
        return results;
    atOnce = std::max(1, atOnce);
    // Over HTTP/1.1 a manager keeps at most six connections to one host and queues the rest,
    // so more downloads at once need more managers.
    constexpr int connectionsPerManager = 6;
    const int managerCount = (atOnce + connectionsPerManager - 1) / connectionsPerManager;
    std::vector<std::unique_ptr<QNetworkAccessManager>> managers;
    std::vector<int> runningOn(std::size_t(managerCount), 0);
    for (int m = 0; m < managerCount; ++m)
        managers.push_back(std::make_unique<QNetworkAccessManager>());

    QEventLoop loop;
    QList<QNetworkReply*> inFlight;
    qsizetype next = 0;
    bool expired = false;
    bool cancelled = false;
    std::function<void()> startMore = [&] {
        while (!expired && !cancelled && inFlight.size() < atOnce && next < urls.size()) {
            const qsizetype index = next++;
            const QUrl& url = urls.at(index);
            if (!url.isValid() || url.isEmpty()) {
                results[index] =
                    result::failure(QStringLiteral("invalid address \"%1\"").arg(url.toString()));
                continue;
            }
            const auto least = std::min_element(runningOn.begin(), runningOn.end());
            const std::size_t manager = std::size_t(least - runningOn.begin());
            QNetworkReply* reply = send(*managers[manager], url, how);
            ++runningOn[manager];
            inFlight.append(reply);
            auto tooLarge = std::make_shared<bool>(false);
            QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                             [reply, tooLarge, &how](qint64 received, qint64) {
                                 if (received > how.maximumBytes && !*tooLarge) {
                                     *tooLarge = true;
                                     reply->abort();
                                 }
                             });
            QObject::connect(reply, &QNetworkReply::finished, &loop,
                             [&, index, reply, manager, tooLarge] {
                                 inFlight.removeOne(reply);
                                 --runningOn[manager];
                                 if (cancelled)
                                     results[index] = result::failure(QStringLiteral("cancelled"));
                                 else if (!expired)
                                     results[index] = resultOf(*reply, *tooLarge, how);
                                 reply->deleteLater();
                                 startMore();
                                 if (inFlight.isEmpty())
                                     loop.quit();
                             });
        }
    };
    // Aborting a reply finishes it at once, which removes it from inFlight.
    auto abortAll = [&] {
        while (!inFlight.isEmpty())
            inFlight.constLast()->abort();
    };
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        expired = true;
        abortAll();
    });
    QTimer cancelPoll;
    if (how.cancelled) {
        QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&] {
            if (how.cancelled->load() && !cancelled) {
                cancelled = true;
                abortAll();
            }
        });
        cancelPoll.start(50);
    }
    deadline.start(how.timeoutMs);
    startMore();
    if (!inFlight.isEmpty())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    cancelPoll.stop();
    if (cancelled) {
        for (qsizetype i = next; i < urls.size(); ++i)
            results[i] = result::failure(QStringLiteral("cancelled"));
    }
    return results;
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
