#include "eventListFile.h"
#include "keyedArchiver.h"
#include "sampleOrigins.h"

#include <QCborValue>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(EventListFile, WritesAndReadsBackAList) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.qvrevents"));
    const originList origins = sampleOrigins(25);
    const QVRResult<void> written = eventListFile::write(origins, path);
    ASSERT_TRUE(written.ok()) << qPrintable(written.error());
    const auto back = eventListFile::read(path);
    ASSERT_TRUE(back.ok()) << qPrintable(back.error());
    ASSERT_EQ(back->size(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(back->at(i)->eventID(), origins.at(i)->eventID());
        EXPECT_EQ(back->at(i)->originDateTime(), origins.at(i)->originDateTime());
        EXPECT_EQ(back->at(i)->longitude(), origins.at(i)->longitude());
        EXPECT_EQ(back->at(i)->objectInMagnitudesAtIndex(0)->mvalue(), origins.at(i)->magnitude());
    }

    // An empty list is a list too.
    ASSERT_TRUE(eventListFile::write({}, path).ok());
    const auto empty = eventListFile::read(path);
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->isEmpty());
}

TEST(EventListFile, RefusesEveryTruncationWithoutHalfLoading) {
    const QByteArray whole = eventListFile::archivedData(sampleOrigins(3));
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const auto result = eventListFile::originsFromData(whole.left(length));
        EXPECT_FALSE(result.ok()) << "accepted the first " << length << " bytes";
        EXPECT_FALSE(result.error().isEmpty());
    }
    EXPECT_TRUE(eventListFile::originsFromData(whole).ok());
}

TEST(EventListFile, RefusesForeignAndNewerFiles) {
    auto refusal = [](const QByteArray& data) {
        const auto result = eventListFile::originsFromData(data);
        return result.ok() ? QStringLiteral("accepted") : result.error();
    };
    EXPECT_TRUE(refusal("{\"type\":\"FeatureCollection\",\"features\":[]}")
                    .contains("not a Quorvel keyed archive"));
    EXPECT_TRUE(refusal(QByteArray::fromHex("d9d9f7a0")).contains("not a Quorvel keyed archive"));
    EXPECT_TRUE(refusal(QCborValue(QStringLiteral("just text")).toCbor())
                    .contains("not a Quorvel keyed archive"));

    // A keyed archive of another kind.
    keyedArchiver other;
    other.encodeObject(QStringLiteral("Quorvel settings"), QStringLiteral("kind"));
    EXPECT_TRUE(
        refusal(other.archivedObject().archivedData()).contains("does not hold an event list"));

    // An event list from a newer version of the program.
    keyedArchiver newer;
    newer.encodeObject(eventListFile::kind, QStringLiteral("kind"));
    newer.encodeInt(eventListFile::version + 1, QStringLiteral("version"));
    newer.encodeObject(keyedArchiveValue::list(), QStringLiteral("origins"));
    EXPECT_TRUE(refusal(newer.archivedObject().archivedData()).contains("newer version"));

    // An archive format newer than this program reads.
    QByteArray newerFormat = eventListFile::archivedData({});
    const int versionAt = newerFormat.indexOf("version") + 7;
    ASSERT_EQ(newerFormat.at(versionAt), char(0x01));
    newerFormat[versionAt] = char(0x02);
    EXPECT_TRUE(refusal(newerFormat).contains("newer version"));

    // A damaged record refuses the whole list.
    keyedArchiver damaged;
    damaged.encodeObject(eventListFile::kind, QStringLiteral("kind"));
    damaged.encodeInt(1, QStringLiteral("version"));
    keyedArchiveValue origins = keyedArchiveValue::list();
    keyedArchiver good, bad;
    sampleOrigins(1).first()->encodeWithCoder(good);
    bad.encodeObject(QStringLiteral("north"), QStringLiteral("latitude"));
    origins.items = {good.archivedObject(), bad.archivedObject()};
    damaged.encodeObject(origins, QStringLiteral("origins"));
    EXPECT_TRUE(refusal(damaged.archivedObject().archivedData()).contains("latitude"));
}

