// Serves a real miniSEED sample as live SeedLink streams on the loopback interface, to watch
// the Live Seismograms window stream by hand:
//
//   build/bin/seedlink_replay [--file FILE.mseed] [--minutes 120] [--streams NET.STA.LOC.CHA,...]
//                             [--window]
//
// The file's first trace is re-timed to begin now and repeated for the minutes asked, once for
// every stream named (by default the six stations of the window's own list, each a few
// minutes further into the file, so that they differ), and sent at real time from the moment a
// client starts streaming. It prints the server's address: start Quorvel with
// QUORVEL_SEEDLINK_SERVER set to it, choose the source "SeedLink server" and press Live soon
// after (the data begin when this program did; the status line shows how far behind now they
// are). With --window it opens the Live Seismograms window itself, streaming from it.

#include "QVRRTSeismicDisplayController.h"
#include "liveSeismogramsController.h"
#include "miniSeedPacker.h"
#include "miniSeedReader.h"
#include "miniSeedRecord.h"
#include "seedLinkFixtureServer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>

#include "ui_liveSeismogramsWindow.h"

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window's fields are kept in settings of this program's own, never Quorvel's.
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationName(QStringLiteral("seedlink_replay"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Serves a miniSEED sample as live SeedLink streams on 127.0.0.1."));
    options.addHelpOption();
    options.addOption({QStringLiteral("window"),
                       QStringLiteral("Opens the Live Seismograms window, streaming.")});
    options.addOption({QStringLiteral("file"), QStringLiteral("The miniSEED file."),
                       QStringLiteral("FILE"),
                       QStringLiteral(QUORVEL_TEST_DATA "/mseed/obspy_dataselect_example.mseed")});
    options.addOption({QStringLiteral("minutes"), QStringLiteral("How long to stream (120)."),
                       QStringLiteral("MINUTES"), QStringLiteral("120")});
    options.addOption({QStringLiteral("streams"),
                       QStringLiteral("NET.STA.LOC.CHA,… (the window's six stations)."),
                       QStringLiteral("STREAMS"),
                       QStringLiteral("IU.ANMO.00.BHZ,IU.COLA.00.BHZ,IU.KONO.00.BHZ,"
                                      "IU.MAJO.00.BHZ,IU.SNZO.00.BHZ,II.PFO.00.BHZ")});
    options.process(app);

    QFile file(options.value(QStringLiteral("file")));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "seedlink_replay: cannot read %s\n", qPrintable(file.fileName()));
        return 2;
    }
    auto traces = miniSeedReader::fromData(file.readAll());
    if (!traces || traces.value().traces.empty()) {
        std::fprintf(stderr, "seedlink_replay: %s holds no miniSEED trace\n",
                     qPrintable(file.fileName()));
        return 2;
    }
    const SacObject& trace = traces.value().traces.front();
    const std::vector<float> samples(trace.GetSacSeis(), trace.GetSacSeis() + trace.npts());
    const double rate = 1.0 / double(trace.delta());
    const qsizetype wanted =
        qsizetype(options.value(QStringLiteral("minutes")).toDouble() * 60.0 * rate);
    const qint64 nowUs = QDateTime::currentMSecsSinceEpoch() * 1000;

    // The server sends a record when its first sample is due, a real one once its last is:
    // the records begin that much earlier, so that none lies ahead of the clock. They go into
    // the server in the order of their times, as its stations send them.
    struct timed {
        qint64 startUs, endUs;
        QByteArray bytes;
    };
    const QStringList streams = options.value(QStringLiteral("streams")).split(u',');
    const auto recordsFrom = [&](qint64 startUs) {
        std::vector<timed> records;
        for (qsizetype s = 0; s < streams.size(); ++s) {
            const QStringList codes = streams.at(s).split(u'.');
            if (codes.size() != 4)
                continue;
            miniSeedPacker packer;
            packer.network = codes.at(0).toLatin1();
            packer.station = codes.at(1).toLatin1();
            packer.location = codes.at(2).toLatin1();
            packer.channel = codes.at(3).toLatin1();
            packer.rate = rate;
            packer.startUs = startUs;
            // Each stream starts a little further into the sample, and repeats it.
            std::vector<int32_t> counts(static_cast<size_t>(wanted));
            const std::size_t shift = std::size_t(s) * samples.size() / std::size_t(streams.size());
            for (std::size_t k = 0; k < counts.size(); ++k)
                counts[k] = int32_t(samples[(k + shift) % samples.size()]);
            const QByteArray packed = packer.pack(counts);
            for (qsizetype at = 0; at + 512 <= packed.size(); at += 512) {
                const auto record = miniSeedRecord::decode(QByteArrayView(packed).sliced(at, 512));
                if (!record)
                    continue;
                const qint64 first = record.value().startTimeUs;
                records.push_back(
                    {first, first + qint64(double(record.value().samples.size()) / rate * 1e6),
                     packed.mid(at, 512)});
            }
        }
        // Into the server in the order of their times, as its stations send them.
        std::stable_sort(records.begin(), records.end(),
                         [](const timed& a, const timed& b) { return a.startUs < b.startUs; });
        return records;
    };
    // The server sends a record when its first sample is due, a real one once its last is:
    // the records begin as much earlier as the longest lasts, so that none lies ahead of the
    // clock when it comes.
    qint64 longestUs = 0;
    for (const timed& r : recordsFrom(nowUs))
        longestUs = std::max(longestUs, r.endUs - r.startUs);
    seedLinkFixtureServer server;
    for (const timed& r : recordsFrom(nowUs - longestUs))
        server.addRecords(r.bytes);
    server.setRealTimeFactor(1.0);
    std::printf("Serving %lld streams on %s; QUORVEL_SEEDLINK_SERVER=%s\n",
                static_cast<long long>(streams.size()), qPrintable(server.server()),
                qPrintable(server.server()));
    std::fflush(stdout);
    if (!options.isSet(QStringLiteral("window")))
        return app.exec();

    qputenv("QUORVEL_SEEDLINK_SERVER", server.server().toUtf8());
    QVRRTSeismicDisplayController downloads;
    liveSeismogramsController live(downloads);
    Ui::liveSeismogramsWindow& ui = live.interface();
    QString list;
    for (const QString& stream : streams) {
        const QStringList codes = stream.split(u'.');
        if (codes.size() == 4)
            list +=
                QStringLiteral("%1; %2; %3; %4; %1.%2\n")
                    .arg(codes.at(0), codes.at(1),
                         codes.at(2).isEmpty() ? QStringLiteral("--") : codes.at(2), codes.at(3));
    }
    ui.channelListTView->setPlainText(list);
    ui.dataSourceComboBox->setCurrentIndex(2);
    ui.durationTField->setText(QStringLiteral("10"));
    ui.highPassTField->setText(QStringLiteral("0.01"));
    ui.lowPassTField->setText(QStringLiteral("2"));
    live.window()->resize(1380, 860);
    live.showWindow();
    live.setLive(true);
    return app.exec();
}
