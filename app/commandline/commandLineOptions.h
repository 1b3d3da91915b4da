#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>

#include <cmath>
#include <optional>

// Every option of the command line, in the order the help lists them.
struct commandLineOptions {
    static QString text(const char* s) { return QString::fromUtf8(s); }

    QCommandLineOption help{{text("h"), text("help")}, text("Show this help and exit.")};
    QCommandLineOption version{{text("v"), text("version")}, text("Show the version and exit.")};

    // Catalogues
    QCommandLineOption source{text("source"),
                              text("Load a catalogue: usgs (GeoJSON month feed), usgs-text (weekly "
                                   "CSV list), fdsn (FDSN event service), ingv (INGV event "
                                   "table), emsc (EMSC list, last 7 days), pde (PDE search), "
                                   "emsc-fdsn or ingv-fdsn (the past week from the EMSC's or "
                                   "the INGV's FDSN event service)."),
                              text("NAME")};
    QCommandLineOption input{text("input"),
                             text("With --source: read the catalogue's answer from FILE instead of "
                                  "downloading it (for pde a result page or its lines)."),
                             text("FILE")};
    QCommandLineOption minMag{text("min-mag"), text("With --source: smallest magnitude."),
                              text("M")};
    QCommandLineOption maxMag{text("max-mag"), text("With --source: largest magnitude."),
                              text("M")};
    QCommandLineOption search{text("search"),
                              text("With --source fdsn: global, box or annulus (default global)."),
                              text("KIND"), text("global")};
    QCommandLineOption service{text("service"),
                               text("With --source fdsn: usgs, emsc, ingv, gfz, isc, iris, or the "
                                    "http(s) address of another FDSN event service (default "
                                    "usgs)."),
                               text("NAME|URL"), text("usgs")};
    QCommandLineOption minDepth{text("min-depth"),
                                text("With --source fdsn or pde: km (default 0)."), text("KM")};
    QCommandLineOption maxDepth{text("max-depth"),
                                text("With --source fdsn or pde: km (default 900)."), text("KM")};
    QCommandLineOption start{text("start"),
                             text("With --source fdsn: yyyy-MM-dd or yyyy-MM-ddTHH:mm:ss, UTC "
                                  "(default 1973-01-01). With --channels: \"yyyy-MM-dd "
                                  "HH:mm:ss\", UTC (default 2012-05-01 00:00:00)."),
                             text("TIME")};
    QCommandLineOption end{text("end"), text("With --source fdsn: as --start (default now)."),
                           text("TIME")};
    QCommandLineOption minLat{text("min-lat"), text("With --search box: southern edge."),
                              text("DEG")};
    QCommandLineOption maxLat{text("max-lat"), text("With --search box: northern edge."),
                              text("DEG")};
    QCommandLineOption minLon{text("min-lon"), text("With --search box: western edge."),
                              text("DEG")};
    QCommandLineOption maxLon{text("max-lon"), text("With --search box: eastern edge."),
                              text("DEG")};
    QCommandLineOption lat{text("lat"), text("With --search annulus: latitude of the centre."),
                           text("DEG")};
    QCommandLineOption lon{text("lon"), text("With --search annulus: longitude of the centre."),
                           text("DEG")};
    QCommandLineOption minRadius{text("min-radius"), text("With --search annulus: inner radius."),
                                 text("DEG")};
    QCommandLineOption maxRadius{text("max-radius"), text("With --search annulus: outer radius."),
                                 text("DEG")};

