#pragma once

#include "QVRResult.h"
#include "SacHeader.h"
#include "SacObjectSamples.h"
#include "qvrsac_export.h"
#include "sampleExtrema.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <vector>

// One seismogram in the binary SAC format: an evenly sampled time series of 32-bit samples
// with its header. Files of either byte order are read; anything that is not a valid binary
// SAC time series (too short, unknown header version, a sample count that is negative or
// larger than the data, alphanumeric SAC, …) leaves the object empty with isSacFile() false.
// Files are written little-endian, header version 6.
class QVRSAC_EXPORT SacObject {
public:
    SacObject();

    // Reads a seismogram from bytes (a download: no path) or from a file. False, with the
    // reason in errorString(), when the bytes are not a SAC time series.
    bool InitWithNSData(const QByteArray& data, const QString& path = QString());
    bool InitWithContentsOfFile(const QString& path);
    // The same reads answering with the seismogram, or with why there is none.
    static QVRResult<SacObject> fromData(const QByteArray& data, const QString& path = QString());
    static QVRResult<SacObject> fromFile(const QString& path);
    // A new seismogram from samples, every other header field undefined.
    void InitWithSamples(std::vector<float> samples, float delta, float begin,
                         const QDateTime& referenceTime);
    // The same with the samples' extrema taken while they were made, which spares reading
    // them all once more; extrema of another count of samples are taken again.
    void InitWithSamples(std::vector<float> samples, float delta, float begin,
                         const QDateTime& referenceTime, const sampleExtrema& extrema);
    // The same taking samples a reader made with SacObjectSamples::forOverwrite and wrote in
    // full, so that a day of samples is neither zeroed first nor copied.
    void InitWithSamples(SacObjectSamples samples, float delta, float begin,
                         const QDateTime& referenceTime, const sampleExtrema& extrema);

    bool isSacFile() const { return isSac_; }
    const QString& errorString() const { return error_; }
    const QString& path() const { return path_; }
    // The file the seismogram came from, for a seismogram made from samples.
    void setPath(const QString& path) { path_ = path; }

    // The header in SAC layout, or nullptr when there is no seismogram.
    const SacHeader* GetSacHeader() const { return isSac_ ? &header_ : nullptr; }
    SacHeader* GetSacHeader() { return isSac_ ? &header_ : nullptr; }
    // The npts samples, or nullptr when there is no seismogram.
    const float* GetSacSeis() const { return isSac_ ? samples_.data() : nullptr; }
    float* GetSacSeis() { return isSac_ ? samples_.data() : nullptr; }

    // The seismogram as a binary SAC file: little-endian, header version 6.
    QByteArray toData() const;
    bool WriteSacFile(const QString& path, QString* error = nullptr) const;
    // "NET.STA.LOC.CHA.YYYY.DDD.HHMMSS.SAC" of the codes and the first sample's time (UTC);
    // undefined codes are empty, and without a reference time the time part is left out.
    QString standardFileName() const;

    // --- header values
    float delta() const { return header_.delta; } // s
    float b() const { return header_.b; }         // s after the reference time
    float e() const { return header_.e; }
    int npts() const { return isSac_ ? header_.npts : 0; }
    float gcarc() const { return header_.gcarc; } // degrees
    float azimuth() const { return header_.az; }
    float backazimuth() const { return header_.baz; }
    float evla() const { return header_.evla; }
    float evlo() const { return header_.evlo; }
    float evdp() const { return header_.evdp; }
    float stla() const { return header_.stla; }
    float stlo() const { return header_.stlo; }
    float originTimeOffset() const { return header_.o; }
    float pTime() const { return header_.a; }
    // Pick time: keys 0–9 are t0–t9, 11 is f; −12345 for any other key or an unset pick.
    float timePickKey(int key) const;
    // Pick label: keys 0–9 are kt0–kt9, 10 is ka; "-12345" for any other key.
    QString pickLabelWithKey(int key) const;

    QString kstnm() const;
    QString knetwk() const;
    QString kcmpnm() const;
    QString khole() const;
    QString kuser0() const;
    // "NET.STA.LOC.CHA" of knetwk, kstnm, khole and kcmpnm, each empty where undefined.
    QString streamId() const;
    // Sets knetwk, kstnm, khole and kcmpnm (8 characters each at most) and the label they make.
    void setStreamCodes(const QString& network, const QString& station, const QString& location,
                        const QString& channel);

    // --- amplitudes, kept up to date by loading and processing
    float smin() const { return smin_; }
    float smax() const { return smax_; }
    float absMax() const { return absMax_; }
    void ComputeExtrema();

    // --- time and event texts
    // The reference time (nzyear … nzmsec) in UTC; invalid when the header leaves it unset.
    QDateTime mySeisReferenceTime() const;
    // The first sample's time (reference time + b) to the nearest millisecond; invalid when the
    // reference time is unset.
    QDateTime firstSampleTime() const;
    // The first sample's time (reference time + b) in microseconds since 1970 in UTC, rounded
    // to the microsecond; none when the reference time is unset. Exact where b holds its
    // microseconds, as it does for a miniSEED trace, whose reference time is its first
    // sample's millisecond and whose b is the rest (a 32-bit b keeps microseconds exactly up
    // to a few seconds).
    std::optional<qint64> firstSampleMicroseconds() const;
    // The reference date as "yyyy-MM-dd"; empty when unset.
    QString YMDcString() const;
    // The origin time (reference time + o) as "yyyy-MM-dd HH:mm:ss.SSS"; empty when unset.
    QString oTimeString() const;
    // Flinn–Engdahl geographic region of the event (evla, evlo); empty when they are unset.
    QString flinnEngdahlGeographicRegion() const;

    // A label for displays; by default "NET.STA.CMP" of the defined codes.
    const QString& labelString() const { return label_; }
    void setLabelString(const QString& label) { label_ = label; }

    // --- processing, in place
    void RemoveMean();
    // A cosine (Hann) taper over the first and the last 5 % of the samples.
    void defaultTaper();
    static constexpr double taperFraction = 0.05;
    // Butterworth high or low pass: `passes` 1 is causal, 2 zero phase; 1–10 poles. A corner
    // that is not strictly between 0 and the Nyquist frequency leaves the samples unchanged
    // and answers false.
    bool HPBUfilter(float cornerHz, int passes, int poles);
    bool LPBUfilter(float cornerHz, int passes, int poles);

private:
    bool refuse(const QString& why);
    bool filter(bool highPass, float cornerHz, int passes, int poles);
    QString headerText(const char* field, int length) const;
    void composeDefaultLabel();
    void setExtrema(const sampleExtrema& extrema);

    SacHeader header_;
    SacObjectSamples samples_;
    bool isSac_ = false;
    QString error_;
    QString path_;
    QString label_;
    float smin_ = 0;
    float smax_ = 0;
    float absMax_ = 0;
};
