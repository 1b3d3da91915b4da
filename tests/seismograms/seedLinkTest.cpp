#include "logCapture.h"
#include "miniSeedPacker.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "seedLinkClient.h"
#include "seedLinkFixtureServer.h"
#include "seedLinkPacketStream.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimeZone>

#include <gtest/gtest.h>
#include <libmseed.h>

#include <numeric>

namespace {

QByteArray fileBytes(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/mseed/") + QLatin1StringView(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// IU.ANMO.00.BHZ, 2010-02-27 06:30 to 06:40 UTC: 30 records.
QByteArray anmo() {
    return fileBytes("obspy_dataselect_example.mseed");
}
// BW.BGLD..EHE (a blank location), 2008-01-01 00:00 to 00:04:30: 128 records.
QByteArray bgld() {
    return fileBytes("obspy_gaps.mseed");
}

const QList<seedLinkChannel> anmoAndBgld{{"IU", "ANMO", "00", "BHZ"}, {"BW", "BGLD", "", "EHE"}};

QDateTime utc(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

// Everything a client delivered and said.
struct received {
    QList<seedLinkPacket> packets;
    QStringList drops, refused;
    int ends = 0;

    explicit received(seedLinkClient& client) {
        QObject::connect(&client, &seedLinkClient::packetsArrived,
                         [this](const QList<seedLinkPacket>& p) { packets += p; });
        QObject::connect(&client, &seedLinkClient::connectionDropped,
                         [this](const QString& why) { drops.append(why); });
        QObject::connect(&client, &seedLinkClient::stationRefused,
                         [this](const QString& name) { refused.append(name); });
        QObject::connect(&client, &seedLinkClient::streamEnded, [this] { ++ends; });
    }
    QList<int> sequences() const {
        QList<int> s;
        for (const seedLinkPacket& p : packets)
            s.append(p.sequence);
        return s;
    }
    qsizetype of(const QString& station) const {
        return std::count_if(packets.begin(), packets.end(),
                             [&station](const seedLinkPacket& p) { return p.station == station; });
    }
};

// A client with the tests' short waits: quick reconnects, drops noticed within a second.
void quick(seedLinkClient& client) {
    client.setTimeouts(5000, 1000, 240000);
    client.setTimingsForTests(10, 60000);
}

QList<QByteArray> linesOf(seedLinkPacketStream& stream, const QByteArray& bytes) {
    return stream.feedLines(bytes);
}

QByteArray packet(const QByteArray& header, const QByteArray& record) {
    return header + record;
}

qsizetype countContaining(const QList<QString>& lines, const char* text) {
    return std::count_if(lines.begin(), lines.end(),
                         [text](const QString& l) { return l.contains(QLatin1StringView(text)); });
}

} // namespace

TEST(SeedLinkPacketStream, GivesTheSamePacketsWhereverTheBytesAreCut) {
    const QByteArray records = anmo().left(3 * 512);
    QByteArray bytes =
        packet("SL00001F", records.mid(0, 512)) + packet("SLINFO *", QByteArray(512, '<')) +
        packet("SLINFO  ", QByteArray(512, '>')) + packet("SL0000a0", records.mid(512, 512)) +
        packet("SLFFFFFF", records.mid(1024, 512)) + "END";
    const auto check = [&records](const QList<seedLinkPacketStream::packet>& got, const char* how) {
        ASSERT_EQ(got.size(), 6) << how;
        using k = seedLinkPacketStream::kind;
        EXPECT_EQ(got[0].what, k::data) << how;
        EXPECT_EQ(got[0].sequence, 0x1f) << how;
        EXPECT_EQ(got[0].record, records.mid(0, 512)) << how;
        EXPECT_EQ(got[1].what, k::info) << how;
        EXPECT_FALSE(got[1].last) << how;
        EXPECT_EQ(got[2].what, k::info) << how;
        EXPECT_TRUE(got[2].last) << how;
        EXPECT_EQ(got[3].sequence, 0xa0) << how;
        EXPECT_EQ(got[4].sequence, 0xffffff) << how;
        EXPECT_EQ(got[4].record, records.mid(1024, 512)) << how;
        EXPECT_EQ(got[5].what, k::end) << how;
    };
    seedLinkPacketStream whole;
    check(whole.feed(bytes), "at once");
    for (const int piece : {1, 7, 8, 9, 511, 519, 520, 521, 1000}) {
        seedLinkPacketStream stream;
        QList<seedLinkPacketStream::packet> got;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            got += stream.feed(
                QByteArrayView(bytes).sliced(at, std::min<qsizetype>(piece, bytes.size() - at)));
            // Never more than one packet held.
            EXPECT_LT(stream.pending(), seedLinkPacketStream::packetBytes);
        }
        check(got, qPrintable(QStringLiteral("in pieces of %1").arg(piece)));
        EXPECT_FALSE(stream.isGarbage());
        EXPECT_TRUE(stream.hasEnded());
        // Nothing after the end is read, packet or not.
        EXPECT_TRUE(stream.feed(packet("SL000001", records.left(512))).isEmpty());
        EXPECT_FALSE(stream.isGarbage());
    }
}

TEST(SeedLinkPacketStream, TakesBytesThatAreNoPacketForGarbageAtOnce) {
    const QByteArray record = anmo().left(512);
    for (const QByteArray& bad :
         {QByteArray("ERROR\r\n"), QByteArray("XL000001"), QByteArray("SL00G001"),
          QByteArray("ENX"), QByteArray("SLINF0 *"), QByteArray("S\x00", 2)}) {
        seedLinkPacketStream stream;
        const QList<seedLinkPacketStream::packet> got =
            stream.feed(QByteArray(packet("SL000001", record) + bad + record));
        EXPECT_EQ(got.size(), 1) << bad.toStdString();
        EXPECT_TRUE(stream.isGarbage()) << bad.toStdString();
        EXPECT_EQ(stream.pending(), 0);
        // Nothing after garbage is taken for a packet.
        EXPECT_TRUE(stream.feed(packet("SL000002", record)).isEmpty());
        stream.reset();
        EXPECT_EQ(stream.feed(packet("SL000002", record)).size(), 1);
    }
    // A header cut short is judged as far as it goes.
    seedLinkPacketStream cut;
    EXPECT_TRUE(cut.feed("SL00").isEmpty());
    EXPECT_FALSE(cut.isGarbage());
    EXPECT_TRUE(cut.feed("x").isEmpty());
    EXPECT_TRUE(cut.isGarbage());

    EXPECT_EQ(seedLinkPacketStream::dataSequence("SL0A0B0C"), 0x0a0b0c);
    EXPECT_EQ(seedLinkPacketStream::dataSequence("SLINFO *"), std::nullopt);
    EXPECT_EQ(seedLinkPacketStream::dataSequence("SL0A0B"), std::nullopt);
}

TEST(SeedLinkPacketStream, ReadsTheHandshakesLinesAndRefusesEndlessOnes) {
    seedLinkPacketStream stream;
    EXPECT_TRUE(linesOf(stream, "SeedLink v3.1 (2020.075) :: SLPROTO:3.1").isEmpty());
    EXPECT_EQ(linesOf(stream, " CAP\r\nGEOFON\r\nO"),
              (QList<QByteArray>{"SeedLink v3.1 (2020.075) :: SLPROTO:3.1 CAP", "GEOFON"}));
    EXPECT_EQ(linesOf(stream, "K\nERROR\r\n"), (QList<QByteArray>{"OK", "ERROR"}));
    EXPECT_EQ(stream.pending(), 0);
    for (int i = 0; i < 3 && !stream.isGarbage(); ++i)
        linesOf(stream, QByteArray(400, 'x'));
    EXPECT_TRUE(stream.isGarbage());
}

TEST(SeedLinkClient, SendsTheCommandsOfEachKindOfRequestByteForByte) {
    const QList<seedLinkChannel> channels{{"IU", "ANMO", "00", "BHZ"},
                                          {"GE", "WLF", "", "HHZ"},
                                          {"IU", "ANMO", "10", "BH1"},
                                          {"GE", "WLF", " ", "HHE"}};
    EXPECT_EQ(seedLinkClient::requestCommands(channels, {}, {}),
              (QStringList{"HELLO", "STATION ANMO IU", "SELECT 00BHZ", "SELECT 10BH1", "DATA",
                           "STATION WLF GE", "SELECT --HHZ", "SELECT --HHE", "DATA", "END"}));
    const QDateTime from = utc(2024, 2, 29, 23, 30, 5);
    EXPECT_EQ(seedLinkClient::requestCommands(channels.first(1), from, {}),
              (QStringList{"HELLO", "STATION ANMO IU", "SELECT 00BHZ", "TIME 2024,02,29,23,30,05",
                           "END"}));
    // A time in another zone is sent in UTC.
    EXPECT_EQ(seedLinkClient::requestCommands(channels.mid(1, 1),
                                              from.toTimeZone(QTimeZone("Europe/Berlin")),
                                              utc(2024, 3, 1, 0, 0, 0))
                  .value(3),
              "TIME 2024,02,29,23,30,05 2024,03,01,00,00,00");

    // What goes over the wire, line ends included.
    seedLinkFixtureServer server;
    server.addRecords(anmo());
    server.addRecords(bgld());
    QByteArray wire;
    QObject::connect(&server, &seedLinkFixtureServer::commandReceived,
                     [&wire](const QString& line) { wire += line.toLatin1() + "\r\n"; });
    seedLinkClient client;
    quick(client);
    received got(client);
    client.start(server.server(), anmoAndBgld);
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() == 30 + 128, 20000);
    EXPECT_EQ(wire, "HELLO\r\nSTATION ANMO IU\r\nSELECT 00BHZ\r\nDATA\r\n"
                    "STATION BGLD BW\r\nSELECT --EHE\r\nDATA\r\nEND\r\n");
    EXPECT_TRUE(client.isRunning());
    EXPECT_EQ(got.of("ANMO"), 30);
    EXPECT_EQ(got.of("BGLD"), 128);
    EXPECT_EQ(got.sequences(), server.sequences());
    client.stop();
    EXPECT_FALSE(client.isRunning());
}

