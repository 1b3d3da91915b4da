#include "miniSeedReader.h"
#include "SacObject.h"
#include "logCapture.h"
#include "miniSeedPacker.h"
#include "miniSeedRecord.h"
#include "sampleBufferPool.h"
#include "seismogramFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <optional>

#include <gtest/gtest.h>

namespace {

QString testFile(const char* folder, const char* name) {
    return QStringLiteral(QUORVEL_TEST_DATA "/%1/%2")
        .arg(QLatin1StringView(folder), QLatin1StringView(name));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    return f.readAll();
}

// The first sample's time in µs, from the reference time and b.
int64_t firstSampleUs(const SacObject& s) {
    return s.mySeisReferenceTime().toMSecsSinceEpoch() * 1000 + std::llround(double(s.b()) * 1e6);
}

// One trace as libmseed itself assembles it from a file, with its samples as floats.
struct libraryTrace {
    QString id;
    int64_t startUs;
    double rate;
    std::vector<float> samples;
};

std::vector<libraryTrace> libraryTraces(const QString& path) {
    MSTraceList* list = nullptr;
    const QByteArray name = path.toLocal8Bit();
    EXPECT_EQ(ms_readtracelist(&list, name.constData(), 0, -1.0, -1.0, 0, 1, 1, 0), MS_NOERROR);
    std::vector<libraryTrace> out;
    for (MSTraceID* id = list ? list->traces : nullptr; id; id = id->next) {
        for (MSTraceSeg* seg = id->first; seg; seg = seg->next) {
            libraryTrace t{QStringLiteral("%1.%2.%3.%4")
                               .arg(QLatin1StringView(id->network), QLatin1StringView(id->station),
                                    QLatin1StringView(id->location),
                                    QLatin1StringView(id->channel)),
                           seg->starttime,
                           seg->samprate,
                           {}};
            for (int64_t i = 0; i < seg->numsamples; ++i) {
                switch (seg->sampletype) {
                case 'i':
                    t.samples.push_back(float(static_cast<int32_t*>(seg->datasamples)[i]));
                    break;
                case 'f':
                    t.samples.push_back(static_cast<float*>(seg->datasamples)[i]);
                    break;
                default:
                    t.samples.push_back(float(static_cast<double*>(seg->datasamples)[i]));
                    break;
                }
            }
            out.push_back(std::move(t));
        }
    }
    mstl_free(&list, 0);
    return out;
}

QString streamId(const SacObject& s) {
    return QStringList{s.knetwk(), s.kstnm(), s.khole(), s.kcmpnm()}.join(u'.');
}

std::vector<int32_t> ramp(int n, int32_t scale) {
    std::vector<int32_t> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[std::size_t(i)] = int32_t(std::lround(scale * std::sin(i * 0.05) + (i % 7) * 3 - 9));
    return v;
}

miniSeedTraces readOk(const QByteArray& bytes) {
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(bytes);
    EXPECT_TRUE(read.ok()) << qPrintable(read.error());
    return read.ok() ? std::move(read).value() : miniSeedTraces{};
}

} // namespace

