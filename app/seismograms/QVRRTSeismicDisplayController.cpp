#include "QVRRTSeismicDisplayController.h"

#include "QVRDateFormatter.h"
#include "fdsnDataRequest.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serialOperationQueue.h"
#include "serviceEndpoints.h"
#include "streamCodes.h"
#include "timeZones.h"
#include "userDefaults.h"
#include "webFetcher.h"

#include <QLoggingCategory>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString startTimeKey = QStringLiteral("StartTime");
const QString durationKey = QStringLiteral("Duration");
const QString sampleRateKey = QStringLiteral("SampleRate");
const QString highPassKey = QStringLiteral("HPCornerHz");
const QString lowPassKey = QStringLiteral("LPCornerHz");
const QString networkKey = QStringLiteral("Network");
const QString stationKey = QStringLiteral("StationID");
const QString locationKey = QStringLiteral("LocationCode");
const QString channelKey = QStringLiteral("ChannelID");
const QString labelKey = QStringLiteral("SeismogramLabel");

const QString fixedHighPassCorner = QStringLiteral("-0.005");
const QString fixedLowPassCorner = QStringLiteral("-0.05");

// The service caps a request at 86,400 samples.
constexpr float maximumSamples = 86400.0f;

QString trimmedOfBlanksAndTabs(QStringView field) {
    qsizetype first = 0, last = field.size();
    while (first < last && (field[first] == u' ' || field[first] == u'\t'))
        ++first;
    while (last > first && (field[last - 1] == u' ' || field[last - 1] == u'\t'))
        --last;
    return field.sliced(first, last - first).toString();
}

// A value as the request prints it: an absent one reads "(null)".
QString printed(const QVRRTSeismicDisplayController::channelDescription& channel,
                const QString& key) {
    const auto it = channel.constFind(key);
    return it == channel.constEnd() || it->isNull() ? QStringLiteral("(null)") : *it;
}

// The rate value that bounds the window when the sample rate is "*", by the band code.
float rateForBandCode(QStringView channelID) {
    switch (channelID.isEmpty() ? u'\0' : channelID.front().unicode()) {
    case u'L':
        return 1.0f;
    case u'U':
        return 10.0f;
    case u'B':
        return 0.05f;
    case u'S':
        return 0.025f;
    default:
        return 1.0f;
    }
}

// `date` moved by `seconds`; invalid when the move is no number or goes beyond any calendar.
QDateTime shifted(const QDateTime& date, float seconds) {
    const double ms = std::round(double(seconds) * 1000.0);
    if (!std::isfinite(ms) || std::fabs(ms) > 1e15)
        return {};
    return date.addMSecs(qint64(ms));
}

} // namespace

QVRRTSeismicDisplayController::QVRRTSeismicDisplayController(QObject* parent)
    : QObject(parent)
    , queue_(std::make_unique<serialOperationQueue>([this] {
        // The flag follows the queue on the main thread only; changes seen elsewhere are
        // handed over without waiting for them to be handled.
        if (QThread::currentThread() == thread())
            operationsChanged();
        else
            QMetaObject::invokeMethod(
                this, [this] { operationsChanged(); }, Qt::QueuedConnection);
    })) {}

QVRRTSeismicDisplayController::~QVRRTSeismicDisplayController() {
    // The worker's operations use this object, so it must be gone first.
    queue_.reset();
}

QVRRTSeismicDisplayController::channelDescription
QVRRTSeismicDisplayController::fixedWorkingDescription() {
    return {{startTimeKey, QStringLiteral("2012-05-01 00:00:00")},
            {durationKey, QStringLiteral("60")},
            {sampleRateKey, QStringLiteral("1")}};
}

QVRRTSeismicDisplayController::channelListContents QVRRTSeismicDisplayController::readChannelList(
    const QString& text, const channelDescription& defaults, channelDescription working) {
    channelListContents contents;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        // Lists written on other systems end their lines with "\r\n".
        if (line.endsWith(u'\r'))
            line.chop(1);
        QStringList fields;
        for (QStringView field : line.split(u';'))
            fields << trimmedOfBlanksAndTabs(field);
        if (fields.size() == 1 && fields.first().isEmpty())
            continue;
        if (fields.first() == QLatin1StringView("Title"))
            contents.title = fields.value(1);
        if (fields.size() < 5)
            continue;
        if (defaults.size() >= 2) {
            working.insert(highPassKey, defaults.value(highPassKey, fixedHighPassCorner));
            working.insert(lowPassKey, defaults.value(lowPassKey, fixedLowPassCorner));
        } else {
            working.insert(highPassKey, fixedHighPassCorner);
            working.insert(lowPassKey, fixedLowPassCorner);
        }
        working.insert(networkKey, fields.at(0));
        working.insert(stationKey, fields.at(1));
        working.insert(locationKey, fields.at(2));
        working.insert(channelKey, fields.at(3));
        working.insert(labelKey, fields.at(4));
        if (fields.size() >= 7) {
            working.insert(highPassKey, fields.at(5));
            working.insert(lowPassKey, fields.at(6));
        }
        contents.channels << working;
    }
    return contents;
}

