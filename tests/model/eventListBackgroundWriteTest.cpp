#include "catalogueLoader.h"
#include "eventListFile.h"
#include "sampleOrigins.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(EventListBackgroundWrite, TheSnapshotIsTheListsOwnAndIsWrittenIdentically) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.quorvel"));
    originList origins = sampleOrigins(300);
    const QByteArray expected = eventListFile::archivedData(origins);

    const originList snapshot = eventListFile::snapshotOf(origins);
    ASSERT_EQ(snapshot.size(), origins.size());
    EXPECT_NE(snapshot.first().get(), origins.first().get());
    EXPECT_NE(snapshot.first()->magnitudes().first().get(),
              origins.first()->magnitudes().first().get());

    std::atomic<int> outcomes = 0;
    eventListFile::writeInBackground(snapshot, path, [&](const QVRResult<void>& written) {
        EXPECT_TRUE(written.ok()) << qPrintable(written.error());
        ++outcomes;
    });
    // The program goes on changing its own records while the worker writes the copy.
    for (const auto& o : origins) {
        o->setMagnitude(9.9f);
        o->magnitudes().first()->setMvalue(9.9f);
    }
    eventListFile::waitForBackgroundWrites();
    EXPECT_EQ(outcomes.load(), 1);
    EXPECT_EQ(fileBytes(path), expected);
    const auto back = eventListFile::read(path);
    ASSERT_TRUE(back.ok()) << qPrintable(back.error());
    EXPECT_EQ(eventListFile::archivedData(*back), expected);
}

TEST(EventListBackgroundWrite, TheLastListAskedForIsTheOneOnDisk) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.quorvel"));
    std::atomic<int> lastOutcomes = 0;
    for (int n = 0; n < 5; ++n)
        eventListFile::writeInBackground(eventListFile::snapshotOf(sampleOrigins(2000, n * 0.01f)),
                                         path);
    const originList last = sampleOrigins(1500, 1.0f);
    eventListFile::writeInBackground(eventListFile::snapshotOf(last), path,
                                     [&](const QVRResult<void>& written) {
                                         EXPECT_TRUE(written.ok());
                                         ++lastOutcomes;
                                     });
    eventListFile::waitForBackgroundWrites();
    EXPECT_EQ(lastOutcomes.load(), 1);
    EXPECT_EQ(fileBytes(path), eventListFile::archivedData(last));
    // The atomic write leaves no temporary file behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.quorvel"});
}

TEST(EventListBackgroundWrite, QuittingRightAfterALoadLeavesTheWholeListOnDisk) {
    const QString path = catalogueLoader::cachedOriginsPath();
    QFile::remove(path);
    const QDateTime loadedAt(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    const originList origins = sampleOrigins(5000);
    {
        catalogueLoader loader(nullptr, [&] { return loadedAt; });
        catalogueLoader::writeCachedOrigins(origins, catalogueLoader::usgsFeedTag, loadedAt);
        // The loader goes at once, as it does when the program quits.
    }
    EXPECT_EQ(fileBytes(path), eventListFile::archivedData(origins));
    EXPECT_EQ(QSettings().value(QStringLiteral("cache/loadedAt")).toDateTime(), loadedAt);
    QFile::remove(path);
}
