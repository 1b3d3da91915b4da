#include "liveStream.h"

#include "QVRDateFormatter.h"
#include "fdsnDataRequest.h"
#include "quorvelLogging.h"
#include "seedLinkClient.h"
#include "serialOperationQueue.h"
#include "streamCodes.h"
#include "timeZones.h"
#include "webFetcher.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString streamName(const seedLinkChannel& c) {
    return streamCodes::joined(c.network, c.station, c.location, c.channel);
}

qint64 microseconds(const QDateTime& t) {
    return t.toMSecsSinceEpoch() * 1000;
}

} // namespace

liveStream::liveStream(QObject* parent)
    : QObject(parent)
    , client_(std::make_unique<seedLinkClient>())
    , queue_(std::make_unique<serialOperationQueue>([] {})) {
    connect(client_.get(), &seedLinkClient::packetsArrived, this, &liveStream::takePackets);
    connect(client_.get(), &seedLinkClient::connectionDropped, this, [this](const QString& why) {
        connectionProblem_ =
            tr("Connection to %1 dropped (%2); reconnecting").arg(request_.server, why);
        Q_EMIT statusChanged();
    });
    connect(client_.get(), &seedLinkClient::connectedChanged, this, [this](bool connected) {
        if (connected && !connectionProblem_.isNull()) {
            connectionProblem_.clear();
            Q_EMIT statusChanged();
        }
    });
    connect(client_.get(), &seedLinkClient::stationRefused, this, [this](const QString& name) {
        if (!refused_.contains(name))
            refused_ << name;
        Q_EMIT statusChanged();
    });
    connect(client_.get(), &seedLinkClient::streamEnded, this, [this] {
        connectionProblem_ = tr("The server %1 ended the stream").arg(request_.server);
        setRunning(false);
        Q_EMIT statusChanged();
    });
}

liveStream::~liveStream() {
    // The answers of the queue's worker come to this object, so the worker goes first.
    queue_.reset();
    client_->stop();
}

void liveStream::setRunning(bool running) {
    if (running == running_)
        return;
    running_ = running;
    Q_EMIT runningChanged(running_);
}

void liveStream::start(const request& r, const QDateTime& now) {
    stop();
    ++generation_;
    request_ = r;
    channels_.clear();
    streams_.clear();
    names_.clear();
    channelOf_.clear();
    placed_.clear();
    waiting_.clear();
    backfillProblem_.clear();
    connectionProblem_.clear();
    refused_.clear();
    for (const auto& channel : r.channels) {
        const seedLinkChannel stream =
            QVRRTSeismicDisplayController::seedLinkChannelsFor({channel}).front();
        const QString name = streamName(stream);
        if (channelOf_.contains(name))
            continue;
        streamedChannel::filtering how;
        how.highPassHz = channel.value(QStringLiteral("HPCornerHz")).toDouble();
        how.lowPassHz = channel.value(QStringLiteral("LPCornerHz")).toDouble();
        how.poles = r.poles;
        const QString label = channel.value(QStringLiteral("SeismogramLabel")).trimmed();
        channelOf_.insert(name, int(channels_.size()));
        streams_ << stream;
        channels_.push_back(std::make_unique<streamedChannel>(label.isEmpty() ? name : label,
                                                              r.windowSeconds, how));
        names_ << name;
    }
    changed_.assign(channels_.size(), true);
    placed_.resize(qsizetype(channels_.size()));
    const QDateTime windowStart = now.addMSecs(-qint64(std::llround(r.windowSeconds * 1000.0)));
    axisStart_ = windowStart;
    // The server gives what it keeps; the data centre what is older.
    const QDateTime serverFrom =
        r.windowSeconds > serverHoldsSeconds
            ? now.addMSecs(-qint64(std::llround(serverHoldsSeconds * 1000.0)))
            : windowStart;
    if (serverFrom > windowStart) {
        if (r.backfillURL.isNull())
            qCWarning(lcSeismograms).noquote()
                << QStringLiteral("No FDSN data centre is known for the SeedLink server %1; the "
                                  "window's part before %2 stays empty")
                       .arg(r.server, QVRRTSeismicDisplayController::printedDate(serverFrom));
        else
            askForOlderPart(windowStart, serverFrom);
    }
    client_->start(r.server, streams_, serverFrom);
    setRunning(true);
    Q_EMIT statusChanged();
}

