// --waveforms: SAC and miniSEED files read on the command line, one seismogram per trace,
// printed as summary lines, written as SAC files and drawn; --sac reading miniSEED too.

#include "SacObject.h"
#include "commandLineRun.h"
#include "miniSeedPacker.h"
#include "seismogramFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

namespace {

QString dataPath(const char* folder, const char* name) {
    return QStringLiteral(QUORVEL_TEST_DATA "/%1/%2")
        .arg(QLatin1StringView(folder), QLatin1StringView(name));
}

const QString anmo = dataPath("mseed", "obspy_dataselect_example.mseed");
const QString gaps = dataPath("mseed", "obspy_gaps.mseed");
const QString float32 = dataPath("mseed", "obspy_libmseed_Float32-encoded.mseed");
const QString seism = dataPath("sac", "obspy_seism.sac");

} // namespace

TEST(WaveformCommands, SummaryPrintsOneTabSeparatedLinePerTraceOfEveryFile) {
    commandLineRun r =
        runQuorvel({"--waveforms", anmo, float32, seism, gaps, "--print", "summary"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(
        r.out,
        QStringLiteral(
            "IU.ANMO.00.BHZ\t2010-02-27T06:30:00.020Z\t20\t12000\t-52206\t-45709\t\t\n"
            "XX.TEST..VHE\t1986-12-26T02:12:05.865Z\t0.1\t1008\t-1.3515625\t-0.75\t\t\n"
            ".CDV..Q\t1981-03-29T10:38:23.460Z\t100\t1000\t-1.56928003\t1.52064002\t88\t-120\n"
            "BW.BGLD..EHE\t2007-12-31T23:59:59.915Z\t200\t412\t-475\t-353\t\t\n"
            "BW.BGLD..EHE\t2008-01-01T00:00:04.035Z\t200\t824\t-536\t-260\t\t\n"
            "BW.BGLD..EHE\t2008-01-01T00:00:10.215Z\t200\t824\t-447\t-330\t\t\n"
            "BW.BGLD..EHE\t2008-01-01T00:00:18.455Z\t200\t50668\t-608\t-129\t\t\n"));

    // The processing options work as for --sac: the mean and the long periods gone.
    r = runQuorvel({"--waveforms", anmo, "--remove-mean", "--highpass", "1", "--print", "summary"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("IU.ANMO.00.BHZ\t2010-02-27T06:30:00.020Z\t20\t12000\t"
                                    "-105.925812\t754.392151\t\t\n"));
}

TEST(WaveformCommands, ExportSacWritesEveryTraceUnderItsStandardNameAsDecoded) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("made/here"));
    commandLineRun r = runQuorvel({"--waveforms", gaps, anmo, "--export-sac", out});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList written = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(written,
              (QStringList{"BW.BGLD..EHE.2007.365.235959.SAC", "BW.BGLD..EHE.2008.001.000004.SAC",
                           "BW.BGLD..EHE.2008.001.000010.SAC", "BW.BGLD..EHE.2008.001.000018.SAC",
                           "IU.ANMO.00.BHZ.2010.058.063000.SAC"}));
    QVRResult<std::vector<SacObject>> decoded = seismogramFile::fromFile(anmo);
    QVRResult<SacObject> exported = SacObject::fromFile(
        QDir(out).filePath(QStringLiteral("IU.ANMO.00.BHZ.2010.058.063000.SAC")));
    ASSERT_TRUE(decoded.ok() && exported.ok());
    const SacObject& original = decoded->front();
    ASSERT_EQ(exported->npts(), 12000);
    EXPECT_EQ(std::memcmp(exported->GetSacHeader(), original.GetSacHeader(), sizeof(SacHeader)), 0);
    EXPECT_EQ(std::memcmp(exported->GetSacSeis(), original.GetSacSeis(), 12000 * sizeof(float)), 0);

    // Two traces of one name are both kept.
    const QString twice = dir.filePath(QStringLiteral("twice"));
    r = runQuorvel({"--waveforms", anmo, anmo, "--export-sac", twice});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(QDir(twice).entryList(QDir::Files, QDir::Name),
              (QStringList{"IU.ANMO.00.BHZ.2010.058.063000.2.SAC",
                           "IU.ANMO.00.BHZ.2010.058.063000.SAC"}));

    // A folder that cannot be made.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    r = runQuorvel({"--waveforms", anmo, "--export-sac", blocker.fileName() + "/sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot be made"))) << qPrintable(r.err);
}

TEST(WaveformCommands, SacAndWaveformsReadMiniSeedHeadersAndSamplesTraceByTrace) {
    commandLineRun r = runQuorvel({"--sac", float32, "--print", "header"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("npts 1008\ndelta 10\nb 0.00079999998\n")))
        << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nreference 1986-12-26T02:12:05.864Z\nkstnm TEST\n"
                                              "knetwk XX\nkcmpnm VHE\n")))
        << qPrintable(r.out);

    r = runQuorvel({"--waveforms", gaps, "--print", "header"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.count(QStringLiteral("npts ")), 4);
    r = runQuorvel({"--waveforms",
                    dataPath("mseed", "obspy_2011-09-06-1311-36S.A1032_001BH_Z.mseed"), "--print",
                    "samples"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("-858\n-863\n-838\n")))
        << qPrintable(r.out.left(40));
    EXPECT_EQ(r.out.count(u'\n'), 4000);
}