    // Seismograms and regions
    // Listed for the help only: the words after --region are taken before the parser runs,
    // so that a negative latitude is not mistaken for an option.
    QCommandLineOption region{text("region"),
                              text("Print the Flinn-Engdahl regions of a point: "
                                   "greg<TAB>sreg<TAB>geographic name<TAB>seismic name. With -, "
                                   "the same for each \"LAT LON\" line of standard input."),
                              text("LAT LON|-")};
    QCommandLineOption sac{text("sac"),
                           text("Read the seismogram FILE (SAC, or miniSEED: one seismogram per "
                                "trace)."),
                           text("FILE")};
    QCommandLineOption waveforms{text("waveforms"),
                                 text("Read SAC and miniSEED files, FILE and those that follow "
                                      "it, one seismogram per trace."),
                                 text("FILE")};
    QCommandLineOption removeMean{
        text("remove-mean"),
        text("With --sac, --waveforms or --event-seismograms: remove the mean.")};
    QCommandLineOption taper{
        text("taper"), text("With --sac, --waveforms or --event-seismograms: taper 5 % at each "
                            "end (cosine).")};
    QCommandLineOption highpass{
        text("highpass"),
        text("With --sac, --waveforms or --event-seismograms: Butterworth high pass at HZ."),
        text("HZ")};
    QCommandLineOption lowpass{
        text("lowpass"),
        text("With --sac, --waveforms or --event-seismograms: Butterworth low pass at HZ."),
        text("HZ")};
    QCommandLineOption poles{
        text("poles"),
        text("With --sac, --waveforms or --event-seismograms: filter poles, 1 to 10 (default 4)."),
        text("N"), text("4")};
    QCommandLineOption passes{
        text("passes"),
        text("With --sac, --waveforms or --event-seismograms: 1 causal, 2 zero phase (default "
             "2)."),
        text("1|2"), text("2")};
    QCommandLineOption exportSac{text("export-sac"),
                                 text("With --waveforms, --channels or --event-seismograms: "
                                      "write every trace into "
                                      "the folder DIR as a SAC file named "
                                      "NET.STA.LOC.CHA.YYYY.DDD.HHMMSS.SAC."),
                                 text("DIR")};

    // FK array analysis
    QCommandLineOption fk{text("fk"),
                          text("With --sac FILE… (3 or more stations of one array, stla/stlo "
                               "set, equal sample interval): FK analysis.")};
    // Listed for the help only: their two words are taken before the parser runs, so that a
    // negative number is not mistaken for an option.
    QCommandLineOption window{text("window"),
                              text("With --fk: the window's start (s after the latest common "
                                   "start) and length (s)."),
                              text("START LENGTH")};
    QCommandLineOption band{text("band"), text("With --fk: the frequency band in Hz."),
                            text("FMIN FMAX")};
    QCommandLineOption slownessMax{text("slowness-max"),
                                   text("With --fk: the grid spans -S to S s/km (default 0.5)."),
                                   text("S")};
    QCommandLineOption slownessStep{
        text("slowness-step"), text("With --fk: the grid step in s/km (default 0.01)."), text("D")};

    // Live seismograms
    QCommandLineOption channels{
        text("channels"),
        text("Read a channel list from FILE, or from standard input with -: one \"network; "
             "station; location; channel; label[; high-pass Hz; low-pass Hz]\" a line, and "
             "optionally a \"Title; text\" line."),
        text("FILE|-")};
    QCommandLineOption duration{text("duration"),
                                text("With --channels: the window's length in minutes (default "
                                     "60); a negative length ends the window at --start."),
                                text("MIN")};
    QCommandLineOption sampleRate{text("sample-rate"),
                                  text("With --channels: samples per second to ask for (default "
                                       "1), or * to let the channel code choose."),
                                  text("R|*")};
    QCommandLineOption rowMinutes{
        text("row-minutes"), text("With --render helicorder: the minutes of one row (default 60)."),
        text("N")};
    QCommandLineOption rows{text("rows"),
                            text("With --render helicorder: the number of rows (default 24)."),
                            text("N")};
    QCommandLineOption logFrequency{
        text("log-frequency"),
        text("With --render spectrogram: a logarithmic frequency axis instead of a linear one.")};
    QCommandLineOption spectrogramWindow{
        text("spectrogram-window"),
        text("With --render spectrogram: the samples of one FFT window (default the power of "
             "two nearest 10 s)."),
        text("N")};
    QCommandLineOption spectrogramOverlap{
        text("spectrogram-overlap"),
        text("With --render spectrogram: the fraction of a window shared with the next, 0 to "
             "0.95 (default 0.5)."),
        text("F")};
    QCommandLineOption live{text("live"),
                            text("With --channels: the window ends now, --duration minutes long; "
                                 "no --start.")};