void QVRRTSeismicDisplayController::loadSeismogramsFromChannelList(
    const QString& channelList, const channelDescription& defaults) {
    loadChannelList(readChannelList(channelList, defaults, fixedWorkingDescription()));
}

void QVRRTSeismicDisplayController::loadChannelList(const channelListContents& list) {
    if (list.title != listTitle_) {
        listTitle_ = list.title;
        Q_EMIT listTitleChanged(listTitle_);
    }
    const int load = ++queuedLoad_;
    loadFailure_.clear();
    if (list.channels.isEmpty())
        return;
    if (dataSource_.type() == seismogramDataSource::kind::seedLink) {
        const QString reason =
            QStringLiteral("A SeedLink server streams live data; it has nothing to load");
        qCWarning(lcSeismograms).noquote() << reason;
        deliverLoadFailure(load, reason);
        return;
    }
    if (dataSource_.type() == seismogramDataSource::kind::fdsn) {
        queueFdsnLoad(load, list.channels);
        return;
    }
    for (const channelDescription& channel : list.channels) {
        queue_->addOperation(
            channelName(channel), [this, load, channel](const std::atomic<bool>& cancelled) {
                QVRResult<SacObject> result = downloadSeismogramWithURL(channel, &cancelled);
                if (cancelled)
                    return;
                QMetaObject::invokeMethod(
                    this,
                    [this, load, channel, result = std::move(result)]() mutable {
                        deliver(load, channel, result);
                    },
                    Qt::QueuedConnection);
            });
    }
}

void QVRRTSeismicDisplayController::queueFdsnLoad(int load,
                                                  const QList<channelDescription>& channels) {
    const fdsnDataRequest request = fdsnRequestFor(channels);
    const bool groundMotion = groundMotion_;
    queue_->addOperation(dataSource_.text(), [this, load, channels, request,
                                              groundMotion](const std::atomic<bool>& cancelled) {
        fdsnDataRequest::outcome outcome =
            request.fetch(groundMotion, downloadTimeoutMs_, requestUserAgent(), &cancelled);
        if (cancelled)
            return;
        if (!outcome.failure.isNull()) {
            QMetaObject::invokeMethod(
                this, [this, load, reason = outcome.failure] { deliverLoadFailure(load, reason); },
                Qt::QueuedConnection);
            return;
        }
        for (qsizetype i = 0; i < channels.size(); ++i) {
            const channelDescription& channel = channels.at(i);
            QList<QVRResult<SacObject>> results;
            if (!outcome.channels.at(i)) {
                const QString reason = outcome.channels.at(i).error();
                qCWarning(lcSeismograms).noquote()
                    << QStringLiteral("%1: %2").arg(channelName(channel), reason);
                results << QVRResult<SacObject>::failure(reason);
            } else {
                for (SacObject& seismogram : outcome.channels[i].value()) {
                    // The label the request gave (with the units) stays.
                    const QString label = seismogram.labelString();
                    finish(seismogram, channel);
                    seismogram.setLabelString(label);
                    results << std::move(seismogram);
                }
            }
            QMetaObject::invokeMethod(
                this,
                [this, load, channel, results = std::move(results)]() mutable {
                    for (QVRResult<SacObject>& result : results)
                        deliver(load, channel, result);
                },
                Qt::QueuedConnection);
        }
    });
}

fdsnDataRequest
QVRRTSeismicDisplayController::fdsnRequestFor(const QList<channelDescription>& channels) const {
    QList<fdsnDataRequest::line> lines;
    for (const channelDescription& channel : channels) {
        // The data centre's own rate comes; only the time-series service is held to a cap.
        const auto [start, end] = requestWindow(channel, false);
        lines << fdsnDataRequest::line{channel.value(networkKey),
                                       channel.value(stationKey),
                                       locationCode(channel),
                                       channel.value(channelKey),
                                       channel.value(labelKey),
                                       start,
                                       end};
    }
    return fdsnDataRequest(dataSource_.fdsnBaseURL(), lines);
}

void QVRRTSeismicDisplayController::loadSeismgramsForList(const QStringList&) {}

