#include "eventListFile.h"

#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "quorvelLogging.h"

#include <QFile>
#include <QSaveFile>

const QString eventListFile::kind = QStringLiteral("Quorvel event list");

namespace {
// Event lists are small; anything far larger is not one of ours and is not read into memory.
constexpr qint64 largestFileSize = 512LL * 1024 * 1024;

QVRResult<originList> refuse(const QString& why) {
    return QVRResult<originList>::failure(why);
}
} // namespace

QByteArray eventListFile::archivedData(const originList& origins) {
    keyedArchiver root;
    root.encodeObject(kind, QStringLiteral("kind"));
    root.encodeInt(version, QStringLiteral("version"));
    root.encodeObjectList(origins, QStringLiteral("origins"));
    return root.archivedObject().archivedData();
}

QVRResult<originList> eventListFile::originsFromData(const QByteArray& data) {
    const QVRResult<keyedArchiveValue> archive = keyedArchiveValue::fromArchivedData(data);
    if (!archive)
        return refuse(archive.error());
    const keyedUnarchiver root(*archive);
    if (root.decodeText(QStringLiteral("kind")) != kind)
        return refuse(QStringLiteral("the archive does not hold an event list"));
    const int fileVersion = root.decodeInt(QStringLiteral("version"));
    if (fileVersion > version)
        return refuse(QStringLiteral("the event list was written by a newer version of "
                                     "Quorvel (list version %1, this version reads up "
                                     "to %2)")
                          .arg(fileVersion)
                          .arg(version));
    if (fileVersion < 1)
        return refuse(QStringLiteral("the event list has no valid version"));
    if (root.typeOfValue(QStringLiteral("origins")) != keyedArchiveValue::Type::List)
        return refuse(QStringLiteral("the event list holds no list of origins"));
    originList origins = root.decodeObjectList<seismicOrigin>(QStringLiteral("origins"));
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
