#pragma once

#include "QVRResult.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <atomic>
#include <optional>

class QNetworkReply;

// The one way Quorvel downloads: synchronous for its caller, with a time-out. It waits in a
// local event loop of its own, so it is for worker threads and the command line: the windows'
// loads run it on a worker (serialOperationQueue) and never on the GUI thread.
class webFetcher {
public:
    // While one lives, every fetch on its thread that names no flag of its own gives up when
    // `cancelled` is raised: a worker's job makes one, and all the downloads its parsers start
    // end with it, however deep they are made.
    class cancellationScope {
    public:
        explicit cancellationScope(const std::atomic<bool>& cancelled);
        ~cancellationScope();
        cancellationScope(const cancellationScope&) = delete;
        cancellationScope& operator=(const cancellationScope&) = delete;

    private:
        const std::atomic<bool>* previous_;
    };

    struct options {
        int timeoutMs = 30000;
        QByteArray userAgent = defaultUserAgent();
        QList<QPair<QByteArray, QByteArray>> headers;
        // A larger answer is cut off and reported as an error.
        qint64 maximumBytes = 64LL * 1024 * 1024;
        // When set, another thread may raise the flag to abort the fetch, which then fails
        // with "cancelled". It is looked at every 50 ms, so a stalled server cannot hold a
        // cancelled fetch for long.
        const std::atomic<bool>* cancelled = nullptr;
        // When set, the request POSTs these bytes as plain text (the FDSN bulk form);
        // otherwise it is a GET.
        std::optional<QByteArray> postData;
    };

    // The body, or why there is none (with the HTTP status as the error code, when there was
    // one).
    using result = QVRResult<QByteArray>;

    // The body of `url`, or an error text for a transport failure, an HTTP status of 400 or
    // more, a time-out, an answer larger than allowed, one shorter than its announced length,
    // or a cancellation. Redirects are followed.
    static result fetch(const QUrl& url, const options& how);
    static result fetch(const QUrl& url);
    // Several addresses at once, at most `atOnce` in flight, all under one deadline: `how`'s
    // time-out is for the whole batch, not for each answer. The results are in the order of
    // `urls`; those without a complete answer by the deadline fail as a time-out.
    static QList<result> fetchAll(const QList<QUrl>& urls, const options& how, int atOnce);

    static QByteArray defaultUserAgent();

private:
    // What a finished reply brought, once time-outs and cancellation are ruled out.
    static result resultOf(QNetworkReply& reply, bool tooLarge, const options& how);
    static result timeOutFailure(const options& how);
    // `how`, watching the thread's cancellation scope when it names no flag of its own.
    static options withScopeCancellation(const options& how);
    // The body length the answer announces, when it can be compared with the bytes received
    // (not for compressed answers).
    static std::optional<qint64> announcedLength(const QNetworkReply& reply);
};
