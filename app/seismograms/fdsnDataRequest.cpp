#include "fdsnDataRequest.h"

#include "QVRRTSeismicDisplayController.h"
#include "groundMotionUnits.h"
#include "miniSeedReader.h"
#include "quorvelLogging.h"
#include "streamCodes.h"
#include "webFetcher.h"

#include <QLoggingCategory>
#include <QRegularExpression>

namespace {

// SAC leaves an unset text field "-12345"; a stream without a location code has none.
QString code(const QString& text) {
    return text == QLatin1StringView("-12345") ? QString() : text.trimmed();
}

// A line's code may name several streams with "?" and "*", as the services allow.
bool matches(const QString& pattern, const QString& value) {
    if (!pattern.contains(u'?') && !pattern.contains(u'*'))
        return pattern == value;
    const QRegularExpression expression(QRegularExpression::wildcardToRegularExpression(pattern));
    return expression.match(value).hasMatch();
}

} // namespace

// The status alone says little to most.
QString fdsnDataRequest::failureText(const QString& service, const QVRResult<QByteArray>& answer) {
    QString why;
    switch (answer.errorCode()) {
    case 404:
        why = QStringLiteral("HTTP 404, the data centre has no such service");
        break;
    case 413:
        why = QStringLiteral("HTTP 413, the request is too large for the data centre: ask for "
                             "fewer channels or a shorter window");
        break;
    default:
        why = answer.errorCode() >= 400 ? QStringLiteral("HTTP %1").arg(answer.errorCode())
                                        : answer.error();
    }
    return QStringLiteral("The FDSN %1 service did not answer: %2").arg(service, why);
}

webFetcher::options fdsnDataRequest::requestOptions(int timeoutMs, const QByteArray& userAgent,
                                                    const std::atomic<bool>* cancelled) {
    webFetcher::options how;
    how.timeoutMs = timeoutMs;
    how.userAgent = userAgent;
    how.cancelled = cancelled;
    return how;
}

void fdsnDataRequest::logFailure(const QString& why, const std::atomic<bool>* cancelled) {
    if (!(cancelled && cancelled->load()))
        qCWarning(lcSeismograms).noquote() << why;
}

fdsnDataRequest::fdsnDataRequest(const QString& baseURL, QList<line> lines)
    : base_(baseURL)
    , lines_(std::move(lines)) {}

QString fdsnDataRequest::dataselectAddress() const {
    return base_ + QStringLiteral("/fdsnws/dataselect/1/query");
}

QString fdsnDataRequest::stationAddress() const {
    return base_ + QStringLiteral("/fdsnws/station/1/query");
}

QString fdsnDataRequest::bulkLine(const line& l) {
    const auto time = &QVRRTSeismicDisplayController::printedDate;
    return QStringList{
        l.network, l.station,     l.location.isEmpty() ? QStringLiteral("--") : l.location,
        l.channel, time(l.start), time(l.end)}
        .join(u' ');
}

QByteArray fdsnDataRequest::dataselectBody() const {
    QByteArray body;
    for (const line& l : lines_)
        body += bulkLine(l).toUtf8() + '\n';
    return body;
}

QByteArray fdsnDataRequest::stationBody() const {
    return QByteArrayLiteral("level=channel\nformat=text\n") + dataselectBody();
}

QString fdsnDataRequest::name(const line& l) {
    return streamCodes::joined(l.network, l.station, l.location, l.channel);
}

