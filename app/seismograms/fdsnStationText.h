#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The channel-level text answer of an FDSN station service ("format=text", "level=channel"):
// one line per channel epoch, "|"-separated, after a "#" heading. Data only; thread-free.
class fdsnStationText {
public:
    // One epoch of one channel.
    struct channel {
        QString network, station, location, channelCode; // location "" when blank
        double latitude{};                               // degrees north
        double longitude{};                              // degrees east
        double elevation{};                              // m above sea level
        double depth{};                                  // m below the surface
        double azimuth{};                                // degrees clockwise from north
        double dip{};                                    // degrees down from horizontal
        double scale{};          // counts per unit of scaleUnits; 0 when not given
        double scaleFrequency{}; // Hz, where scale holds
        QString scaleUnits;      // as the service writes them ("M/S")
        double sampleRate{};     // samples per second
        QDateTime start, end;    // the epoch; an invalid end is open
    };

    // The channels of `answer`; lines that are not a channel (too few fields, a number or a
    // time that does not read) are counted in skippedLines().
    static fdsnStationText parse(const QByteArray& answer);

    const QList<channel>& channels() const { return channels_; }
    int skippedLines() const { return skippedLines_; }

    // The epoch of NET.STA.LOC.CHA in force at `when`, or failing that the latest one; none
    // when the answer has no such channel.
    std::optional<channel> find(const QString& network, const QString& station,
                                const QString& location, const QString& channelCode,
                                const QDateTime& when) const;

    // The units as a person reads them: "M/S" is "m/s", "M/S**2" is "m/s²", "M" is "m";
    // others as written.
    static QString readableUnits(const QString& units);

private:
    QList<channel> channels_;
    int skippedLines_ = 0;
};