void liveStream::stop() {
    queue_->cancelAllOperations();
    ++generation_;
    if (backfilling_) {
        // What waited for the older part is still the stream's own.
        backfilling_ = false;
        for (const waitingPacket& p : std::exchange(waiting_, {}))
            take(p.channel, p.startUs, p.rate, p.samples.data(), qsizetype(p.samples.size()));
    }
    client_->stop();
    setRunning(false);
    Q_EMIT statusChanged();
}

void liveStream::askForOlderPart(const QDateTime& from, const QDateTime& until) {
    QList<fdsnDataRequest::line> lines;
    for (const seedLinkChannel& c : streams_)
        lines << fdsnDataRequest::line{c.network, c.station, c.location, c.channel,
                                       QString(), from,      until};
    backfilling_ = true;
    const fdsnDataRequest older(request_.backfillURL, lines);
    const int generation = generation_;
    const QByteArray agent = webFetcher::defaultUserAgent();
    queue_->addOperation(
        QStringLiteral("older part"),
        [this, older, generation, agent, count = lines.size()](const std::atomic<bool>& cancelled) {
            // The counts as they came: the stream is in counts too.
            fdsnDataRequest::outcome outcome = older.fetch(false, 30000, agent, &cancelled);
            if (cancelled)
                return;
            QList<std::vector<SacObject>> traces;
            for (qsizetype i = 0; i < count && outcome.failure.isNull(); ++i)
                traces << (outcome.channels.at(i) ? std::move(outcome.channels[i].value())
                                                  : std::vector<SacObject>());
            QMetaObject::invokeMethod(
                this,
                [this, generation, traces = std::move(traces), failure = outcome.failure] {
                    takeOlderPart(generation, traces, failure);
                },
                Qt::QueuedConnection);
        });
}

void liveStream::takeOlderPart(int generation, const QList<std::vector<SacObject>>& traces,
                               const QString& failure) {
    if (generation != generation_)
        return;
    backfillProblem_ =
        failure.isNull() ? QString() : tr("The window's older part did not come: %1").arg(failure);
    for (qsizetype i = 0; i < traces.size() && i < qsizetype(channels_.size()); ++i) {
        for (const SacObject& s : traces.at(i)) {
            const std::optional<qint64> startUs = s.firstSampleMicroseconds();
            if (s.npts() > 0 && s.delta() > 0 && startUs)
                take(int(i), *startUs, 1.0 / double(s.delta()), s.GetSacSeis(), s.npts());
        }
    }
    backfilling_ = false;
    for (const waitingPacket& p : std::exchange(waiting_, {}))
        take(p.channel, p.startUs, p.rate, p.samples.data(), qsizetype(p.samples.size()));
    Q_EMIT samplesArrived();
    Q_EMIT statusChanged();
}

void liveStream::takePackets(const QList<seedLinkPacket>& packets) {
    if (!running_)
        return;
    bool any = false;
    for (const seedLinkPacket& packet : packets) {
        const miniSeedRecord& record = packet.decoded;
        const int channel = channelOf_.value(record.streamId(), -1);
        if (channel < 0 || record.samples.empty() || !(record.sampleRate > 0))
            continue;
        any = true;
        if (backfilling_)
            waiting_.push_back({channel, record.startTimeUs, record.sampleRate, record.samples});
        else
            take(channel, record.startTimeUs, record.sampleRate, record.samples.data(),
                 qsizetype(record.samples.size()));
    }
    if (any && !backfilling_)
        Q_EMIT samplesArrived();
}

void liveStream::take(int channel, qint64 startUs, double rate, const float* samples,
                      qsizetype count) {
    if (channels_[std::size_t(channel)]->add(startUs, rate, samples, count) > 0)
        changed_[std::size_t(channel)] = true;
}

