#pragma once

#include "QVRResult.h"
#include "qvrsac_export.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <vector>

// One miniSEED 2 record decoded on its own, as a stream (a SeedLink connection, say) hands
// them over: the stream's codes, the time of its first sample, its rate and its samples.
struct QVRSAC_EXPORT miniSeedRecord {
    QString network, station, location, channel;
    qint64 startTimeUs = 0; // first sample, µs since 1970 in UTC, time correction applied
    double sampleRate = 0;  // Hz
    int sequenceNumber = 0;
    int recordLength = 0; // bytes the record took of those decoded
    std::vector<float> samples;

    // "NET.STA.LOC.CHA"
    QString streamId() const;
    // The first sample's time, to the millisecond.
    QDateTime startTime() const;

    // Decodes the record at the start of `record` (which may hold more bytes after it). A
    // record without samples (log text, say) decodes with none; bytes that are no record, or
    // a record cut short or damaged, answer with the reason.
    static QVRResult<miniSeedRecord> decode(QByteArrayView record);
};