fdsnDataRequest::outcome fdsnDataRequest::fetch(bool groundMotion, int timeoutMs,
                                                const QByteArray& userAgent,
                                                const std::atomic<bool>* cancelled,
                                                const fdsnStationText* knownMetadata) const {
    webFetcher::options how = requestOptions(timeoutMs, userAgent, cancelled);
    outcome result;
    const auto fail = [&](const QString& why) {
        logFailure(why, cancelled);
        result.failure = why;
        return result;
    };

    how.postData = dataselectBody();
    const QVRResult<QByteArray> waveforms = webFetcher::fetch(QUrl(dataselectAddress()), how);
    if (!waveforms)
        return fail(failureText(QStringLiteral("dataselect"), waveforms));
    // 204: the centre has none of the data asked for.
    if (waveforms->isEmpty())
        return sortTraces({}, nullptr, groundMotion);
    QVRResult<miniSeedTraces> traces = miniSeedReader::fromData(*waveforms);
    if (!traces)
        return fail(
            QStringLiteral("The FDSN dataselect answer is no miniSEED: %1").arg(traces.error()));
    if (knownMetadata)
        return sortTraces(std::move(traces.value().traces), knownMetadata, groundMotion);

    how.postData = stationBody();
    const QVRResult<QByteArray> stations = webFetcher::fetch(QUrl(stationAddress()), how);
    if (cancelled && cancelled->load())
        return fail(QStringLiteral("cancelled"));
    if (!stations) {
        qCWarning(lcSeismograms).noquote()
            << failureText(QStringLiteral("station"), stations) +
                   QStringLiteral("; the seismograms stay in counts");
        return sortTraces(std::move(traces.value().traces), nullptr, groundMotion);
    }
    const fdsnStationText metadata = fdsnStationText::parse(*stations);
    return sortTraces(std::move(traces.value().traces), &metadata, groundMotion);
}

fdsnDataRequest::outcome fdsnDataRequest::sortTraces(std::vector<SacObject> traces,
                                                     const fdsnStationText* metadata,
                                                     bool groundMotion) const {
    outcome result;
    QList<std::vector<SacObject>> sorted(lines_.size());
    for (SacObject& trace : traces) {
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            const line& l = lines_.at(i);
            if (matches(l.network, code(trace.knetwk())) &&
                matches(l.station, code(trace.kstnm())) &&
                matches(l.location, code(trace.khole())) &&
                matches(l.channel, code(trace.kcmpnm()))) {
                sorted[i].push_back(std::move(trace));
                break;
            }
        }
    }
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        std::vector<SacObject>& seismograms = sorted[i];
        if (seismograms.empty()) {
            result.channels << QVRResult<std::vector<SacObject>>::failure(
                QStringLiteral("no data"));
            continue;
        }
        QStringList withoutMetadata;
        for (SacObject& s : seismograms) {
            if (const QString label = lines_.at(i).label; !label.isEmpty())
                s.setLabelString(label);
            const QString stream = s.streamId();
            const QDateTime first = s.firstSampleTime();
            const std::optional<fdsnStationText::channel> channel =
                metadata ? metadata->find(code(s.knetwk()), code(s.kstnm()), code(s.khole()),
                                          code(s.kcmpnm()), first)
                         : std::nullopt;
            if (channel)
                applyMetadata(s, *channel, groundMotion);
            else if (metadata && !withoutMetadata.contains(stream))
                withoutMetadata << stream;
        }
        for (const QString& stream : withoutMetadata)
            qCWarning(lcSeismograms).noquote()
                << QStringLiteral("%1: no station metadata; shown in counts").arg(stream);
        result.channels << QVRResult<std::vector<SacObject>>(std::move(seismograms));
    }
    return result;
}

void fdsnDataRequest::applyMetadata(SacObject& seismogram, const fdsnStationText::channel& channel,
                                    bool groundMotion) {
    SacHeader* header = seismogram.GetSacHeader();
    if (!header)
        return;
    header->stla = float(channel.latitude);
    header->stlo = float(channel.longitude);
    header->stel = float(channel.elevation);
    header->stdp = float(channel.depth);
    header->cmpaz = float(channel.azimuth);
    header->cmpinc = float(channel.dip + 90.0);
    if (!groundMotion)
        return;
    if (!(channel.scale != 0.0)) {
        qCWarning(lcSeismograms).noquote()
            << QStringLiteral("%1.%2.%3.%4: no scale in the station metadata; shown in counts")
                   .arg(channel.network, channel.station, channel.location, channel.channelCode);
        return;
    }
    float* samples = seismogram.GetSacSeis();
    for (int i = 0; i < seismogram.npts(); ++i)
        samples[i] = float(double(samples[i]) / channel.scale);
    seismogram.ComputeExtrema();
    const QString units = fdsnStationText::readableUnits(channel.scaleUnits);
    header->idep = groundMotionUnits::dependentType(units);
    seismogram.setLabelString(QStringLiteral("%1 (%2)").arg(seismogram.labelString(), units));
}