liveStream::placedTraces liveStream::tracesAt(const QDateTime& now, bool normalise) {
    const qint64 windowStartUs =
        microseconds(now) - qint64(std::llround(request_.windowSeconds * 1e6));
    // Seconds as floats lose their hundredths of a second after a day or so: the axis starts
    // again then, and every trace is placed anew.
    if (axisStart_.secsTo(now) > 86400 || normalise != placedNormalised_) {
        axisStart_ = QDateTime::fromMSecsSinceEpoch(windowStartUs / 1000, QTimeZone::utc());
        std::fill(changed_.begin(), changed_.end(), true);
        placedNormalised_ = normalise;
    }
    placedTraces out;
    out.axisStart = axisStart_;
    for (std::size_t c = 0; c < channels_.size(); ++c) {
        seismogramRing& ring = channels_[c]->ring();
        const qsizetype before = ring.heldSamples();
        ring.dropBefore(windowStartUs);
        if (changed_[c] || ring.heldSamples() != before) {
            changed_[c] = false;
            QList<std::shared_ptr<const SacObject>> traces;
            const QList<seismogramRing::piece> pieces = ring.pieces();
            float largest = 0.0f;
            for (const seismogramRing::piece& p : pieces)
                for (qsizetype k = 0; k < p.count; ++k)
                    largest = std::max(largest, std::abs(p.samples[k]));
            const float scale =
                normalise && largest > 0.0f && std::isfinite(largest) ? 1.0f / largest : 1.0f;
            for (const seismogramRing::piece& p : pieces) {
                std::vector<float> samples(p.samples, p.samples + p.count);
                if (scale != 1.0f)
                    for (float& s : samples)
                        s *= scale;
                auto trace = std::make_shared<SacObject>();
                const double begin = double(p.startUs - microseconds(axisStart_)) / 1e6;
                trace->InitWithSamples(std::move(samples), float(1.0 / p.rate), float(begin),
                                       axisStart_);
                trace->setLabelString(channels_[c]->label());
                traces << trace;
            }
            // A channel yet without samples keeps its band and its label all the same, so that
            // the bands do not move as the channels come.
            if (traces.isEmpty()) {
                auto empty = std::make_shared<SacObject>();
                empty->InitWithSamples({}, 1.0f, 0.0f, axisStart_);
                empty->setLabelString(channels_[c]->label());
                traces << empty;
            }
            placed_[qsizetype(c)] = std::move(traces);
        }
        for (const auto& trace : placed_.at(qsizetype(c))) {
            out.traces << trace;
            out.bands << int(c);
        }
    }
    return out;
}

QString liveStream::delayText(qint64 delayMs) {
    const qint64 seconds = std::max<qint64>(0, delayMs / 1000);
    if (seconds < 120)
        return QStringLiteral("+%1 s").arg(seconds);
    if (seconds < 7200)
        return QStringLiteral("+%1 min").arg(seconds / 60);
    return QStringLiteral("+%1 h").arg(seconds / 3600);
}

QStringList liveStream::statusLines(const QDateTime& now) const {
    QStringList lines;
    if (!connectionProblem_.isNull())
        lines << connectionProblem_;
    for (const QString& station : refused_)
        lines << tr("The server refused %1").arg(station);
    if (!backfillProblem_.isNull())
        lines << backfillProblem_;
    if (backfilling_)
        lines << tr("Loading the window's older part…");
    const QVRDateFormatter time(QStringLiteral("HH:mm:ss'Z'"), timeZones::utc());
    for (std::size_t c = 0; c < channels_.size(); ++c) {
        const seismogramRing& ring = channels_[c]->ring();
        if (ring.isEmpty()) {
            lines << tr("%1 waiting").arg(names_.at(qsizetype(c)));
            continue;
        }
        const QDateTime last =
            QDateTime::fromMSecsSinceEpoch(ring.newestSampleUs() / 1000, QTimeZone::utc());
        lines << QStringLiteral("%1 %2 (%3)")
                     .arg(names_.at(qsizetype(c)), time.stringFromDate(last),
                          delayText(last.msecsTo(now)));
    }
    return lines;
}