TEST(SeedLinkClient, DeliversEachRecordAsServedWithTheSamplesLibmseedUnpacks) {
    miniSeedPacker float32;
    float32.encoding = DE_FLOAT32;
    float32.station = "FLT";
    float32.channel = "HHZ";
    std::vector<float> ramp(300);
    std::iota(ramp.begin(), ramp.end(), -150.25f);
    seedLinkFixtureServer server;
    server.addRecords(anmo());
    server.addRecords(float32.pack(ramp));
    seedLinkClient client;
    quick(client);
    received got(client);
    client.start(server.server(), {{"IU", "ANMO", "00", "BHZ"}, {"XX", "FLT", "00", "HHZ"}});
    const qsizetype expected = server.sequences().size();
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() == expected, 20000);
    for (const seedLinkPacket& p : got.packets) {
        ASSERT_EQ(p.record.size(), 512);
        QByteArray bytes = p.record;
        MSRecord* msr = nullptr;
        ASSERT_EQ(msr_unpack(bytes.data(), 512, &msr, 1, 0), MS_NOERROR);
        EXPECT_EQ(p.decoded.samples.size(), std::size_t(msr->numsamples));
        for (int64_t i = 0; i < msr->numsamples; ++i) {
            const float reference = msr->sampletype == 'f'
                                        ? static_cast<float*>(msr->datasamples)[i]
                                        : float(static_cast<int32_t*>(msr->datasamples)[i]);
            ASSERT_EQ(p.decoded.samples[std::size_t(i)], reference) << p.sequence << " " << i;
        }
        EXPECT_EQ(p.network, QString::fromLatin1(msr->network));
        EXPECT_EQ(p.station, QString::fromLatin1(msr->station));
        EXPECT_EQ(p.decoded.startTimeUs, msr_starttime(msr));
        msr_free(&msr);
    }
    EXPECT_EQ(got.packets.first().decoded.streamId(), "IU.ANMO.00.BHZ");
    EXPECT_EQ(got.packets.first().decoded.startTimeUs,
              utc(2010, 2, 27, 6, 30, 0).toMSecsSinceEpoch() * 1000 + 19538);
    EXPECT_EQ(got.packets.last().decoded.samples.back(), 148.75f);
}

