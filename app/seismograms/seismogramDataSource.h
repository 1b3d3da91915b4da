#pragma once

#include <QString>

#include <optional>

// Where seismograms come from: the time-series service (one SAC request per channel), an FDSN
// data centre (one bulk dataselect and one station request per load), or, for live streams, a
// SeedLink server. Written as the settings and the command line keep it: "timeseries",
// "fdsn:NAME" for a data centre by name ("fdsn:iris"), "fdsn:URL" for a typed http(s) address,
// "seedlink:HOST[:PORT]".
class seismogramDataSource {
public:
    enum class kind { timeSeries, fdsn, seedLink };

    // The time-series service.
    seismogramDataSource() = default;

    // None for a text that names no source: an unknown centre, an address that is not http(s),
    // a server without a host or with a port that is no port.
    static std::optional<seismogramDataSource> parse(const QString& text);

    kind type() const { return kind_; }
    // As parse() reads it.
    QString text() const;

    // For fdsn: the centre's name, or the typed address.
    const QString& fdsnCentre() const { return value_; }
    // For fdsn: the base address in force (a named centre's setting, or the typed address).
    QString fdsnBaseURL() const;

    // "host:port" of the SeedLink server: the server itself for seedlink, the data centre's
    // own for a named fdsn centre that has one; null text otherwise.
    QString seedLinkServer() const;

    bool operator==(const seismogramDataSource&) const = default;

private:
    kind kind_ = kind::timeSeries;
    QString value_; // the centre's name, the typed address or "host:port"
};
