#include "miniSeedParser.h"

#include "sampleExtrema.h"

#include <QLoggingCategory>

#include <libmseed.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>

Q_LOGGING_CATEGORY(lcLibmseed, "qvrsac.libmseed", QtInfoMsg)

namespace {

// Set while a record is decoded from its kept layout: libmseed then names the stream of the
// header it read last, which may be another record's, so a failure is decoded once more with
// its own header to be told.
thread_local bool quiet = false;

void debugLine(char* message) {
    if (!quiet)
        qCDebug(lcLibmseed).noquote() << QString::fromLatin1(message).trimmed();
}

// libmseed prints to standard error unless told otherwise; its settings are global, so they
// are made once for the whole process.
void routeLibraryMessages() {
    static std::once_flag once;
    std::call_once(once, [] { ms_loginit(debugLine, nullptr, debugLine, nullptr); });
}

int clampedLength(qsizetype available) {
    return int(std::min<qsizetype>(available, INT_MAX));
}

} // namespace

miniSeedParser::miniSeedParser() {
    routeLibraryMessages();
}

miniSeedParser::~miniSeedParser() {
    msr_free(&record_);
}

bool miniSeedParser::detects(const char* bytes, qsizetype available) {
    return available >= MINRECLEN && ms_detect(bytes, clampedLength(available)) >= 0;
}

miniSeedParser::step miniSeedParser::parse(const char* bytes, qsizetype available, content what) {
    const int usable = clampedLength(available);
    if (usable < MINRECLEN)
        return {ms_detect(bytes, usable) >= 0 ? outcome::truncated : outcome::damaged, 0};
    int length = ms_detect(bytes, usable);
    if (length < 0)
        return {outcome::damaged, 0};
    if (length == 0) {
        // A record without a blockette 1000 whose successor is not in the buffer: the rest of
        // the buffer is the record when its size is one a record can have.
        const bool powerOfTwo = (usable & (usable - 1)) == 0;
        if (!powerOfTwo || usable > MAXRECLEN)
            return {outcome::truncated, 0};
        length = usable;
    }
    if (length > usable)
        return {outcome::truncated, length};
    // libmseed reads the record and writes only into its own structures; its interface simply
    // predates const. The header is read first: libmseed's decoders of uncompressed samples
    // trust the header's sample count and would read past a record that claims more samples
    // than it holds.
    char* record = const_cast<char*>(bytes);
    if (msr_parse(record, usable, &record_, length, 0, 0) != MS_NOERROR || !samplesFit())
        return {outcome::damaged, length};
    if (what == content::samples && !decodeParsed(bytes, length))
        return {outcome::damaged, length};
    return {outcome::record, length};
}

bool miniSeedParser::decodeParsed(const char* bytes, int length) {
    return msr_parse(const_cast<char*>(bytes), length, &record_, length, 1, 0) == MS_NOERROR &&
           record_->numsamples == record_->samplecnt;
}

miniSeedParser::samplesLayout miniSeedParser::layout() const {
    samplesLayout l;
    l.length = record_->reclen;
    l.dataOffset = record_->fsdh ? record_->fsdh->data_offset : 0;
    l.count = record_->samplecnt;
    l.encoding = record_->encoding;
    // libmseed decodes in the byte order blockette 1000 gives, unless the environment sets
    // one; anything else leaves the decoding to a whole parse of the record.
    if (record_->Blkt1000 && unpackdatabyteorder < 0) {
        const bool bigEndianHost = ms_bigendianhost();
        l.swapped = bigEndianHost ? record_->byteorder == 0 : record_->byteorder > 0;
    }
    return l;
}

bool miniSeedParser::decodeParsed(const char* bytes, const samplesLayout& l) {
    if (l.swapped < 0 || !record_ || !record_->fsdh)
        return decodeParsed(bytes, l.length);
    record_->record = const_cast<char*>(bytes);
    record_->reclen = l.length;
    record_->fsdh->data_offset = uint16_t(l.dataOffset);
    record_->samplecnt = l.count;
    record_->encoding = l.encoding;
    quiet = true;
    const int decoded = msr_unpack_data(record_, l.swapped, 0);
    quiet = false;
    if (decoded < 0 || decoded != l.count)
        return decodeParsed(bytes, l.length);
    record_->numsamples = decoded;
    return true;
}

bool miniSeedParser::samplesFit() const {
    int bytesPerSample = 0; // 0: a compressed encoding, whose decoder keeps to the record
    switch (record_->encoding) {
    case DE_ASCII:
        bytesPerSample = 1;
        break;
    case DE_INT16:
    case DE_GEOSCOPE163:
    case DE_GEOSCOPE164:
    case DE_CDSN:
    case DE_SRO:
    case DE_DWWSSN:
        bytesPerSample = 2;
        break;
    case DE_GEOSCOPE24:
        bytesPerSample = 3;
        break;
    case DE_INT32:
    case DE_FLOAT32:
        bytesPerSample = 4;
        break;
    case DE_FLOAT64:
        bytesPerSample = 8;
        break;
    default:
        break;
    }
    const int dataOffset = record_->fsdh ? record_->fsdh->data_offset : 0;
    if (dataOffset > record_->reclen)
        return false;
    return record_->samplecnt >= 0 &&
           record_->samplecnt * bytesPerSample <= int64_t(record_->reclen - dataOffset);
}

const char* miniSeedParser::network() const {
    return record_->network;
}
const char* miniSeedParser::station() const {
    return record_->station;
}
const char* miniSeedParser::location() const {
    return record_->location;
}
const char* miniSeedParser::channel() const {
    return record_->channel;
}

qint64 miniSeedParser::startTimeUs() const {
    static_assert(HPTMODULUS == 1000000, "libmseed's high-precision time counts microseconds");
    return qint64(record_->starttime);
}

double miniSeedParser::sampleRate() const {
    return record_->samprate;
}

int miniSeedParser::sequenceNumber() const {
    return record_->sequence_number;
}

qsizetype miniSeedParser::sampleCount() const {
    return qsizetype(record_->numsamples);
}

bool miniSeedParser::hasWaveform() const {
    // A rate whose sample interval no 32-bit float holds makes no seismogram.
    const float interval = float(1.0 / record_->samprate);
    return record_->samplecnt > 0 && record_->encoding != DE_ASCII && record_->samprate > 0 &&
           std::isfinite(interval) && interval > 0;
}

qsizetype miniSeedParser::announcedSamples() const {
    return qsizetype(record_->samplecnt);
}

void miniSeedParser::copySamples(float* to, sampleExtrema& extrema) const {
    const std::size_t n = std::size_t(record_->numsamples);
    if (n == 0)
        return;
    // The room was not zeroed: every one of its samples is written, whatever the record held.
    switch (record_->datasamples ? record_->sampletype : 0) {
    case 'i':
        extrema.convert(static_cast<const int32_t*>(record_->datasamples), n, to);
        break;
    case 'f':
        extrema.convert(static_cast<const float*>(record_->datasamples), n, to);
        break;
    case 'd':
        extrema.convert(static_cast<const double*>(record_->datasamples), n, to);
        break;
    default:
        std::fill(to, to + n, 0.0f);
        extrema.take(to, n);
        break;
    }
}

void miniSeedParser::appendSamples(std::vector<float>& out) const {
    const char type = record_->sampletype;
    if (type != 'i' && type != 'f' && type != 'd')
        return;
    const std::size_t first = out.size();
    out.resize(first + std::size_t(record_->numsamples));
    sampleExtrema unused;
    copySamples(out.data() + first, unused);
}
