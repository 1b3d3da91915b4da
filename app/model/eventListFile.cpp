#include "eventListFile.h"

#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "quorvelLogging.h"
#include "serialOperationQueue.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <mutex>

const QString eventListFile::kind = QStringLiteral("Quorvel event list");

namespace {
// Event lists are small; anything far larger is not one of ours and is not read into memory.
constexpr qint64 largestFileSize = 512LL * 1024 * 1024;

QVRResult<originList> refuse(const QString& why) {
    return QVRResult<originList>::failure(why);
}

// The background writes: one worker, and per path the newest list waiting for it.
class backgroundWrites {
public:
    struct job {
        originList snapshot;
        std::function<void(const QVRResult<void>&)> done;
    };

    static backgroundWrites& instance() {
        static backgroundWrites writes;
        return writes;
    }

    void add(const QString& path, job j) {
        const std::scoped_lock lock(mutex_);
        const bool workerComing = waiting_.contains(path);
        waiting_.insert(path, std::move(j));
        if (!workerComing)
            worker_.addOperation(QStringLiteral("write %1").arg(path),
                                 [this, path](const std::atomic<bool>&) { writeNewest(path); });
    }

    void waitForAll() { worker_.waitForAllOperations(); }

private:
    backgroundWrites() = default;
    ~backgroundWrites() { worker_.waitForAllOperations(); }

    void writeNewest(const QString& path) {
        job j;
        {
            const std::scoped_lock lock(mutex_);
            j = waiting_.take(path);
        }
        const QVRResult<void> written = eventListFile::write(j.snapshot, path);
        if (j.done)
            j.done(written);
    }

    serialOperationQueue worker_{[] {}};
    std::mutex mutex_;
    QHash<QString, job> waiting_;
};
} // namespace

originList eventListFile::snapshotOf(const originList& origins) {
    originList copy;
    copy.reserve(origins.size());
    for (const auto& o : origins) {
        if (!o) {
            copy.append(nullptr);
            continue;
        }
        auto record = std::make_shared<seismicOrigin>(*o);
        if (o->hasMagnitudeList()) {
            seismicOrigin::magnitudeList magnitudes;
            for (const auto& m : record->magnitudes())
                magnitudes.append(m ? std::make_shared<QVRMagnitude>(*m) : nullptr);
            record->setMagnitudes(magnitudes);
        }
        copy.append(std::move(record));
    }
    return copy;
}

void eventListFile::writeInBackground(originList snapshot, const QString& path,
                                      std::function<void(const QVRResult<void>&)> done) {
    backgroundWrites::instance().add(path, {std::move(snapshot), std::move(done)});
}

void eventListFile::waitForBackgroundWrites() {
    backgroundWrites::instance().waitForAll();
}

QByteArray eventListFile::archivedData(const originList& origins) {
    keyedArchiver root;
    root.encodeObject(kind, QStringLiteral("kind"));
    root.encodeInt(version, QStringLiteral("version"));
    root.encodeObjectList(origins, QStringLiteral("origins"));
    return root.archivedData();
}

// The origins are read one at a time straight from the bytes. A fault in the bytes is named
// before any other reason to refuse them, wherever it is.
QVRResult<originList> eventListFile::originsFromData(const QByteArray& data) {
    QVRResult<keyedUnarchiver> archive = keyedUnarchiver::fromArchivedData(data);
    if (!archive)
        return refuse(archive.error());
    const keyedUnarchiver& root = archive.value();
    auto refuseUnlessDamaged = [&root](const QString& why) {
        const QString damage = root.finishReading();
        return refuse(damage.isNull() ? why : damage);
    };
    if (root.decodeText(QStringLiteral("kind")) != kind)
        return refuseUnlessDamaged(QStringLiteral("the archive does not hold an event list"));
    const int fileVersion = root.decodeInt(QStringLiteral("version"));
    if (fileVersion > version)
        return refuseUnlessDamaged(QStringLiteral("the event list was written by a newer "
                                                  "version of Quorvel (list version %1, this "
                                                  "version reads up to %2)")
                                       .arg(fileVersion)
                                       .arg(version));
    if (fileVersion < 1)
        return refuseUnlessDamaged(QStringLiteral("the event list has no valid version"));
    if (root.typeOfValue(QStringLiteral("origins")) != keyedArchiveValue::Type::List)
        return refuseUnlessDamaged(QStringLiteral("the event list holds no list of origins"));
    originList origins = root.decodeObjectList<seismicOrigin>(QStringLiteral("origins"));
    if (const QString damage = root.finishReading(); !damage.isNull())
        return refuse(damage);
    if (root.failed())
        return refuse(QStringLiteral("a record is damaged: %1").arg(root.errorString()));
    return origins;
}

QVRResult<void> eventListFile::write(const originList& origins, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QVRResult<void>::failure(file.errorString());
    file.write(archivedData(origins));
    if (!file.commit())
        return QVRResult<void>::failure(file.errorString());
    return QVRResult<void>::success();
}

QVRResult<originList> eventListFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    if (file.size() > largestFileSize)
        return refuse(QStringLiteral("the file is too large to be an event list"));
    return originsFromData(file.readAll());
}