    QCommandLineOption dataSource{
        text("data-source"),
        text("With --channels and --event-seismograms (fdsn: only): where the seismograms "
             "come from: timeseries (the time-series "
             "service, default), fdsn:NAME (an FDSN data centre: iris, geofon, orfeus, ingv, "
             "resif, ethz, ncedc or scedc), fdsn:URL (the http(s) address of another) or "
             "seedlink:HOST[:PORT] (a SeedLink server's stream, port 18000 unless given)."),
        text("SOURCE"), text("timeseries")};
    QCommandLineOption listen{
        text("listen"),
        text("With --channels and a seedlink: source: how long the stream is collected, in "
             "seconds (default 30); a window given by --start ends sooner when the server has "
             "sent all of it."),
        text("SECONDS")};
    QCommandLineOption groundMotion{
        text("ground-motion"),
        text("With --channels and an fdsn: source: samples divided by each channel's scale, in "
             "its units (m/s, say); otherwise they stay in counts.")};

    // Travel times
    QCommandLineOption travelTimes{
        text("travel-times"),
        text("Print the arrivals at --distance from a source at --depth, sorted by time: "
             "phase<TAB>time_s<TAB>ray_param_s_deg<TAB>takeoff_deg<TAB>incidence_deg.")};
    QCommandLineOption depth{text("depth"), text("With --travel-times: source depth, 0 to 700 km."),
                             text("KM")};
    QCommandLineOption distance{text("distance"),
                                text("With --travel-times: distance, 0 to 180 degrees. With "
                                     "--event-seismograms: MIN MAX, the stations' distances in "
                                     "degrees (default 0 90)."),
                                text("DEG")};
    QCommandLineOption model{text("model"),
                             text("With --travel-times, --event-seismograms (the predicted "
                                  "picks) or --render event-section (the travel-time curves): "
                                  "the Earth model, ak135 (default) or iasp91."),
                             text("NAME"), text("ak135")};
    QCommandLineOption phases{text("phases"),
                              text("With --travel-times: the phases, comma-separated (default "
                                   "all: P,pP,sP,PcP,PP,PKiKP,PKIKP,Pdiff,S,sS,ScS,SS,SKS,Sdiff; "
                                   "P and S include the rays leaving upward, p and s). With "
                                   "--render event-section: the phases whose travel-time curves "
                                   "are drawn (default P,S,PP,SS,PKIKP,SKS)."),
                              text("LIST")};
    QCommandLineOption reductionVelocity{
        text("reduction-velocity"),
        text("With --render event-section: each trace and curve drawn distance/KM_S earlier "
             "(km/s, 111.19 km a degree; default 0, no reduction)."),
        text("KM_S")};

    // Seismograms of an earthquake
    QCommandLineOption eventSeismograms{
        text("event-seismograms"),
        text("Fetch the seismograms of the earthquake of --origin from the FDSN data centre of "
             "--data-source: stations that record --channel at the origin time within "
             "--distance, up to --max-stations of them spread in distance and azimuth, each "
             "from a minute before its predicted P to ten minutes after its predicted S, with "
             "the event, the distances and the predicted P and S (picks t0, t1) in the header.")};
    // Listed for the help only: its words are taken before the parser runs, so that a
    // negative latitude is not mistaken for an option.
    QCommandLineOption origin{text("origin"),
                              text("With --event-seismograms: the origin time (UTC), latitude, "
                                   "longitude and depth (km)."),
                              text("\"yyyy-MM-dd HH:mm:ss\" LAT LON DEPTH")};
    QCommandLineOption magnitude{text("magnitude"),
                                 text("With --event-seismograms: the magnitude, for the header."),
                                 text("M")};
    QCommandLineOption channel{text("channel"),
                               text("With --event-seismograms: the channel code (default BHZ; "
                                    "HHZ, LHZ, or a pattern such as BH?)."),
                               text("CODE")};
    QCommandLineOption maxStations{
        text("max-stations"),
        text("With --event-seismograms: the number of stations, at most (default 20)."), text("N")};