TEST(EventListFile, RefusesHostileNestingAndMissingFiles) {
    // Thousands of nested lists must not exhaust the stack.
    QByteArray deep = QByteArray::fromHex("d9d9f7a3") +
                      QCborValue(QStringLiteral("archiver")).toCbor() +
                      QCborValue(QStringLiteral("QVRKeyedArchive")).toCbor() +
                      QCborValue(QStringLiteral("version")).toCbor() + QCborValue(1).toCbor() +
                      QCborValue(QStringLiteral("root")).toCbor() + QByteArray(100000, char(0x81)) +
                      QByteArray(1, char(0xf6));
    const auto nested = eventListFile::originsFromData(deep);
    EXPECT_FALSE(nested.ok());
    EXPECT_TRUE(nested.error().contains("nests too deeply")) << qPrintable(nested.error());

    const auto missing = eventListFile::read(QStringLiteral("/nonexistent/events"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().isEmpty());
}

TEST(EventListFile, RefusesDamagedValuesAnywhereAndNamesTheDamageFirst) {
    auto refusal = [](const QByteArray& data) {
        const auto result = eventListFile::originsFromData(data);
        return result.ok() ? QStringLiteral("accepted") : result.error();
    };
    const QByteArray whole = eventListFile::archivedData(sampleOrigins(2));
    ASSERT_TRUE(eventListFile::originsFromData(whole).ok());

    // The origins are read one by one, yet damage after them still refuses the file, and is
    // named before a reason found earlier (here: a list of another kind).
    const qsizetype rootAt = whole.indexOf("root") + 4;
    ASSERT_EQ(whole.at(rootAt), char(0xa3));
    QByteArray trailing = whole;
    trailing[rootAt] = char(0xa4);
    trailing += QByteArray::fromHex("656c61746572c200"); // "later": tag 2 of 0
    EXPECT_TRUE(refusal(trailing).contains("an unknown tag")) << qPrintable(refusal(trailing));
    QByteArray otherKind = trailing;
    otherKind.replace("Quorvel event list", "Quorvel event lisT");
    EXPECT_TRUE(refusal(otherKind).contains("an unknown tag")) << qPrintable(refusal(otherKind));

    auto withReplaced = [&whole](const QByteArray& from, const QByteArray& to) {
        QByteArray damaged = whole;
        const qsizetype at = damaged.lastIndexOf(from);
        EXPECT_GE(at, 0);
        damaged.replace(at, from.size(), to);
        return damaged;
    };
    // "version" of the list as an integer past 64 bits with a sign.
    EXPECT_TRUE(refusal(withReplaced(QByteArray("version\x01", 8),
                                     "version" + QByteArray::fromHex("1bffffffffffffffff")))
                    .contains("an integer is out of range"));
    // ... and one below -2^63, which must not wrap round to a small number.
    EXPECT_TRUE(refusal(withReplaced(QByteArray("version\x01", 8),
                                     "version" + QByteArray::fromHex("3bffffffffffffffff")))
                    .contains("an integer is out of range"));
    EXPECT_TRUE(refusal(withReplaced("ev1", "e\xc3\x28")).contains("a text is cut short"));
    EXPECT_TRUE(refusal(withReplaced("catalog\xf6", "catalog\xf5")).contains("unknown simple"));

    // An element of the list that is not an object.
    keyedArchiver notObjects;
    notObjects.encodeObject(eventListFile::kind, QStringLiteral("kind"));
    notObjects.encodeInt(1, QStringLiteral("version"));
    keyedArchiveValue origins = keyedArchiveValue::list();
    origins.items.emplace_back(keyedArchiveValue::Type::Int);
    notObjects.encodeObject(origins, QStringLiteral("origins"));
    EXPECT_EQ(refusal(notObjects.archivedData()),
              QStringLiteral("a record is damaged: an element of \"origins\" is not an object"));
}
