#include "SacObject.h"

#include "QVRDateFormatter.h"
#include "butterworthFilter.h"
#include "flinnEngdahl.h"
#include "monthdate.h"
#include "seismogramFileBytes.h"
#include "streamCodes.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

Q_LOGGING_CATEGORY(lcSac, "qvrsac", QtInfoMsg)

namespace {

constexpr qsizetype headerBytes = qsizetype(sizeof(SacHeader));
constexpr qsizetype versionOffset = 76 * 4; // nvhdr, the 77th word
// Version 7 adds a footer of doubles after the data; its header words are those of version 6.
constexpr int32_t newestReadableVersion = 7;

bool isUndefined(float value) {
    return value == SacHeader::undefinedValue;
}

int32_t wordAt(const char* bytes, qsizetype offset, bool swapped) {
    int32_t value;
    std::memcpy(&value, bytes + offset, 4);
    return swapped ? qbswap(value) : value;
}

} // namespace

SacObject::SacObject()
    : header_(SacHeader::undefinedHeader()) {}

bool SacObject::refuse(const QString& why) {
    header_ = SacHeader::undefinedHeader();
    samples_ = {};
    isSac_ = false;
    smin_ = smax_ = absMax_ = 0;
    error_ = why;
    label_.clear();
    // The caller hears why through errorString() and decides what to tell the user.
    qCDebug(lcSac).noquote()
        << (path_.isEmpty() ? QStringLiteral("Not a SAC seismogram: %1").arg(why)
                            : QStringLiteral("%1 is not a SAC seismogram: %2").arg(path_, why));
    return false;
}

bool SacObject::InitWithNSData(const QByteArray& data, const QString& path) {
    path_ = path;
    error_.clear();
    const qsizetype size = data.size();
    if (size < headerBytes)
        return refuse(QStringLiteral("%1 bytes are too few for a SAC header").arg(size));

    // The header version tells the byte order: it reads as a known version in only one.
    const char* bytes = data.constData();
    bool swapped = false;
    const int32_t native = wordAt(bytes, versionOffset, false);
    if (native < 1 || native > newestReadableVersion) {
        const int32_t other = wordAt(bytes, versionOffset, true);
        if (other < 1 || other > newestReadableVersion)
            return refuse(QStringLiteral("no known header version in either byte order"));
        swapped = true;
    }

    unsigned char raw[headerBytes];
    std::memcpy(raw, bytes, headerBytes);
    if (swapped) {
        for (int w = 0; w < SacHeader::numericWords; ++w) {
            uint32_t word;
            std::memcpy(&word, raw + 4 * w, 4);
            word = qbswap(word);
            std::memcpy(raw + 4 * w, &word, 4);
        }
    }
    SacHeader h;
    std::memcpy(&h, raw, headerBytes);

    if (h.nvhdr < SacHeader::currentVersion)
        return refuse(
            QStringLiteral("header version %1 is older than this reader knows").arg(h.nvhdr));
    if (h.leven == 0 ||
        (h.iftype != SacHeader::timeSeriesType && h.iftype != SacHeader::undefinedInteger))
        return refuse(QStringLiteral("not an evenly sampled time series"));
    if (h.npts < 0)
        return refuse(QStringLiteral("a negative sample count (%1)").arg(h.npts));
    if (qint64(h.npts) * 4 > qint64(size - headerBytes))
        return refuse(QStringLiteral("%1 samples announced, but only %2 bytes of data")
                          .arg(h.npts)
                          .arg(size - headerBytes));
    if (!(h.delta > 0) || !std::isfinite(h.delta))
        return refuse(
            QStringLiteral("the sample interval %1 is not positive").arg(double(h.delta)));

    header_ = h;
    // Copied as bytes: the buffer need not be aligned for floats.
    samples_ = SacObjectSamples::forOverwrite(std::size_t(h.npts));
    if (h.npts > 0)
        std::memcpy(samples_.data(), bytes + headerBytes, std::size_t(h.npts) * sizeof(float));
    if (swapped) {
        for (float& s : samples_) {
            uint32_t word;
            std::memcpy(&word, &s, 4);
            word = qbswap(word);
            std::memcpy(&s, &word, 4);
        }
    }
    isSac_ = true;
    ComputeExtrema();
    composeDefaultLabel();
    return true;
}

