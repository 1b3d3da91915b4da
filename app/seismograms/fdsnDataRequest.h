#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "fdsnStationText.h"
#include "webFetcher.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <vector>

// One load from an FDSN data centre: one bulk POST to its dataselect service for the
// waveforms (miniSEED) and one to its station service for the channels' metadata (text), each
// with one line per channel, "NET STA LOC CHA START END". The seismograms get the station's
// coordinates and orientation in their headers and, for ground motion, samples divided by the
// channel's scale. Runs on the download controller's worker; nothing here touches a window.
class fdsnDataRequest {
public:
    // One channel asked for.
    struct line {
        QString network, station, location, channel; // location empty when blank
        QString label;                               // the seismograms' label; empty keeps theirs
        QDateTime start, end;
    };

    // A load as a whole: either it failed (`failure` says why, nothing arrived), or each line
    // has its seismograms (one per contiguous trace) or the reason it has none.
    struct outcome {
        QString failure;
        QList<QVRResult<std::vector<SacObject>>> channels; // in the order of the lines
    };

    fdsnDataRequest(const QString& baseURL, QList<line> lines);

    QString dataselectAddress() const;
    QString stationAddress() const;
    // The lines of each POST's body, as sent (each ends with "\n").
    QByteArray dataselectBody() const;
    QByteArray stationBody() const;
    // "IU ANMO 00 BHZ 2012-05-01T00:00:00 2012-05-01T01:00:00"; a blank location is "--".
    static QString bulkLine(const line& l);

    // Asks the centre, with `how`'s time-out, user agent and cancellation. With `groundMotion`
    // the samples are divided by each channel's scale and labelled with its units; without,
    // they stay in counts. With `knownMetadata` (channels already asked for) the station
    // service is not asked again. Every failure is logged once.
    outcome fetch(bool groundMotion, int timeoutMs, const QByteArray& userAgent,
                  const std::atomic<bool>* cancelled,
                  const fdsnStationText* knownMetadata = nullptr) const;

    // What every request to a centre is made with.
    static webFetcher::options requestOptions(int timeoutMs, const QByteArray& userAgent,
                                              const std::atomic<bool>* cancelled);
    // Logs why a request failed, once; a cancelled request is no failure to report.
    static void logFailure(const QString& why, const std::atomic<bool>* cancelled);

    // What a failed request to the centre's `service` ("dataselect", "station") tells the
    // user: "The FDSN station service did not answer: HTTP 500".
    static QString failureText(const QString& service, const QVRResult<QByteArray>& answer);

    // Sorts the traces of a dataselect answer to the lines they answer (by their codes; a
    // line's channel may hold the wildcards "?" and "*"), and fills each from `metadata`.
    // Lines without a trace fail with "no data". Lines without metadata are kept in counts,
    // with one log line each, as are all when `metadata` is null.
    outcome sortTraces(std::vector<SacObject> traces, const fdsnStationText* metadata,
                       bool groundMotion) const;

    // Fills stla, stlo, stel, stdp, cmpaz and cmpinc (from vertical: SAC's angle is the
    // dip + 90°) from `channel`; with `groundMotion` and a scale, divides the samples by it and
    // appends the units to the label, "IU.ANMO (m/s)".
    static void applyMetadata(SacObject& seismogram, const fdsnStationText::channel& channel,
                              bool groundMotion);

    // "IU.ANMO.00.BHZ".
    static QString name(const line& l);

private:
    QString base_;
    QList<line> lines_;
};