QString QVRRTSeismicDisplayController::buildURLForChannel(const channelDescription& channel) const {
    QString address = serviceEndpoints::baseURL(serviceEndpoints::service::timeSeries) +
                      QStringLiteral("/irisws/timeseries/1/query?");
    address += QStringLiteral("net=") + printed(channel, networkKey);
    address += QStringLiteral("&sta=") + printed(channel, stationKey);
    // The service reads an empty location as "any"; "--" asks for the blank one.
    const QString location = channel.value(locationKey);
    address += QStringLiteral("&loc=") + (!location.isNull() && location.isEmpty()
                                              ? QStringLiteral("--")
                                              : printed(channel, locationKey));
    address += QStringLiteral("&cha=") + printed(channel, channelKey);

    const auto [start, end] = requestWindow(channel, true);
    address += QStringLiteral("&start=") + printedDate(start);
    address += QStringLiteral("&end=") + printedDate(end);
    address += QStringLiteral("&scale=AUTO");
    const QString sampleRate = channel.value(sampleRateKey);
    if (sampleRate != QLatin1StringView("*"))
        address += QString::asprintf("&deci=%.1f", double(leadingFloat(sampleRate)));
    address += QStringLiteral("&output=sacbl");
    qCInfo(lcSeismograms).noquote() << address;
    return address;
}

std::pair<QDateTime, QDateTime>
QVRRTSeismicDisplayController::requestWindow(const channelDescription& channel, bool capped) const {
    const QDateTime reference =
        autoUpdating_
            ? QDateTime::currentDateTimeUtc()
            : QVRDateFormatter(QStringLiteral("yyyy-MM-dd HH:mm:ss"), timeZones::defaultTimeZone())
                  .dateFromString(channel.value(startTimeKey));
    float length = leadingFloat(channel.value(durationKey)) * 60.0f; // s
    const QString sampleRate = channel.value(sampleRateKey);
    const bool rateByBandCode = sampleRate == QLatin1StringView("*");
    const float rate =
        rateByBandCode ? rateForBandCode(channel.value(channelKey)) : leadingFloat(sampleRate);
    if (capped && std::fabs(std::trunc(length / rate)) > maximumSamples)
        length = std::copysign(rate * maximumSamples, length);

    const QDateTime moved = shifted(reference, length);
    return length < 0 ? std::pair{moved, reference} : std::pair{reference, moved};
}

QString QVRRTSeismicDisplayController::formatDateAsString(const QDateTime& date) {
    if (!date.isValid())
        return {};
    return QVRDateFormatter(QStringLiteral("yyyy-MM-dd HH:mm:ss"), timeZones::defaultTimeZone())
        .stringFromDate(date)
        .replace(u' ', u'T');
}

QString QVRRTSeismicDisplayController::printedDate(const QDateTime& date) {
    const QString text = formatDateAsString(date);
    return text.isNull() ? QStringLiteral("(null)") : text;
}

QVRResult<SacObject>
QVRRTSeismicDisplayController::downloadSeismogramWithURL(const channelDescription& channel,
                                                         const std::atomic<bool>* cancelled) {
    const QString name = channelName(channel);
    const auto failure = [&](const QString& reason) {
        if (cancelled && cancelled->load())
            qCInfo(lcSeismograms).noquote() << QStringLiteral("%1: cancelled").arg(name);
        else
            qCWarning(lcSeismograms).noquote() << QStringLiteral("%1: %2").arg(name, reason);
        return QVRResult<SacObject>::failure(reason);
    };
    const QVRResult<QByteArray> bytes =
        getHTTPDataWithCustomUserAgent(buildURLForChannel(channel), cancelled);
    // A failed fetch gives no seismogram rather than an empty one: an empty trace would be
    // drawn as if the station had recorded nothing.
    if (!bytes)
        return failure(bytes.errorCode() >= 400 ? QStringLiteral("HTTP %1").arg(bytes.errorCode())
                                                : bytes.error());
    if (bytes->isEmpty())
        return failure(QStringLiteral("no data"));
    QVRResult<SacObject> seismogram = SacObject::fromData(*bytes);
    if (!seismogram)
        return failure(QStringLiteral("not a SAC seismogram (%1)").arg(seismogram.error()));
    finish(seismogram.value(), channel);
    return seismogram;
}

void QVRRTSeismicDisplayController::finish(SacObject& seismogram,
                                           const channelDescription& channel) {
    filterSeismogram(seismogram, channel);
    // An empty label field keeps the component's own "NET.STA.CMP".
    if (const QString label = channel.value(labelKey); !label.isEmpty())
        seismogram.setLabelString(label);
}

void QVRRTSeismicDisplayController::filterSeismogram(SacObject& seismogram,
                                                     const channelDescription& channel) {
    const SacHeader* header = seismogram.GetSacHeader();
    if (!header)
        return;
    seismogram.RemoveMean();
    seismogram.defaultTaper();
    const float nyquist = 1.0f / (2.0f * header->delta); // Hz
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    const int passes = defaults.boolForKey(QStringLiteral("causal_filter")) ? 1 : 2;
    const int poles = defaults.objectForKey(QStringLiteral("nfilter_poles")).toInt();
    const float highPass = leadingFloat(channel.value(highPassKey));
    const float lowPass = leadingFloat(channel.value(lowPassKey));
    if (highPass > 0 && nyquist > highPass)
        seismogram.HPBUfilter(highPass, passes, poles);
    if (lowPass > 0 && nyquist > lowPass)
        seismogram.LPBUfilter(lowPass, passes, poles);
}