    QCommandLineOption print{text("print"),
                             text("What to print. With --source: table, summary, clipboard or "
                                  "statistics (events, mc, n_above_mc, b, b_error, a). "
                                  "With --sac: header or samples. With --waveforms: header, "
                                  "samples or summary (one tab-separated line a trace: "
                                  "NET.STA.LOC.CHA, first sample, sample rate, npts, minimum, "
                                  "maximum, latitude, longitude). With --channels: requests "
                                  "(one request address a line; for an fdsn: source each "
                                  "POST address followed by its body lines) or summary (the "
                                  "downloaded seismograms' lines). With --event-seismograms: "
                                  "summary (the lines of --waveforms followed by the distance "
                                  "in degrees and the back-azimuth). With --fk: peak or grid."),
                             text("WHAT")};

    // Exports
    QCommandLineOption exportAs{text("export"),
                                text("With --source: write the origins, newest first, to --output "
                                     "as csv (USGS columns), geojson (USGS feed layout), quakeml "
                                     "(QuakeML 1.2) or kml (KML 2.2)."),
                                text("FORMAT")};

    // Pictures
    QCommandLineOption render{text("render"),
                              text("Draw as the window would, off screen. With --source: map, "
                                   "timeline, magnitude-histogram, depth-histogram or "
                                   "magnitude-frequency. With --channels: live (the channels "
                                   "downloaded). "
                                   "With --sac or --waveforms FILE… and with "
                                   "--event-seismograms: overlay (or stack), panels, "
                                   "section (by "
                                   "distance), event-section (one event's traces at their "
                                   "distances, with travel-time curves), helicorder (one "
                                   "channel's records in rows), "
                                   "threecomp (one station's components, horizontals rotated), "
                                   "uniform or spectrogram (the first file's). With --fk: fk."),
                              text("VIEW")};
    QCommandLineOption output{text("output"),
                              text("With --render: the picture to write, FILE.png or FILE.pdf. "
                                   "With --export: the file to write."),
                              text("FILE")};
    QCommandLineOption size{text("size"),
                            text("With --render: the view's size in points (default 1100x560 for "
                                 "the map, 1100x180 for the time line, 1100x700 for live and "
                                 "1100x600 for stack)."),
                            text("WxH")};

    void addTo(QCommandLineParser& parser) const {
        parser.addOptions({help,       version,    source,   input,     minMag,    maxMag, search,
                           minDepth,   maxDepth,   start,    end,       minLat,    maxLat, minLon,
                           maxLon,     lat,        lon,      minRadius, maxRadius, region, sac,
                           removeMean, taper,      highpass, lowpass,   poles,     passes, channels,
                           duration,   sampleRate, live,     print,     render,    output, size,
                           rowMinutes, rows});
        parser.addOptions({logFrequency, spectrogramWindow, spectrogramOverlap});
        parser.addOptions({fk, window, band, slownessMax, slownessStep});
        parser.addOptions({exportAs, waveforms, exportSac});
        parser.addOption(service);
        parser.addOptions({dataSource, groundMotion, listen});
        parser.addOptions({travelTimes, depth, distance, model, phases, reductionVelocity});
        parser.addOptions({eventSeismograms, origin, magnitude, channel, maxStations});
    }
};

namespace quorvelCommandLine {

// The hint that follows every complaint about the arguments.
inline const char* usageHint = "Try 'Quorvel --help'.\n";

// Says why the arguments are refused, with the usage hint; the exit code for bad arguments.
inline int refuse(QTextStream& err, const QString& why) {
    err << "Quorvel: " << why << "\n" << usageHint;
    return 2;
}

// A number written in full ("12.5", not "12.5km"); none otherwise.
inline std::optional<float> strictFloat(const QString& text) {
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    return ok ? std::optional<float>(value) : std::nullopt;
}

// A finite number written in full, in double precision; none otherwise.
inline std::optional<double> strictDouble(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// A number with a fixed count of decimals ("inf" for an infinite one).
inline QString decimal(double value, int decimals) {
    if (std::isinf(value))
        return QStringLiteral("inf");
    const QString text = QString::number(value, 'f', decimals);
    // "-0.0000" would suggest a sign the printed digits cannot show.
    return text.toDouble() == 0 ? QString::number(0.0, 'f', decimals) : text;
}

} // namespace quorvelCommandLine
