#include "miniSeedParser.h"

#include <QLoggingCategory>

#include <libmseed.h>

#include <algorithm>
#include <climits>
#include <mutex>

Q_LOGGING_CATEGORY(lcLibmseed, "qvrsac.libmseed", QtInfoMsg)

namespace {

void debugLine(char* message) {
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

miniSeedParser::step miniSeedParser::parse(const char* bytes, qsizetype available) {
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
    // predates const.
    if (msr_parse(const_cast<char*>(bytes), usable, &record_, length, 1, 0) != MS_NOERROR)
        return {outcome::damaged, length};
    return {outcome::record, length};
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
    const char type = record_->sampletype;
    return record_->numsamples > 0 && record_->datasamples && record_->samprate > 0 &&
           (type == 'i' || type == 'f' || type == 'd');
}

void miniSeedParser::appendSamples(std::vector<float>& out) const {
    if (!hasWaveform())
        return;
    const std::size_t n = std::size_t(record_->numsamples);
    const std::size_t first = out.size();
    out.resize(first + n);
    float* to = out.data() + first;
    switch (record_->sampletype) {
    case 'i': {
        const auto* from = static_cast<const int32_t*>(record_->datasamples);
        std::transform(from, from + n, to, [](int32_t v) { return float(v); });
        break;
    }
    case 'f': {
        const auto* from = static_cast<const float*>(record_->datasamples);
        std::copy(from, from + n, to);
        break;
    }
    default: {
        const auto* from = static_cast<const double*>(record_->datasamples);
        std::transform(from, from + n, to, [](double v) { return float(v); });
        break;
    }
    }
}

QString miniSeedParser::streamId() const {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(QLatin1StringView(network()), QLatin1StringView(station()),
             QLatin1StringView(location()), QLatin1StringView(channel()));
}