QVRResult<QByteArray>
QVRRTSeismicDisplayController::getHTTPDataWithCustomUserAgent(const QString& address,
                                                              const std::atomic<bool>* cancelled) {
    webFetcher::options how;
    how.userAgent = requestUserAgent();
    how.timeoutMs = downloadTimeoutMs_;
    how.cancelled = cancelled;
    return webFetcher::fetch(QUrl(address), how);
}

QByteArray QVRRTSeismicDisplayController::requestUserAgent() {
    const QString agent =
        QStringLiteral("Quorvel/%1 (Mac; Mac OS; June 2012)").arg(QStringLiteral(QUORVEL_VERSION));
    setUserAgent(agent);
    return agent.toUtf8();
}

bool QVRRTSeismicDisplayController::hasActiveOperations(const QStringList& operations) {
    return !operations.isEmpty();
}

QStringList QVRRTSeismicDisplayController::operations() const {
    return queue_->operations();
}

void QVRRTSeismicDisplayController::startActivityIndicator() {
    setUpdating(true);
}

void QVRRTSeismicDisplayController::stopActivityIndicator() {
    setUpdating(false);
}

void QVRRTSeismicDisplayController::cancelAllOperations() {
    queue_->cancelAllOperations();
}

QString QVRRTSeismicDisplayController::userAgent() const {
    const std::lock_guard lock(userAgentMutex_);
    return userAgent_;
}

void QVRRTSeismicDisplayController::setUserAgent(const QString& userAgent) {
    const std::lock_guard lock(userAgentMutex_);
    userAgent_ = userAgent;
}

QString QVRRTSeismicDisplayController::channelName(const channelDescription& channel) {
    return streamCodes::joined(channel.value(networkKey), channel.value(stationKey),
                               channel.value(locationKey), channel.value(channelKey));
}

QString QVRRTSeismicDisplayController::locationCode(const channelDescription& channel) {
    const QString location = channel.value(locationKey).trimmed();
    return location == QLatin1StringView("--") ? QString() : location;
}

QList<seedLinkChannel>
QVRRTSeismicDisplayController::seedLinkChannelsFor(const QList<channelDescription>& channels) {
    QList<seedLinkChannel> asked;
    for (const channelDescription& channel : channels) {
        const seedLinkChannel c{channel.value(networkKey).trimmed(),
                                channel.value(stationKey).trimmed(), locationCode(channel),
                                channel.value(channelKey).trimmed()};
        const bool known = std::any_of(asked.begin(), asked.end(), [&c](const seedLinkChannel& a) {
            return a.network == c.network && a.station == c.station && a.location == c.location &&
                   a.channel == c.channel;
        });
        if (!known)
            asked.append(c);
    }
    return asked;
}

void QVRRTSeismicDisplayController::operationsChanged() {
    if (hasActiveOperations(queue_->operations()))
        startActivityIndicator();
    else
        stopActivityIndicator();
}

void QVRRTSeismicDisplayController::setUpdating(bool updating) {
    if (updating == updating_)
        return;
    updating_ = updating;
    Q_EMIT isUpdatingSeismogramsChanged(updating_);
}

void QVRRTSeismicDisplayController::deliver(int load, const channelDescription& channel,
                                            QVRResult<SacObject>& result) {
    if (load < shownLoad_)
        return;
    bool changed = false;
    if (load > shownLoad_) {
        shownLoad_ = load;
        changed = !theSeismograms_.isEmpty();
        theSeismograms_.clear();
        theChannels_.clear();
        channelFailures_.clear();
        loadFailure_.clear();
    }
    if (!result) {
        const QString reason = QStringLiteral("%1: %2").arg(channelName(channel), result.error());
        channelFailures_ << reason;
        if (changed)
            Q_EMIT seismogramsChanged();
        Q_EMIT seismogramFailed(reason, channel);
        return;
    }
    const auto seismogram = std::make_shared<SacObject>(std::move(result).value());
    theSeismograms_ << seismogram;
    theChannels_ << channel;
    Q_EMIT seismogramLoaded(seismogram, channel);
    Q_EMIT seismogramsChanged();
}

void QVRRTSeismicDisplayController::deliverLoadFailure(int load, const QString& reason) {
    if (load < shownLoad_)
        return;
    // Nothing arrived to replace what is shown, so it stays; only the reason is new.
    loadFailure_ = reason;
    Q_EMIT loadFailed(reason);
}