QVRResult<SacObject> SacObject::fromData(const QByteArray& data, const QString& path) {
    SacObject s;
    if (!s.InitWithNSData(data, path))
        return QVRResult<SacObject>::failure(s.errorString());
    return s;
}

QVRResult<SacObject> SacObject::fromFile(const QString& path) {
    SacObject s;
    if (!s.InitWithContentsOfFile(path))
        return QVRResult<SacObject>::failure(s.errorString());
    return s;
}

bool SacObject::InitWithContentsOfFile(const QString& path) {
    path_ = path;
    const QVRResult<QByteArray> bytes = readSeismogramFileBytes(path);
    if (!bytes)
        return refuse(bytes.error());
    return InitWithNSData(*bytes, path);
}

void SacObject::InitWithSamples(std::vector<float> samples, float delta, float begin,
                                const QDateTime& referenceTime) {
    sampleExtrema none;
    InitWithSamples(std::move(samples), delta, begin, referenceTime, none);
}

void SacObject::InitWithSamples(std::vector<float> samples, float delta, float begin,
                                const QDateTime& referenceTime, const sampleExtrema& extrema) {
    InitWithSamples(SacObjectSamples(std::move(samples)), delta, begin, referenceTime, extrema);
}

void SacObject::InitWithSamples(SacObjectSamples samples, float delta, float begin,
                                const QDateTime& referenceTime, const sampleExtrema& extrema) {
    header_ = SacHeader::undefinedHeader();
    samples_ = std::move(samples);
    header_.npts = int32_t(samples_.size());
    header_.delta = delta;
    header_.b = begin;
    header_.e = begin + float(samples_.empty() ? 0 : samples_.size() - 1) * delta;
    if (referenceTime.isValid()) {
        const QDateTime t = referenceTime.toUTC();
        header_.nzyear = t.date().year();
        header_.nzjday = t.date().dayOfYear();
        header_.nzhour = t.time().hour();
        header_.nzmin = t.time().minute();
        header_.nzsec = t.time().second();
        header_.nzmsec = t.time().msec();
    }
    isSac_ = true;
    error_.clear();
    path_.clear();
    if (extrema.count() == samples_.size() && !samples_.empty())
        setExtrema(extrema);
    else
        ComputeExtrema();
    composeDefaultLabel();
}

QByteArray SacObject::toData() const {
    if (!isSac_)
        return {};
    SacHeader h = header_;
    h.nvhdr = SacHeader::currentVersion;
    h.npts = int32_t(samples_.size());
    h.e = h.b + float(samples_.empty() ? 0 : samples_.size() - 1) * h.delta;
    QByteArray out(headerBytes + qsizetype(samples_.size()) * 4, Qt::Uninitialized);
    char* bytes = out.data();
    std::memcpy(bytes, &h, headerBytes);
    if (!samples_.empty())
        std::memcpy(bytes + headerBytes, samples_.data(), samples_.size() * 4);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        const qsizetype words = SacHeader::numericWords;
        for (qsizetype w = 0; w < out.size() / 4; ++w) {
            if (w >= words && w < headerBytes / 4)
                continue; // text fields have no byte order
            uint32_t word;
            std::memcpy(&word, bytes + 4 * w, 4);
            word = qbswap(word);
            std::memcpy(bytes + 4 * w, &word, 4);
        }
    }
    return out;
}