TEST(SeedLinkClient, ResumesEachStationAfterItsLastPacketWithNothingTwiceOrLost) {
    seedLinkFixtureServer server;
    // The numbers wrap past FFFFFF.
    server.setNextSequence(0xFFFFF0);
    server.addRecords(anmo());
    server.addRecords(bgld());
    // 20 ANMO records, then the connection closes.
    server.setFault(seedLinkFixtureServer::fault::drop, 20);
    logCapture log;
    seedLinkClient client;
    quick(client);
    received got(client);
    QSignalSpy connected(&client, &seedLinkClient::connectedChanged);
    client.start(server.server(), anmoAndBgld);
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() == 30 + 128, 20000);
    EXPECT_EQ(got.sequences(), server.sequences());
    EXPECT_EQ(server.connections(), 2);
    EXPECT_EQ(got.drops.size(), 1);
    EXPECT_EQ(countContaining(log.problems(), "dropped"), 1)
        << qPrintable(log.problems().join('\n'));
    // ANMO resumes after its 20th record, numbered 000003; BGLD, without one yet, asks as at
    // first.
    EXPECT_EQ(server.commands().mid(8),
              (QStringList{"HELLO", "STATION ANMO IU", "SELECT 00BHZ", "DATA 000004",
                           "STATION BGLD BW", "SELECT --EHE", "DATA", "END"}));
    ASSERT_GE(connected.size(), 3);
    EXPECT_EQ(connected[0][0].toBool(), true);
    EXPECT_EQ(connected[1][0].toBool(), false);
    EXPECT_EQ(connected[2][0].toBool(), true);
}

