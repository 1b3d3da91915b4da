#include "miniSeedReader.h"

#include "miniSeedParser.h"
#include "seismogramFileBytes.h"

#include <QLoggingCategory>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>

Q_LOGGING_CATEGORY(lcMiniSeed, "qvrsac.miniseed", QtInfoMsg)

namespace {

// The smallest record miniSEED allows: where a damaged record does not say how long it is,
// the search for the next one goes on in steps of this.
constexpr qsizetype smallestRecord = 128;
// Sample rates closer than this, relative, are one rate (libmseed's own tolerance).
constexpr double rateTolerance = 0.0001;

// One trace as it grows, record by record.
struct trace {
    std::string stream; // "NET.STA.LOC.CHA"
    QString network, station, location, channel;
    qint64 startUs = 0;
    double rate = 0;
    std::vector<float> samples;

    // Whether a record of this stream starting at `recordStartUs` with `recordRate` continues
    // the trace: the same rate, and no gap or overlap of more than half a sample. A trace also
    // ends where a SAC header could no longer count its samples.
    bool continuedBy(qint64 recordStartUs, double recordRate, qsizetype recordSamples) const {
        if (std::fabs(1.0 - recordRate / rate) > rateTolerance ||
            qint64(samples.size()) + recordSamples > std::numeric_limits<int32_t>::max())
            return false;
        const double periodUs = 1e6 / rate;
        const double expectedUs = double(startUs) + double(samples.size()) * periodUs;
        return std::fabs(double(recordStartUs) - expectedUs) <= 0.5 * periodUs;
    }
};

std::string streamOf(const miniSeedParser& parser) {
    std::string id = parser.network();
    id += '.';
    id += parser.station();
    id += '.';
    id += parser.location();
    id += '.';
    id += parser.channel();
    return id;
}

bool allZero(const char* bytes, qsizetype size) {
    return std::all_of(bytes, bytes + size, [](char c) { return c == 0; });
}

SacObject seismogramOf(trace& t, const QString& path) {
    // The header's reference time counts milliseconds; b keeps the microseconds below them.
    const qint64 ms = t.startUs >= 0 ? t.startUs / 1000 : -((-t.startUs + 999) / 1000);
    const float belowMs = float(double(t.startUs - ms * 1000) / 1e6);
    SacObject s;
    s.InitWithSamples(std::move(t.samples), float(1.0 / t.rate), belowMs,
                      QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    s.setStreamCodes(t.network, t.station, t.location, t.channel);
    s.setPath(path);
    return s;
}

} // namespace

bool miniSeedReader::looksLikeMiniSeed(QByteArrayView bytes) {
    return miniSeedParser::detects(bytes.data(), bytes.size());
}

QVRResult<miniSeedTraces> miniSeedReader::fromData(const QByteArray& data, const QString& path) {
    const char* bytes = data.constData();
    const qsizetype size = data.size();
    miniSeedParser parser;
    std::vector<trace> traces;
    std::unordered_map<std::string, std::size_t> latestOfStream;
    int skipped = 0;
    int records = 0;
    int knownLength = 0;           // of the last record read
    bool searchingForNext = false; // stepping through bytes after a record of unknown length

    qsizetype offset = 0;
    while (offset < size) {
        const miniSeedParser::step step = parser.parse(bytes + offset, size - offset);
        if (step.what == miniSeedParser::outcome::truncated) {
            if (!allZero(bytes + offset, size - offset))
                ++skipped;
            break;
        }
        if (step.what == miniSeedParser::outcome::damaged) {
            const qsizetype length =
                step.length > 0 ? step.length : (knownLength > 0 ? knownLength : smallestRecord);
            const qsizetype stretch = std::min(length, size - offset);
            // Zeros pad some files to a block size: they are no record.
            if (!allZero(bytes + offset, stretch)) {
                // Without a length, one damaged record is searched past in several steps.
                if (step.length > 0 || knownLength > 0 || !searchingForNext)
                    ++skipped;
                searchingForNext = step.length == 0 && knownLength == 0;
            }
            offset += stretch;
            continue;
        }
        offset += step.length;
        knownLength = step.length;
        searchingForNext = false;
        ++records;
        if (!parser.hasWaveform())
            continue;

        const qint64 startUs = parser.startTimeUs();
        const double rate = parser.sampleRate();
        std::string stream = streamOf(parser);
        const auto latest = latestOfStream.find(stream);
        std::size_t current;
        if (latest != latestOfStream.end() &&
            traces[latest->second].continuedBy(startUs, rate, parser.sampleCount())) {
            current = latest->second;
        } else {
            trace t;
            t.network = QString::fromLatin1(parser.network());
            t.station = QString::fromLatin1(parser.station());
            t.location = QString::fromLatin1(parser.location());
            t.channel = QString::fromLatin1(parser.channel());
            t.startUs = startUs;
            t.rate = rate;
            t.stream = stream;
            traces.push_back(std::move(t));
            current = traces.size() - 1;
            latestOfStream[std::move(stream)] = current;
        }
        parser.appendSamples(traces[current].samples);
    }

    const QString name = path.isEmpty() ? QStringLiteral("miniSEED data") : path;
    if (skipped > 0)
        qCWarning(lcMiniSeed).noquote()
            << QStringLiteral("%1: skipped %2 miniSEED record(s) that could not be read")
                   .arg(name)
                   .arg(skipped);
    // Records of text or of blockettes alone make a readable file without a trace.
    if (records == 0)
        return QVRResult<miniSeedTraces>::failure(
            skipped > 0 ? QStringLiteral("no miniSEED record in it can be read")
                        : QStringLiteral("it holds no miniSEED record"));

    std::stable_sort(traces.begin(), traces.end(), [](const trace& a, const trace& b) {
        return a.stream != b.stream ? a.stream < b.stream : a.startUs < b.startUs;
    });
    miniSeedTraces result;
    result.skippedRecords = skipped;
    result.traces.reserve(traces.size());
    for (trace& t : traces)
        result.traces.push_back(seismogramOf(t, path));
    return result;
}

QVRResult<miniSeedTraces> miniSeedReader::fromFile(const QString& path) {
    QVRResult<QByteArray> bytes = readSeismogramFileBytes(path);
    if (!bytes)
        return QVRResult<miniSeedTraces>::failureOf(bytes);
    return fromData(*bytes, path);
}