bool SacObject::WriteSacFile(const QString& path, QString* error) const {
    if (!isSac_) {
        if (error)
            *error = QStringLiteral("there is no seismogram to write");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toData()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

float SacObject::timePickKey(int key) const {
    static constexpr float SacHeader::*picks[10] = {
        &SacHeader::t0, &SacHeader::t1, &SacHeader::t2, &SacHeader::t3, &SacHeader::t4,
        &SacHeader::t5, &SacHeader::t6, &SacHeader::t7, &SacHeader::t8, &SacHeader::t9};
    if (key >= 0 && key <= 9)
        return header_.*picks[key];
    if (key == 11)
        return header_.f;
    return SacHeader::undefinedValue;
}

QString SacObject::pickLabelWithKey(int key) const {
    static constexpr char(SacHeader::*labels[10])[8] = {
        &SacHeader::kt0, &SacHeader::kt1, &SacHeader::kt2, &SacHeader::kt3, &SacHeader::kt4,
        &SacHeader::kt5, &SacHeader::kt6, &SacHeader::kt7, &SacHeader::kt8, &SacHeader::kt9};
    if (key >= 0 && key <= 9)
        return headerText(header_.*labels[key], 8);
    if (key == 10)
        return headerText(header_.ka, 8);
    return QStringLiteral("-12345");
}

QString SacObject::headerText(const char* field, int length) const {
    // Text ends at the first NUL; blanks around it are padding.
    const char* end = static_cast<const char*>(std::memchr(field, '\0', std::size_t(length)));
    const int used = end ? int(end - field) : length;
    return QString::fromLatin1(field, used).trimmed();
}

QString SacObject::kstnm() const {
    return headerText(header_.kstnm, 8);
}
QString SacObject::knetwk() const {
    return headerText(header_.knetwk, 8);
}
QString SacObject::kcmpnm() const {
    return headerText(header_.kcmpnm, 8);
}
QString SacObject::khole() const {
    return headerText(header_.khole, 8);
}
QString SacObject::kuser0() const {
    return headerText(header_.kuser0, 8);
}

void SacObject::setStreamCodes(const QString& network, const QString& station,
                               const QString& location, const QString& channel) {
    const auto put = [](char(&field)[8], const QString& text) {
        // Blank-padded, as the format has it.
        const QByteArray latin = text.toLatin1().left(8);
        std::memset(field, ' ', sizeof field);
        std::memcpy(field, latin.constData(), std::size_t(latin.size()));
    };
    put(header_.knetwk, network);
    put(header_.kstnm, station);
    put(header_.khole, location);
    put(header_.kcmpnm, channel);
    composeDefaultLabel();
}

QString SacObject::streamId() const {
    const auto code = [](const QString& text) {
        return text == QLatin1StringView("-12345") ? QString() : text;
    };
    return streamCodes::joined(code(knetwk()), code(kstnm()), code(khole()), code(kcmpnm()));
}

QString SacObject::standardFileName() const {
    QString name = streamId();
    const QDateTime first = firstSampleTime();
    if (first.isValid()) {
        static const QVRDateFormatter formatter(QStringLiteral("yyyy.DDD.HHmmss"),
                                                QTimeZone::utc());
        name += u'.' + formatter.stringFromDate(first);
    }
    return name + QStringLiteral(".SAC");
}

void SacObject::composeDefaultLabel() {
    QStringList codes;
    for (const QString& code : {knetwk(), kstnm(), kcmpnm()}) {
        if (!code.isEmpty() && code != QLatin1StringView("-12345"))
            codes << code;
    }
    label_ = codes.join(u'.');
}

void SacObject::ComputeExtrema() {
    sampleExtrema extrema;
    extrema.take(samples_.data(), samples_.size());
    setExtrema(extrema);
}

void SacObject::setExtrema(const sampleExtrema& extrema) {
    if (extrema.count() == 0) {
        smin_ = smax_ = absMax_ = 0;
        return;
    }
    smin_ = extrema.min();
    smax_ = extrema.max();
    absMax_ = std::max(std::fabs(smin_), std::fabs(smax_));
    header_.depmin = smin_;
    header_.depmax = smax_;
    header_.depmen = extrema.mean();
}

QDateTime SacObject::mySeisReferenceTime() const {
    const SacHeader& h = header_;
    const int32_t fields[] = {h.nzyear, h.nzjday, h.nzhour, h.nzmin, h.nzsec, h.nzmsec};
    for (int32_t f : fields) {
        if (f == SacHeader::undefinedInteger)
            return {};
    }
    int month = 0, day = 0;
    if (monthdate(h.nzyear, h.nzjday, &month, &day) != 0)
        return {};
    const QTime time(h.nzhour, h.nzmin, h.nzsec, h.nzmsec);
    if (!time.isValid())
        return {};
    return QDateTime(QDate(h.nzyear, month, day), time, QTimeZone::utc());
}

QDateTime SacObject::firstSampleTime() const {
    const QDateTime reference = mySeisReferenceTime();
    if (!reference.isValid() || isUndefined(header_.b) || !std::isfinite(header_.b))
        return reference;
    return reference.addMSecs(std::llround(double(header_.b) * 1000.0));
}

std::optional<qint64> SacObject::firstSampleMicroseconds() const {
    const QDateTime reference = mySeisReferenceTime();
    if (!reference.isValid())
        return std::nullopt;
    const qint64 us = reference.toMSecsSinceEpoch() * 1000;
    if (isUndefined(header_.b) || !std::isfinite(header_.b))
        return us;
    return us + std::llround(double(header_.b) * 1e6);
}

QString SacObject::YMDcString() const {
    static const QVRDateFormatter formatter(QStringLiteral("yyyy-MM-dd"), QTimeZone::utc());
    return formatter.stringFromDate(mySeisReferenceTime());
}

QString SacObject::oTimeString() const {
    const QDateTime reference = mySeisReferenceTime();
    if (!reference.isValid() || isUndefined(header_.o))
        return {};
    static const QVRDateFormatter formatter(QStringLiteral("yyyy-MM-dd HH:mm:ss.SSS"),
                                            QTimeZone::utc());
    return formatter.stringFromDate(
        reference.addMSecs(qint64(std::llround(double(header_.o) * 1000.0))));
}

QString SacObject::flinnEngdahlGeographicRegion() const {
    if (isUndefined(header_.evla) || isUndefined(header_.evlo))
        return {};
    int greg = 0, sreg = 0;
    fe_lookup(header_.evla, 32, header_.evlo, 32, &greg, &sreg);
    const char* geographic = nullptr;
    const char* seismic = nullptr;
    fe_region(&greg, &geographic, &sreg, &seismic);
    return QString::fromLatin1(geographic);
}

void SacObject::RemoveMean() {
    if (samples_.empty())
        return;
    double sum = 0;
    for (float s : samples_)
        sum += s;
    const double mean = sum / double(samples_.size());
    for (float& s : samples_)
        s = float(double(s) - mean);
    ComputeExtrema();
}

void SacObject::defaultTaper() {
    const std::size_t n = samples_.size();
    const std::size_t width = std::size_t(taperFraction * double(n));
    if (width < 1)
        return;
    for (std::size_t i = 0; i < width; ++i) {
        const double weight = 0.5 * (1.0 - std::cos(std::numbers::pi * double(i) / double(width)));
        samples_[i] = float(samples_[i] * weight);
        samples_[n - 1 - i] = float(samples_[n - 1 - i] * weight);
    }
    ComputeExtrema();
}

bool SacObject::HPBUfilter(float cornerHz, int passes, int poles) {
    return filter(true, cornerHz, passes, poles);
}

bool SacObject::LPBUfilter(float cornerHz, int passes, int poles) {
    return filter(false, cornerHz, passes, poles);
}

bool SacObject::filter(bool highPass, float cornerHz, int passes, int poles) {
    if (!isSac_)
        return false;
    const auto sections = butterworthFilter::design(highPass ? butterworthFilter::kind::highPass
                                                             : butterworthFilter::kind::lowPass,
                                                    cornerHz, header_.delta, poles);
    if (sections.empty()) {
        qCWarning(lcSac).noquote()
            << QStringLiteral(
                   "%1-pass filter at %2 Hz with %3 poles cannot be built for a "
                   "sample interval of %4 s (Nyquist %5 Hz); the trace is left unchanged.")
                   .arg(highPass ? QStringLiteral("High") : QStringLiteral("Low"))
                   .arg(double(cornerHz))
                   .arg(poles)
                   .arg(double(header_.delta))
                   .arg(0.5 / double(header_.delta));
        return false;
    }
    butterworthFilter::apply(sections, samples_.data(), qsizetype(samples_.size()),
                             passes >= 2 ? 2 : 1);
    ComputeExtrema();
    return true;
}
