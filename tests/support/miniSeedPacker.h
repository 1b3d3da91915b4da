#pragma once

#include <QByteArray>
#include <QString>

#include <libmseed.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Makes miniSEED 2 records with libmseed's own packing, as a datalogger or a data centre does:
// the fixtures of the cases no sample file covers, and the benchmark's day of data.
struct miniSeedPacker {
    QByteArray network = "XX", station = "TEST", location = "00", channel = "BHZ";
    int64_t startUs = 1262304000000000; // 2010-01-01 00:00:00 UTC
    double rate = 20.0;
    int recordLength = 512;
    int encoding = DE_STEIM2;
    bool bigEndian = true;

    QByteArray pack(const std::vector<int32_t>& samples) const {
        return packAs('i', samples.data(), samples.size(), sizeof(int32_t));
    }
    QByteArray pack(const std::vector<float>& samples) const {
        return packAs('f', samples.data(), samples.size(), sizeof(float));
    }
    QByteArray pack(const std::vector<double>& samples) const {
        return packAs('d', samples.data(), samples.size(), sizeof(double));
    }
    // A log record of text, as a datalogger writes between its data records.
    QByteArray packText(const QByteArray& text) const {
        miniSeedPacker asText = *this;
        asText.encoding = DE_ASCII;
        asText.rate = 0;
        return asText.packAs('a', text.constData(), std::size_t(text.size()), 1);
    }

private:
    static void collect(char* record, int length, void* into) {
        static_cast<QByteArray*>(into)->append(record, length);
    }

    QByteArray packAs(char type, const void* samples, std::size_t count, std::size_t size) const {
        MSTrace* trace = mst_init(nullptr);
        std::strncpy(trace->network, network.constData(), sizeof trace->network - 1);
        std::strncpy(trace->station, station.constData(), sizeof trace->station - 1);
        std::strncpy(trace->location, location.constData(), sizeof trace->location - 1);
        std::strncpy(trace->channel, channel.constData(), sizeof trace->channel - 1);
        trace->dataquality = 'D';
        trace->starttime = startUs;
        trace->samprate = rate;
        trace->sampletype = type;
        trace->numsamples = int64_t(count);
        trace->samplecnt = int64_t(count);
        // The trace owns its samples and frees them with itself.
        trace->datasamples = std::malloc(count * size + 1);
        std::memcpy(trace->datasamples, samples, count * size);
        QByteArray out;
        int64_t packed = 0;
        mst_pack(trace, collect, &out, recordLength, flag(encoding), flag(bigEndian ? 1 : 0),
                 &packed, 1, 0, nullptr);
        mst_free(&trace);
        return out;
    }
};
