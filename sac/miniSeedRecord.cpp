#include "miniSeedRecord.h"

#include "miniSeedParser.h"
#include "streamCodes.h"

#include <QTimeZone>

QString miniSeedRecord::streamId() const {
    return streamCodes::joined(network, station, location, channel);
}

QDateTime miniSeedRecord::startTime() const {
    return QDateTime::fromMSecsSinceEpoch(startTimeUs / 1000, QTimeZone::utc());
}

QVRResult<miniSeedRecord> miniSeedRecord::decode(QByteArrayView bytes) {
    miniSeedParser parser;
    const miniSeedParser::step step = parser.parse(bytes.data(), bytes.size());
    switch (step.what) {
    case miniSeedParser::outcome::truncated:
        return QVRResult<miniSeedRecord>::failure(
            step.length > 0
                ? QStringLiteral("the record of %1 bytes is cut short at %2 bytes")
                      .arg(step.length)
                      .arg(bytes.size())
                : QStringLiteral("the record is cut short at %1 bytes").arg(bytes.size()));
    case miniSeedParser::outcome::damaged:
        return QVRResult<miniSeedRecord>::failure(
            step.length > 0
                ? QStringLiteral("the record of %1 bytes cannot be decoded").arg(step.length)
                : QStringLiteral("the bytes are not a miniSEED record"));
    case miniSeedParser::outcome::record:
        break;
    }
    miniSeedRecord r;
    r.network = QString::fromLatin1(parser.network());
    r.station = QString::fromLatin1(parser.station());
    r.location = QString::fromLatin1(parser.location());
    r.channel = QString::fromLatin1(parser.channel());
    r.startTimeUs = parser.startTimeUs();
    r.sampleRate = parser.sampleRate();
    r.sequenceNumber = parser.sequenceNumber();
    r.recordLength = step.length;
    parser.appendSamples(r.samples);
    return r;
}