TEST(WaveformCommands, ExitCodesTellArgumentsAndInputFromNoTrace) {
    QTemporaryDir dir;
    // A readable miniSEED file of log text only: no trace.
    miniSeedPacker packer;
    packer.channel = "LOG";
    packer.rate = 0;
    packer.encoding = DE_ASCII;
    const std::string text(600, 'x');
    QByteArray logRecords;
    {
        MSTrace* trace = mst_init(nullptr);
        std::strcpy(trace->network, "XX");
        std::strcpy(trace->station, "TEST");
        std::strcpy(trace->channel, "LOG");
        trace->dataquality = 'D';
        trace->starttime = packer.startUs;
        trace->sampletype = 'a';
        trace->numsamples = trace->samplecnt = int64_t(text.size());
        trace->datasamples = std::malloc(text.size());
        std::memcpy(trace->datasamples, text.data(), text.size());
        int64_t packed = 0;
        mst_pack(
            trace,
            [](char* record, int length, void* into) {
                static_cast<QByteArray*>(into)->append(record, length);
            },
            &logRecords, 512, DE_ASCII, 1, &packed, 1, 0, nullptr);
        mst_free(&trace);
    }
    ASSERT_EQ(logRecords.size(), 1024);
    QFile logFile(dir.filePath(QStringLiteral("log.mseed")));
    ASSERT_TRUE(logFile.open(QIODevice::WriteOnly));
    logFile.write(logRecords);
    logFile.close();

    commandLineRun r = runQuorvel({"--waveforms", logFile.fileName(), "--print", "summary"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("Quorvel: no trace was read\n"));

    // A file that is no seismogram is named, the others still read.
    const QString text2 = dataPath("sac", "obspy_testxy.sac");
    r = runQuorvel({"--waveforms", text2, anmo, "--print", "summary"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.count(u'\n'), 1);
    EXPECT_EQ(r.err,
              "Quorvel: " + text2 +
                  " is not a SAC seismogram or miniSEED file: no known header version in either "
                  "byte order\n");

    for (const QStringList& bad :
         {QStringList{"--waveforms", anmo, "--print", "table"}, QStringList{"--waveforms", anmo},
          QStringList{"--waveforms", anmo, "--print", "summary", "--export-sac", dir.path()},
          QStringList{"--sac", anmo, "--export-sac", dir.path()},
          QStringList{"--waveforms", anmo, "--sac", anmo, "--print", "summary"},
          QStringList{"--waveforms", anmo, "--poles", "11", "--print", "summary"}}) {
        SCOPED_TRACE(qPrintable(bad.join(u' ')));
        r = runQuorvel(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.endsWith(QStringLiteral("Try 'Quorvel --help'.\n"))) << qPrintable(r.err);
    }
    // A corner above the Nyquist frequency (10 Hz): printed unfiltered, and said by the code.
    r = runQuorvel({"--waveforms", anmo, "--lowpass", "15", "--print", "summary"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.count(u'\n'), 1);
}

TEST(WaveformCommands, RenderDrawsTheTracesOfMiniSeedFiles) {
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("panels.png"));
    commandLineRun r = runQuorvel({"--waveforms", gaps, anmo, "--render", "panels", "--size",
                                   "600x500", "--output", picture});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(600, 500) * image.devicePixelRatio());
}