TEST(MiniSeedReader, SampleFilesGiveTheTracesAndSamplesOfLibmseedItself) {
    struct expectation {
        const char* file;
        std::size_t traces;
        const char* id;
        int firstNpts;
        double rate;
    };
    const expectation cases[] = {
        {"obspy_dataselect_example.mseed", 1, "IU.ANMO.00.BHZ", 12000, 20.0},
        {"obspy_gaps.mseed", 4, "BW.BGLD..EHE", -1, 200.0},
        {"obspy_2011-09-06-1311-36S.A1032_001BH_Z.mseed", 1, "XX.A1032..BHZ", 4000, 50.0},
        {"obspy_libmseed_Float32-encoded.mseed", 1, "XX.TEST..VHE", 1008, 0.1},
        {"seisplotjs_XX.PI04.RW.HNZ.2019.070.18", 0, "XX.PI04.RW.HNZ", -1, 400.0},
    };
    for (const expectation& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = testFile("mseed", c.file);
        QVRResult<miniSeedTraces> read = miniSeedReader::fromFile(path);
        ASSERT_TRUE(read.ok()) << qPrintable(read.error());
        const std::vector<SacObject>& traces = read->traces;
        EXPECT_EQ(read->skippedRecords, 0);
        const std::vector<libraryTrace> expected = libraryTraces(path);
        if (c.traces > 0) {
            EXPECT_EQ(traces.size(), c.traces);
        }
        ASSERT_EQ(traces.size(), expected.size());
        if (c.firstNpts > 0) {
            EXPECT_EQ(traces.front().npts(), c.firstNpts);
        }
        for (std::size_t i = 0; i < traces.size(); ++i) {
            const SacObject& s = traces[i];
            EXPECT_EQ(streamId(s), QLatin1StringView(c.id));
            EXPECT_EQ(streamId(s), expected[i].id);
            EXPECT_EQ(s.path(), path);
            EXPECT_EQ(firstSampleUs(s), expected[i].startUs);
            EXPECT_FLOAT_EQ(s.delta(), float(1.0 / c.rate));
            ASSERT_EQ(std::size_t(s.npts()), expected[i].samples.size());
            EXPECT_EQ(std::memcmp(s.GetSacSeis(), expected[i].samples.data(),
                                  expected[i].samples.size() * sizeof(float)),
                      0);
            const auto [low, high] =
                std::minmax_element(expected[i].samples.begin(), expected[i].samples.end());
            EXPECT_EQ(s.GetSacHeader()->depmin, *low);
            EXPECT_EQ(s.GetSacHeader()->depmax, *high);
            EXPECT_TRUE(s.b() >= 0.0f && s.b() < 0.001f) << s.b();
        }
    }
}