TEST(SeedLinkClient, ReconnectsAfterAStallGarbageOrACutRecordAndTheOtherStationStillComes) {
    using fault = seedLinkFixtureServer::fault;
    for (const fault what : {fault::stall, fault::garbage, fault::cutMidRecord}) {
        SCOPED_TRACE(int(what));
        seedLinkFixtureServer server;
        server.addRecords(anmo());
        server.addRecords(bgld());
        // Within BGLD's records, after all of ANMO's.
        server.setFault(what, 40);
        logCapture log;
        seedLinkClient client;
        quick(client);
        received got(client);
        client.start(server.server(), anmoAndBgld);
        QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() == 30 + 128, 20000);
        EXPECT_EQ(got.sequences(), server.sequences());
        EXPECT_EQ(got.drops.size(), 1);
        EXPECT_EQ(log.problems().size(), 1) << qPrintable(log.problems().join('\n'));
        // ANMO is done with; both resume after their last record.
        EXPECT_EQ(server.commands().mid(8),
                  (QStringList{"HELLO", "STATION ANMO IU", "SELECT 00BHZ", "DATA 00001F",
                               "STATION BGLD BW", "SELECT --EHE", "DATA 000029", "END"}));
    }
}

TEST(SeedLinkClient, SkipsARecordLibmseedCannotDecodeAndAnswersToInfoWithoutADrop) {
    seedLinkFixtureServer server;
    const QByteArray records = anmo();
    server.addRecords(records.left(512));
    server.addRawRecord("IU", "ANMO", QByteArray(512, 'x'));
    server.addRecords(records.mid(512, 512));
    logCapture log;
    seedLinkClient client;
    client.setTimeouts(5000, 60000, 100);
    client.setTimingsForTests(10, 50);
    received got(client);
    client.start(server.server(), {{"IU", "ANMO", "00", "BHZ"}});
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() == 2, 20000);
    EXPECT_EQ(got.sequences(), (QList<int>{1, 3}));
    // The quiet connection is kept alive; the info packets of the answer are no data.
    QTRY_VERIFY_WITH_TIMEOUT(server.commands().count("INFO ID") >= 2, 20000);
    EXPECT_EQ(got.packets.size(), 2);
    EXPECT_TRUE(got.drops.isEmpty());
    EXPECT_EQ(server.connections(), 1);
    ASSERT_EQ(log.problems().size(), 1);
    EXPECT_TRUE(log.problems()[0].contains("SeedLink packet 000002"))
        << qPrintable(log.problems()[0]);
}

