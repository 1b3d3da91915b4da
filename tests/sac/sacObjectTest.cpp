#include "SacObject.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtEndian>

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

namespace {

QString testFile(const char* name) {
    return QStringLiteral(QUORVEL_TEST_DATA "/sac/") + QString::fromLatin1(name);
}

QByteArray fileBytes(const char* name) {
    QFile f(testFile(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

void putWord(QByteArray& bytes, int word, qint32 value) {
    qToLittleEndian(value, bytes.data() + 4 * word);
}

} // namespace

TEST(SacObject, BothByteOrdersReadTheSameSeismogram) {
    SacObject little, big;
    ASSERT_TRUE(little.InitWithContentsOfFile(testFile("obspy_test.sac")))
        << qPrintable(little.errorString());
    ASSERT_TRUE(big.InitWithContentsOfFile(testFile("obspy_test.sac.swap")))
        << qPrintable(big.errorString());
    ASSERT_EQ(little.npts(), 100);
    ASSERT_EQ(big.npts(), 100);
    EXPECT_EQ(std::memcmp(little.GetSacHeader(), big.GetSacHeader(), sizeof(SacHeader)), 0);
    EXPECT_EQ(std::memcmp(little.GetSacSeis(), big.GetSacSeis(), 100 * sizeof(float)), 0);
    EXPECT_EQ(little.delta(), 1.0f);
    EXPECT_EQ(little.b(), 10.0f);
    EXPECT_EQ(little.e(), 109.0f);
    EXPECT_NEAR(little.GetSacSeis()[1], -0.309017, 1e-6);
    EXPECT_EQ(big.kstnm(), "STA");
    EXPECT_EQ(big.kcmpnm(), "Q");
    EXPECT_EQ(big.knetwk(), "-12345");
    EXPECT_EQ(big.labelString(), "STA.Q");
    EXPECT_EQ(big.mySeisReferenceTime(),
              QDateTime(QDate(1978, 7, 18), QTime(8, 0), QTimeZone::utc()));
    EXPECT_EQ(big.YMDcString(), "1978-07-18");
    EXPECT_EQ(big.oTimeString(), ""); // o is undefined
    EXPECT_EQ(big.flinnEngdahlGeographicRegion(), "");
    EXPECT_EQ(big.path(), testFile("obspy_test.sac.swap"));
}

TEST(SacObject, HeaderValuesPicksAndEventTexts) {
    SacObject s;
    ASSERT_TRUE(s.InitWithContentsOfFile(testFile("obspy_seism.sac")));
    EXPECT_EQ(s.npts(), 1000);
    EXPECT_FLOAT_EQ(s.delta(), 0.01f);
    EXPECT_FLOAT_EQ(s.gcarc(), 40.185947f);
    EXPECT_FLOAT_EQ(s.azimuth(), 0.27190548f);
    EXPECT_FLOAT_EQ(s.backazimuth(), 185.20465f);
    EXPECT_EQ(s.evdp(), -12345.0f);
    EXPECT_EQ(s.originTimeOffset(), 0.0f);
    EXPECT_FLOAT_EQ(s.pTime(), 10.47f);
    EXPECT_EQ(s.timePickKey(0), -12345.0f);
    EXPECT_EQ(s.timePickKey(1), 20.0f);
    EXPECT_FLOAT_EQ(s.timePickKey(11), 17.78f);
    EXPECT_EQ(s.timePickKey(10), -12345.0f);
    EXPECT_EQ(s.timePickKey(-1), -12345.0f);
    EXPECT_EQ(s.pickLabelWithKey(10), "IPD0");
    EXPECT_EQ(s.pickLabelWithKey(0), "XYZ");
    EXPECT_EQ(s.pickLabelWithKey(1), "-12345");
    EXPECT_EQ(s.pickLabelWithKey(11), "-12345");
    EXPECT_EQ(s.kstnm(), "CDV");
    EXPECT_EQ(s.kuser0(), "ABKD");
    EXPECT_EQ(s.oTimeString(), "1981-03-29 10:38:14.000");
    EXPECT_EQ(s.flinnEngdahlGeographicRegion(), "OFF COAST OF WASHINGTON");
    EXPECT_FLOAT_EQ(s.smin(), -1.56928f);
    EXPECT_FLOAT_EQ(s.smax(), 1.52064f);
    EXPECT_FLOAT_EQ(s.absMax(), 1.56928f);
    s.setLabelString(QStringLiteral("my label"));
    EXPECT_EQ(s.labelString(), "my label");
}

TEST(SacObject, MalformedBytesAreRefusedSafely) {
    const QByteArray good = fileBytes("obspy_test.sac");
    auto refused = [](const QByteArray& bytes) {
        SacObject s;
        const bool ok = s.InitWithNSData(bytes);
        const QVRResult<SacObject> result = SacObject::fromData(bytes);
        return !ok && !s.isSacFile() && s.GetSacHeader() == nullptr && s.GetSacSeis() == nullptr &&
               s.npts() == 0 && !s.errorString().isEmpty() && !result.ok() &&
               result.error() == s.errorString();
    };
    EXPECT_FALSE(refused(good));
    ASSERT_TRUE(SacObject::fromData(good).ok());
    EXPECT_EQ(SacObject::fromData(good)->npts(), 100);
    EXPECT_TRUE(refused(QByteArray()));
    EXPECT_TRUE(refused(good.left(631)));
    EXPECT_TRUE(refused(good.left(632 + 99 * 4))); // one sample short
    EXPECT_TRUE(refused(fileBytes("obspy_testxy.sac")));
    EXPECT_TRUE(refused(QByteArray(4096, 'x')));

    QByteArray negative = good;
    putWord(negative, 79, -5);
    EXPECT_TRUE(refused(negative));
    QByteArray huge = good;
    putWord(huge, 79, 0x7fffffff);
    EXPECT_TRUE(refused(huge));
    QByteArray version = good;
    putWord(version, 76, 99);
    EXPECT_TRUE(refused(version));
    QByteArray uneven = good;
    putWord(uneven, 105, 0);
    EXPECT_TRUE(refused(uneven));
    QByteArray spectrum = good;
    putWord(spectrum, 85, 3); // amplitude and phase
    EXPECT_TRUE(refused(spectrum));
    QByteArray zeroDelta = good;
    qToLittleEndian(0.0f, zeroDelta.data());
    EXPECT_TRUE(refused(zeroDelta));

    // Every prefix of a valid file is refused or read without touching bytes past its end.
    for (qsizetype n = 0; n < good.size(); n += 7) {
        SacObject s;
        QByteArray prefix = good.left(n);
        prefix.squeeze();
        s.InitWithNSData(prefix);
        EXPECT_LE(qsizetype(632) + qsizetype(s.npts()) * 4, std::max<qsizetype>(n, 632));
    }

    // Extra bytes after the samples (a version 7 footer, say) are allowed.
    SacObject longer;
    EXPECT_TRUE(longer.InitWithNSData(good + QByteArray(176, '\0')));
    EXPECT_EQ(longer.npts(), 100);
    // A file of header version 7 with its footer of 22 doubles reads in either byte order.
    QByteArray seven = good + QByteArray(22 * 8, '\0');
    putWord(seven, 76, 7);
    QByteArray sevenSwapped = fileBytes("obspy_test.sac.swap") + QByteArray(22 * 8, '\0');
    qToBigEndian(qint32(7), sevenSwapped.data() + 4 * 76);
    for (const QByteArray& bytes : {seven, sevenSwapped}) {
        SacObject s;
        ASSERT_TRUE(s.InitWithNSData(bytes)) << qPrintable(s.errorString());
        EXPECT_EQ(s.npts(), 100);
        EXPECT_EQ(s.b(), 10.0f);
        EXPECT_NEAR(s.GetSacSeis()[1], -0.309017, 1e-6);
    }

    // A refused read empties an object that held a seismogram.
    SacObject reused;
    ASSERT_TRUE(reused.InitWithNSData(good));
    EXPECT_FALSE(reused.InitWithNSData(good.left(100)));
    EXPECT_EQ(reused.GetSacSeis(), nullptr);
}

TEST(SacObject, TextFieldsStopAtNulAndBlanks) {
    QByteArray bytes = fileBytes("obspy_test.sac");
    std::memcpy(bytes.data() + 440, " AB\0XYZ ", 8); // kstnm
    SacObject s;
    ASSERT_TRUE(s.InitWithNSData(bytes));
    EXPECT_EQ(s.kstnm(), "AB");
}

TEST(SacObject, WritesWhatItReads) {
    SacObject s;
    ASSERT_TRUE(s.InitWithContentsOfFile(testFile("obspy_seism.sac")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy.sac"));
    ASSERT_TRUE(s.WriteSacFile(path));
    SacObject back;
    ASSERT_TRUE(back.InitWithContentsOfFile(path));
    EXPECT_EQ(std::memcmp(back.GetSacHeader(), s.GetSacHeader(), sizeof(SacHeader)), 0);
    EXPECT_EQ(std::memcmp(back.GetSacSeis(), s.GetSacSeis(), 1000 * sizeof(float)), 0);

    SacObject made;
    made.InitWithSamples({1, 2, 3, 4}, 0.5f, -1.0f,
                         QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 250), QTimeZone::utc()));
    EXPECT_EQ(made.e(), 0.5f);
    SacObject madeBack;
    ASSERT_TRUE(madeBack.InitWithNSData(made.toData()));
    EXPECT_EQ(madeBack.npts(), 4);
    EXPECT_EQ(madeBack.GetSacHeader()->nzjday, 60);
    EXPECT_EQ(madeBack.mySeisReferenceTime(),
              QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 250), QTimeZone::utc()));
    EXPECT_FALSE(SacObject().WriteSacFile(path));
}

TEST(SacObject, MeanRemovalAndTaper) {
    SacObject s;
    s.InitWithSamples(std::vector<float>(200, 3.0f), 0.1f, 0, {});
    s.GetSacSeis()[100] = 5.0f;
    s.RemoveMean();
    EXPECT_NEAR(s.GetSacSeis()[0], -0.01f, 1e-6);
    EXPECT_NEAR(s.GetSacSeis()[100], 1.99f, 1e-6);

    std::vector<float> ones(200, 1.0f);
    s.InitWithSamples(ones, 0.1f, 0, {});
    s.defaultTaper();
    const float* y = s.GetSacSeis();
    // 5 % of 200 samples = 10 at each end, rising from 0 as half a cosine.
    EXPECT_EQ(y[0], 0.0f);
    EXPECT_EQ(y[199], 0.0f);
    EXPECT_NEAR(y[5], 0.5f, 1e-6);
    EXPECT_NEAR(y[194], 0.5f, 1e-6);
    EXPECT_EQ(y[10], 1.0f);
    EXPECT_EQ(y[189], 1.0f);
    EXPECT_EQ(s.smax(), 1.0f);

    SacObject tiny;
    tiny.InitWithSamples({7.0f, 7.0f}, 1.0f, 0, {});
    tiny.defaultTaper(); // too short to taper
    EXPECT_EQ(tiny.GetSacSeis()[0], 7.0f);
}