TEST(MiniSeedReader, HeaderHoldsTheStreamCodesTimeAndAmplitudes) {
    const miniSeedTraces read =
        readOk(fileBytes(testFile("mseed", "obspy_dataselect_example.mseed")));
    ASSERT_EQ(read.traces.size(), 1u);
    const SacObject& s = read.traces.front();
    EXPECT_EQ(s.knetwk(), QStringLiteral("IU"));
    EXPECT_EQ(s.kstnm(), QStringLiteral("ANMO"));
    EXPECT_EQ(s.khole(), QStringLiteral("00"));
    EXPECT_EQ(s.kcmpnm(), QStringLiteral("BHZ"));
    EXPECT_EQ(s.labelString(), QStringLiteral("IU.ANMO.BHZ"));
    // 2010-02-27 06:30:00.019538: the header's milliseconds, and b the microseconds below.
    EXPECT_EQ(s.mySeisReferenceTime(),
              QDateTime(QDate(2010, 2, 27), QTime(6, 30, 0, 19), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(s.b(), 0.000538f);
    EXPECT_EQ(s.firstSampleTime(),
              QDateTime(QDate(2010, 2, 27), QTime(6, 30, 0, 20), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(s.delta(), 0.05f);
    EXPECT_EQ(s.npts(), 12000);
    const float* x = s.GetSacSeis();
    const double mean = std::accumulate(x, x + 12000, 0.0) / 12000.0;
    EXPECT_NEAR(s.GetSacHeader()->depmen, mean, 1e-3 * std::fabs(mean) + 1e-3);
    EXPECT_EQ(s.GetSacHeader()->nvhdr, 6);
    EXPECT_EQ(s.GetSacHeader()->leven, 1);
    EXPECT_EQ(s.GetSacHeader()->iftype, 1);
}

// Records of a stream from `startUs` on with blockette 1001, which holds the microseconds that
// the fixed header's tenths of a millisecond cannot.
QByteArray recordsWithMicroseconds(int64_t startUs, const std::vector<int32_t>& samples) {
    MSRecord* layout = msr_init(nullptr);
    blkt_1001_s microseconds{};
    msr_addblockette(layout, reinterpret_cast<char*>(&microseconds), sizeof microseconds, 1001, 0);
    MSTrace* trace = mst_init(nullptr);
    std::strcpy(trace->network, "XX");
    std::strcpy(trace->station, "USEC");
    std::strcpy(trace->channel, "BHZ");
    trace->starttime = startUs;
    trace->samprate = 20;
    trace->sampletype = 'i';
    trace->numsamples = trace->samplecnt = int64_t(samples.size());
    trace->datasamples = std::malloc(samples.size() * sizeof(int32_t));
    std::memcpy(trace->datasamples, samples.data(), samples.size() * sizeof(int32_t));
    QByteArray out;
    int64_t packed = 0;
    mst_pack(
        trace,
        [](char* record, int length, void* into) {
            static_cast<QByteArray*>(into)->append(record, length);
        },
        &out, 512, DE_STEIM2, 1, &packed, 1, 0, layout);
    mst_free(&trace);
    msr_free(&layout);
    return out;
}

// The first sample's time keeps libmseed's microseconds, after 1970 and before it, where the
// header's reference time counts milliseconds; without a reference time there is none.
TEST(MiniSeedReader, FirstSampleTimeKeepsItsMicroseconds) {
    for (const int64_t startUs : {int64_t(1262304000123456), int64_t(-876544)}) {
        SCOPED_TRACE(startUs); // 2010-01-01 00:00:00.123456, 1969-12-31 23:59:59.123456
        std::vector<int32_t> samples(1000);
        std::iota(samples.begin(), samples.end(), -500);
        const miniSeedTraces read = readOk(recordsWithMicroseconds(startUs, samples));
        ASSERT_EQ(read.traces.size(), 1u);
        const SacObject& s = read.traces.front();
        EXPECT_EQ(s.npts(), 1000);
        EXPECT_EQ(s.firstSampleMicroseconds(), std::optional<qint64>(startUs));
        EXPECT_EQ(s.firstSampleTime().toMSecsSinceEpoch(),
                  startUs > 0 ? 1262304000123 : -877); // to the nearest millisecond
    }
    SacObject undated;
    undated.InitWithSamples(std::vector<float>(10, 1.0f), 0.01f, 0.5f, QDateTime());
    EXPECT_EQ(undated.firstSampleMicroseconds(), std::nullopt);
}

// The samples a reader made without zeroing them are the seismogram's own: a copy or an
// assignment has its own, and a move hands them over.
TEST(MiniSeedReader, CopiesOfAReadTraceHaveSamplesOfTheirOwn) {
    miniSeedPacker packer;
    std::vector<int32_t> samples(2000);
    std::iota(samples.begin(), samples.end(), 1);
    miniSeedTraces read = readOk(packer.pack(samples));
    ASSERT_EQ(read.traces.size(), 1u);
    SacObject& original = read.traces.front();
    SacObject copy = original;
    ASSERT_EQ(copy.npts(), 2000);
    EXPECT_NE(copy.GetSacSeis(), original.GetSacSeis());
    copy.GetSacSeis()[0] = -7;
    EXPECT_EQ(original.GetSacSeis()[0], 1.0f);
    EXPECT_EQ(copy.GetSacSeis()[1999], 2000.0f);
    EXPECT_EQ(copy.smax(), 2000.0f);

    SacObject assigned;
    assigned = copy;
    EXPECT_EQ(assigned.GetSacSeis()[0], -7.0f);
    const SacObject moved = std::move(copy);
    EXPECT_EQ(moved.GetSacSeis()[0], -7.0f);
    EXPECT_EQ(moved.npts(), 2000);
    // Writing and reading it back gives the same samples.
    const QVRResult<SacObject> again = SacObject::fromData(original.toData());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(std::memcmp(again->GetSacSeis(), original.GetSacSeis(), 2000 * sizeof(float)), 0);
}

TEST(MiniSeedReader, EveryEncodingRecordLengthAndByteOrderReadsTheSamplesPacked) {
    const std::vector<int32_t> ints = ramp(3000, 20000);
    std::vector<float> floats;
    std::vector<double> doubles;
    for (int32_t v : ints) {
        floats.push_back(float(v) * 0.001f + 0.5f);
        doubles.push_back(double(v) * 1e-7 - 0.25);
    }
    for (int length : {256, 512, 4096, 8192}) {
        for (bool big : {true, false}) {
            for (int encoding :
                 {DE_INT16, DE_INT32, DE_STEIM1, DE_STEIM2, DE_FLOAT32, DE_FLOAT64}) {
                SCOPED_TRACE(testing::Message() << "record " << length << " big-endian " << big
                                                << " encoding " << encoding);
                miniSeedPacker packer;
                packer.recordLength = length;
                packer.bigEndian = big;
                packer.encoding = encoding;
                std::vector<float> expected;
                QByteArray bytes;
                if (encoding == DE_FLOAT32) {
                    bytes = packer.pack(floats);
                    expected = floats;
                } else if (encoding == DE_FLOAT64) {
                    bytes = packer.pack(doubles);
                    for (double d : doubles)
                        expected.push_back(float(d));
                } else {
                    bytes = packer.pack(ints);
                    for (int32_t v : ints)
                        expected.push_back(float(v));
                }
                ASSERT_EQ(bytes.size() % length, 0);
                EXPECT_TRUE(miniSeedReader::looksLikeMiniSeed(bytes));
                const miniSeedTraces read = readOk(bytes);
                ASSERT_EQ(read.traces.size(), 1u);
                const SacObject& s = read.traces.front();
                EXPECT_EQ(streamId(s), QStringLiteral("XX.TEST.00.BHZ"));
                EXPECT_EQ(firstSampleUs(s), packer.startUs);
                ASSERT_EQ(s.npts(), 3000);
                EXPECT_EQ(std::memcmp(s.GetSacSeis(), expected.data(), 3000 * sizeof(float)), 0);
            }
        }
    }
}

TEST(MiniSeedReader, GapsAndOverlapsBeyondHalfASampleSplitTraces) {
    // Two runs of 1000 samples at 20 Hz (50 ms a sample); the second starts `shiftUs` after
    // the sample that would continue the first.
    const auto twoRuns = [](int64_t shiftUs) -> QByteArray {
        miniSeedPacker packer;
        const QByteArray first = packer.pack(ramp(1000, 500));
        packer.startUs += 1000 * 50000 + shiftUs;
        return first + packer.pack(ramp(1000, 700));
    };
    struct gap {
        int64_t shiftUs;
        std::size_t traces;
    };
    for (const gap g : {gap{0, 1}, gap{24000, 1}, gap{-24000, 1}, gap{26000, 2}, gap{-26000, 2},
                        gap{3600000000LL, 2}}) {
        SCOPED_TRACE(g.shiftUs);
        const miniSeedTraces read = readOk(twoRuns(g.shiftUs));
        ASSERT_EQ(read.traces.size(), g.traces);
        if (g.traces == 1) {
            EXPECT_EQ(read.traces[0].npts(), 2000);
        } else {
            EXPECT_EQ(read.traces[0].npts(), 1000);
            EXPECT_EQ(read.traces[1].npts(), 1000);
            EXPECT_EQ(firstSampleUs(read.traces[1]), 1262304000000000 + 50000000 + g.shiftUs);
        }
    }
}

TEST(MiniSeedReader, InterleavedChannelsGiveOneTraceEachOrderedByStream) {
    miniSeedPacker z, n, e;
    n.channel = "BHN";
    e.channel = "BHE";
    e.rate = n.rate = z.rate = 40.0;
    const QByteArray zb = z.pack(ramp(4000, 100)), nb = n.pack(ramp(4000, 200)),
                     eb = e.pack(ramp(4000, 300));
    // Record by record, as a data centre's multiplexed answer comes.
    QByteArray mixed;
    for (qsizetype at = 0; at < std::max({zb.size(), nb.size(), eb.size()}); at += 512)
        mixed += zb.mid(at, 512) + nb.mid(at, 512) + eb.mid(at, 512);
    const miniSeedTraces read = readOk(mixed);
    ASSERT_EQ(read.traces.size(), 3u);
    EXPECT_EQ(streamId(read.traces[0]), QStringLiteral("XX.TEST.00.BHE"));
    EXPECT_EQ(streamId(read.traces[1]), QStringLiteral("XX.TEST.00.BHN"));
    EXPECT_EQ(streamId(read.traces[2]), QStringLiteral("XX.TEST.00.BHZ"));
    const std::vector<int32_t> expectedE = ramp(4000, 300);
    for (const SacObject& s : read.traces)
        ASSERT_EQ(s.npts(), 4000);
    EXPECT_EQ(read.traces[0].GetSacSeis()[3999], float(expectedE[3999]));
}

TEST(MiniSeedReader, StreamsOfMixedByteOrdersAndEncodingsKeepTheirSamplesAndAmplitudes) {
    // Three channels record by record, each in a byte order and an encoding of its own, the
    // largest and smallest samples of each far from its first record, and a log record last.
    miniSeedPacker z, n, e;
    n.channel = "BHN";
    n.bigEndian = false;
    n.encoding = DE_INT32;
    e.channel = "BHE";
    e.encoding = DE_FLOAT32;
    e.recordLength = 256;
    std::vector<int32_t> zs = ramp(3000, 100), ns = ramp(3000, 50);
    zs[2500] = 123456;
    zs[1700] = -654321;
    ns[2999] = -7;
    ns[2990] = 40000;
    std::vector<float> es;
    for (int32_t v : ramp(3000, 30))
        es.push_back(float(v) * 0.25f);
    es[2000] = 1e6f;
    const QByteArray zb = z.pack(zs), nb = n.pack(ns), eb = e.pack(es);
    QByteArray mixed;
    for (qsizetype at = 0; at < std::max({zb.size(), nb.size(), eb.size()}); at += 512)
        mixed += zb.mid(at, 512) + nb.mid(at, 512) + eb.mid(at, 512);
    mixed += z.packText("GPS lock regained\n");

    const miniSeedTraces read = readOk(mixed);
    EXPECT_EQ(read.skippedRecords, 0);
    ASSERT_EQ(read.traces.size(), 3u);
    struct expectation {
        const char* id;
        float min, max;
    };
    const expectation expected[] = {{"XX.TEST.00.BHE", -9.75f, 1e6f},
                                    {"XX.TEST.00.BHN", -59.0f, 40000.0f},
                                    {"XX.TEST.00.BHZ", -654321.0f, 123456.0f}};
    const std::vector<float> samples[] = {es, std::vector<float>(ns.begin(), ns.end()),
                                          std::vector<float>(zs.begin(), zs.end())};
    for (std::size_t i = 0; i < 3; ++i) {
        const SacObject& s = read.traces[i];
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(streamId(s), QLatin1StringView(expected[i].id));
        ASSERT_EQ(s.npts(), 3000);
        EXPECT_EQ(std::memcmp(s.GetSacSeis(), samples[i].data(), 3000 * sizeof(float)), 0);
        EXPECT_EQ(s.smin(), expected[i].min);
        EXPECT_EQ(s.smax(), expected[i].max);
        EXPECT_EQ(s.absMax(), std::max(-expected[i].min, expected[i].max));
        EXPECT_EQ(s.GetSacHeader()->depmin, expected[i].min);
        EXPECT_EQ(s.GetSacHeader()->depmax, expected[i].max);
        const double mean =
            std::accumulate(samples[i].begin(), samples[i].end(), 0.0) / double(3000);
        EXPECT_FLOAT_EQ(s.GetSacHeader()->depmen, float(mean));
    }
}

TEST(MiniSeedReader, DamagedRecordsAreSkippedWithOneLogLineAndTheRestRead) {
    QByteArray bytes = fileBytes(testFile("mseed", "obspy_dataselect_example.mseed"));
    ASSERT_EQ(bytes.size(), 30 * 512);
    // The third and fourth records lose their headers; the last is cut short.
    std::memcpy(bytes.data() + 2 * 512, "garbage!", 8);
    std::memcpy(bytes.data() + 3 * 512 + 6, "??", 2);
    bytes.chop(100);
    logCapture log;
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(bytes, QStringLiteral("day.mseed"));
    ASSERT_TRUE(read.ok()) << qPrintable(read.error());
    EXPECT_EQ(read->skippedRecords, 3);
    ASSERT_EQ(log.problems().size(), 1);
    EXPECT_EQ(log.problems().front(),
              QStringLiteral("day.mseed: skipped 3 miniSEED record(s) that could not be read"));
    // The hole splits the trace: two records before it, 25 after.
    ASSERT_EQ(read->traces.size(), 2u);
    const std::vector<libraryTrace> whole =
        libraryTraces(testFile("mseed", "obspy_dataselect_example.mseed"));
    EXPECT_EQ(read->traces[0].npts(), 419 + 368);
    EXPECT_EQ(std::memcmp(read->traces[0].GetSacSeis(), whole[0].samples.data(),
                          std::size_t(419 + 368) * sizeof(float)),
              0);
    EXPECT_EQ(read->traces[1].npts() + 419 + 368 + 394 + 418 + 112, 12000);
}

TEST(MiniSeedReader, BytesWithoutAReadableRecordAreRefusedWithTheReason) {
    QByteArray noise(5000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) % 251);
    const QByteArray sac = fileBytes(testFile("sac", "obspy_test.sac"));
    QByteArray onlyDamaged = fileBytes(testFile("mseed", "obspy_libmseed_Float32-encoded.mseed"));
    onlyDamaged[6] = '?'; // no quality code: the record is not known for one

    logCapture log;
    for (const QByteArray& bytes : {noise, sac, QByteArray()}) {
        EXPECT_FALSE(miniSeedReader::looksLikeMiniSeed(bytes));
        QVRResult<miniSeedTraces> read = miniSeedReader::fromData(bytes);
        ASSERT_FALSE(read.ok());
    }
    EXPECT_EQ(miniSeedReader::fromData(QByteArray()).error(),
              QStringLiteral("it holds no miniSEED record"));
    EXPECT_EQ(miniSeedReader::fromData(noise).error(),
              QStringLiteral("no miniSEED record in it can be read"));
    log.clear();
    QVRResult<miniSeedTraces> damaged = miniSeedReader::fromData(onlyDamaged);
    ASSERT_FALSE(damaged.ok());
    EXPECT_EQ(damaged.error(), QStringLiteral("no miniSEED record in it can be read"));
    EXPECT_EQ(log.problems().size(), 1);
    EXPECT_FALSE(miniSeedReader::fromFile(QStringLiteral("/nonexistent/x.mseed")).ok());
}

TEST(MiniSeedReader, ARecordWhoseSamplesDoNotDecodeEndsItsTraceAsASkippedOne) {
    QByteArray bytes = fileBytes(testFile("mseed", "obspy_dataselect_example.mseed"));
    // The fifth record keeps its header; its Steim-2 frames are gone.
    std::memset(bytes.data() + 4 * 512 + 64, 0, 512 - 64);
    logCapture log;
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(bytes);
    ASSERT_TRUE(read.ok()) << qPrintable(read.error());
    EXPECT_EQ(read->skippedRecords, 1);
    EXPECT_EQ(log.problems().size(), 1);
    ASSERT_EQ(read->traces.size(), 2u);
    const std::vector<libraryTrace> whole =
        libraryTraces(testFile("mseed", "obspy_dataselect_example.mseed"));
    const int before = 419 + 368 + 394 + 418;
    ASSERT_EQ(read->traces[0].npts(), before);
    EXPECT_EQ(std::memcmp(read->traces[0].GetSacSeis(), whole[0].samples.data(),
                          std::size_t(before) * sizeof(float)),
              0);
    const SacObject& after = read->traces[1];
    // The record between them, of the samples libmseed decodes from the whole file.
    const std::size_t lost =
        whole[0].samples.size() - std::size_t(before) - std::size_t(after.npts());
    EXPECT_GT(lost, 0u);
    EXPECT_EQ(std::memcmp(after.GetSacSeis(), whole[0].samples.data() + before + lost,
                          std::size_t(after.npts()) * sizeof(float)),
              0);
    EXPECT_EQ(firstSampleUs(after),
              whole[0].startUs + std::llround(double(before + lost) * 50000.0));
}

TEST(MiniSeedReader, AFileReadIntoTheStorageOfOneReadBeforeHoldsOnlyItsOwnSamples) {
    // Over a megabyte of samples each, so that the second file's trace is written into the
    // storage the first one's had.
    constexpr int count = 300000;
    constexpr int32_t earlier = 1234567;
    sampleBufferPool::release();
    const float* storage = nullptr;
    {
        const miniSeedTraces first =
            readOk(miniSeedPacker().pack(std::vector<int32_t>(count, earlier)));
        ASSERT_EQ(first.traces.size(), 1u);
        storage = first.traces.front().GetSacSeis();
    }
    const std::vector<int32_t> later = ramp(count, 20000);
    const QByteArray laterBytes = miniSeedPacker().pack(later);
    {
        const miniSeedTraces whole = readOk(laterBytes);
        ASSERT_EQ(whole.traces.size(), 1u);
        const SacObject& s = whole.traces.front();
        EXPECT_EQ(s.GetSacSeis(), storage);
        ASSERT_EQ(s.npts(), count);
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(s.GetSacSeis()[i], float(later[std::size_t(i)])) << "sample " << i;
        EXPECT_EQ(s.smax(), float(*std::max_element(later.begin(), later.end())));
    }

    // A record in the middle that does not decode leaves its part of the storage as the first
    // file wrote it: the trace is cut around it.
    readOk(miniSeedPacker().pack(std::vector<int32_t>(count, earlier)));
    QByteArray damaged = laterBytes;
    const qsizetype record = damaged.size() / 512 / 2;
    std::memset(damaged.data() + record * 512 + 64, 0, 512 - 64);
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(damaged);
    ASSERT_TRUE(read.ok()) << qPrintable(read.error());
    EXPECT_EQ(read->skippedRecords, 1);
    ASSERT_EQ(read->traces.size(), 2u);
    const SacObject& before = read->traces[0];
    const SacObject& after = read->traces[1];
    const int lost = count - before.npts() - after.npts();
    EXPECT_GT(lost, 0);
    for (int i = 0; i < before.npts(); ++i)
        ASSERT_EQ(before.GetSacSeis()[i], float(later[std::size_t(i)])) << "sample " << i;
    for (int i = 0; i < after.npts(); ++i)
        ASSERT_EQ(after.GetSacSeis()[i], float(later[std::size_t(before.npts() + lost + i)]))
            << "sample " << i << " after the gap";
    EXPECT_LT(before.smax(), float(earlier));
    EXPECT_LT(after.smax(), float(earlier));
}

TEST(MiniSeedReader, ARecordClaimingMoreSamplesThanItHoldsIsSkippedUnread) {
    // 1,008 big-endian floats fill the 4096-byte record; its header now claims 2,000.
    QByteArray bytes = fileBytes(testFile("mseed", "obspy_libmseed_Float32-encoded.mseed"));
    ASSERT_EQ(bytes.size(), 4096);
    QByteArray claiming = bytes;
    qToBigEndian<quint16>(2000, claiming.data() + 30);
    EXPECT_FALSE(miniSeedRecord::decode(claiming).ok());
    logCapture log;
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(claiming + bytes);
    ASSERT_TRUE(read.ok()) << qPrintable(read.error());
    EXPECT_EQ(read->skippedRecords, 1);
    ASSERT_EQ(read->traces.size(), 1u);
    EXPECT_EQ(read->traces.front().npts(), 1008);
    EXPECT_EQ(log.problems().size(), 1);
}

TEST(MiniSeedRecord, DecodesOneStreamRecordAndRefusesPartsOfOne) {
    const QByteArray bytes = fileBytes(testFile("mseed", "obspy_gaps.mseed"));
    QVRResult<miniSeedRecord> record = miniSeedRecord::decode(QByteArrayView(bytes).first(512));
    ASSERT_TRUE(record.ok()) << qPrintable(record.error());
    EXPECT_EQ(record->streamId(), QStringLiteral("BW.BGLD..EHE"));
    EXPECT_EQ(record->location, QString());
    EXPECT_EQ(record->sequenceNumber, 763445);
    EXPECT_EQ(record->recordLength, 512);
    EXPECT_EQ(record->sampleRate, 200.0);
    // 2008-01-01 00:00:00.065 in the header, less its −0.15 s correction.
    EXPECT_EQ(record->startTimeUs, 1199145599915000);
    EXPECT_EQ(record->startTime(),
              QDateTime(QDate(2007, 12, 31), QTime(23, 59, 59, 915), QTimeZone::utc()));
    ASSERT_EQ(record->samples.size(), 412u);
    const std::vector<libraryTrace> traces = libraryTraces(testFile("mseed", "obspy_gaps.mseed"));
    EXPECT_EQ(std::memcmp(record->samples.data(), traces[0].samples.data(), 412 * sizeof(float)),
              0);

    EXPECT_EQ(miniSeedRecord::decode(QByteArrayView(bytes).first(300)).error(),
              QStringLiteral("the record of 512 bytes is cut short at 300 bytes"));
    EXPECT_EQ(
        miniSeedRecord::decode(QByteArrayView("not a record at all, not at all, never")).error(),
        QStringLiteral("the bytes are not a miniSEED record"));
}

TEST(SeismogramFile, TellsSacFromMiniSeedByContent) {
    QTemporaryDir dir;
    // Names that say the opposite of what the files hold.
    const QString sacNamedMseed = dir.filePath(QStringLiteral("trace.mseed"));
    const QString mseedNamedSac = dir.filePath(QStringLiteral("trace.sac"));
    QFile::copy(testFile("sac", "obspy_seism.sac"), sacNamedMseed);
    QFile::copy(testFile("mseed", "obspy_gaps.mseed"), mseedNamedSac);

    QVRResult<std::vector<SacObject>> sac = seismogramFile::fromFile(sacNamedMseed);
    ASSERT_TRUE(sac.ok()) << qPrintable(sac.error());
    ASSERT_EQ(sac->size(), 1u);
    EXPECT_EQ(sac->front().kstnm(), QStringLiteral("CDV"));
    EXPECT_EQ(sac->front().npts(), 1000);

    QVRResult<std::vector<SacObject>> mseed = seismogramFile::fromFile(mseedNamedSac);
    ASSERT_TRUE(mseed.ok()) << qPrintable(mseed.error());
    EXPECT_EQ(mseed->size(), 4u);
    EXPECT_EQ(mseed->front().path(), mseedNamedSac);

    QVRResult<std::vector<SacObject>> text =
        seismogramFile::fromFile(testFile("sac", "obspy_testxy.sac"));
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error(), QStringLiteral("no known header version in either byte order"));
}

TEST(SacWriting, MiniSeedTracesRoundTripThroughSacBitExactWithTheirStandardNames) {
    const miniSeedTraces read = readOk(fileBytes(testFile("mseed", "obspy_gaps.mseed")));
    ASSERT_EQ(read.traces.size(), 4u);
    QStringList names;
    for (const SacObject& s : read.traces) {
        const QByteArray written = s.toData();
        ASSERT_EQ(written.size(), 632 + 4 * s.npts());
        QVRResult<SacObject> back = SacObject::fromData(written);
        ASSERT_TRUE(back.ok()) << qPrintable(back.error());
        EXPECT_EQ(std::memcmp(back->GetSacHeader(), s.GetSacHeader(), sizeof(SacHeader)), 0);
        EXPECT_EQ(std::memcmp(back->GetSacSeis(), s.GetSacSeis(), std::size_t(s.npts()) * 4), 0);
        EXPECT_EQ(back->toData(), written);
        names << s.standardFileName();
    }
    EXPECT_EQ(names.front(), QStringLiteral("BW.BGLD..EHE.2007.365.235959.SAC"));
    EXPECT_EQ(read.traces[0].firstSampleTime(),
              QDateTime(QDate(2007, 12, 31), QTime(23, 59, 59, 915), QTimeZone::utc()));

    SacObject bare;
    bare.InitWithSamples({1, 2, 3}, 0.5f, 3661.25f,
                         QDateTime(QDate(2024, 2, 29), QTime(23, 0, 0), QTimeZone::utc()));
    EXPECT_EQ(bare.standardFileName(), QStringLiteral("....2024.061.000101.SAC"));
    bare.setStreamCodes(QStringLiteral("GE"), QStringLiteral("LONGSTATION"), QString(),
                        QStringLiteral("HHZ"));
    EXPECT_EQ(bare.kstnm(), QStringLiteral("LONGSTAT"));
    EXPECT_EQ(bare.standardFileName(), QStringLiteral("GE.LONGSTAT..HHZ.2024.061.000101.SAC"));
    EXPECT_EQ(SacObject().standardFileName(), QStringLiteral("....SAC"));
}