TEST(SeedLinkClient, ARefusedStationIsNamedAndThePastWindowEndsWithEnd) {
    seedLinkFixtureServer server;
    server.addRecords(anmo());
    server.addRecords(bgld());
    logCapture log;
    seedLinkClient client;
    quick(client);
    received got(client);
    QSignalSpy ended(&client, &seedLinkClient::streamEnded);
    // 06:32 to 06:34: the records that reach into those two minutes.
    client.start(
        server.server(),
        {{"XX", "NONE", "", "BHZ"}, {"IU", "ANMO", "00", "BHZ"}, {"IU", "ANMO", "00", "LHZ"}},
        utc(2010, 2, 27, 6, 32, 0), utc(2010, 2, 27, 6, 34, 0));
    QVERIFY(ended.wait(20000));
    EXPECT_FALSE(client.isRunning());
    EXPECT_EQ(got.refused, QStringList{"XX.NONE"});
    EXPECT_EQ(server.commands(),
              (QStringList{"HELLO", "STATION NONE XX", "STATION ANMO IU", "SELECT 00BHZ",
                           "SELECT 00LHZ", "TIME 2010,02,27,06,32,00 2010,02,27,06,34,00", "END"}));
    ASSERT_FALSE(got.packets.isEmpty());
    EXPECT_LT(got.packets.first().decoded.startTimeUs,
              utc(2010, 2, 27, 6, 32, 0).toMSecsSinceEpoch() * 1000);
    EXPECT_LT(got.packets.last().decoded.startTimeUs,
              utc(2010, 2, 27, 6, 34, 0).toMSecsSinceEpoch() * 1000);
    EXPECT_EQ(got.packets.size(), 7);
    EXPECT_EQ(got.ends, 1);
    EXPECT_TRUE(got.drops.isEmpty());
    EXPECT_EQ(log.problems().size(), 1) << qPrintable(log.problems().join('\n'));

    // Nobody accepted: the stream ends at once, without reconnecting.
    seedLinkClient nobody;
    quick(nobody);
    received none(nobody);
    QSignalSpy nothing(&nobody, &seedLinkClient::streamEnded);
    nobody.start(server.server(), {{"XX", "NONE", "", "BHZ"}});
    QVERIFY(nothing.wait(20000));
    EXPECT_EQ(none.refused, QStringList{"XX.NONE"});
    EXPECT_TRUE(none.drops.isEmpty());
}

TEST(SeedLinkClient, StopsWithoutDeliveringMoreAndGivesUpOnNoServerQuietly) {
    seedLinkFixtureServer server;
    server.addRecords(bgld());
    // Paced: the stream is still running when it is stopped.
    server.setRealTimeFactor(20);
    seedLinkClient client;
    quick(client);
    received got(client);
    client.start(server.server(), {{"BW", "BGLD", "", "EHE"}});
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() >= 2, 20000);
    client.stop();
    const qsizetype atStop = got.packets.size();
    EXPECT_LT(atStop, 128);
    QSignalSpy more(&server, &seedLinkFixtureServer::streamingStarted);
    // Another stream on the same client starts afresh.
    client.start(server.server(), {{"BW", "BGLD", "", "EHE"}});
    QVERIFY(more.wait(20000));
    QTRY_VERIFY_WITH_TIMEOUT(got.packets.size() > atStop + 1, 20000);
    EXPECT_EQ(got.packets[atStop].sequence, 1);

    // A port nobody listens on: each failed try is a drop, logged once.
    logCapture log;
    seedLinkClient lonely;
    quick(lonely);
    QSignalSpy drops(&lonely, &seedLinkClient::connectionDropped);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    lonely.start(QStringLiteral("127.0.0.1:%1").arg(port), {{"BW", "BGLD", "", "EHE"}});
    QTRY_VERIFY_WITH_TIMEOUT(drops.size() >= 2, 20000);
    lonely.stop();
    // Drops still on their way when it stopped are not delivered, but were logged.
    EXPECT_GE(log.problems().size(), drops.size());
    EXPECT_EQ(countContaining(log.problems(), "dropped"), log.problems().size());
}
