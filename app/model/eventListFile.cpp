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

std::nullopt_t refuse(QString* error, const QString& why) {
    if (error)
        *error = why;
    return std::nullopt;
}
} // namespace

QByteArray eventListFile::archivedData(const originList& origins) {
    keyedArchiver root;
    root.encodeObject(kind, QStringLiteral("kind"));
    root.encodeInt(version, QStringLiteral("version"));
    root.encodeObjectList(origins, QStringLiteral("origins"));
    return root.archivedObject().archivedData();
}

std::optional<originList> eventListFile::originsFromData(const QByteArray& data, QString* error) {
    QString why;
    const auto archive = keyedArchiveValue::fromArchivedData(data, &why);
    if (!archive)
        return refuse(error, why);
    const keyedUnarchiver root(*archive);
    if (root.decodeText(QStringLiteral("kind")) != kind)
        return refuse(error, QStringLiteral("the archive does not hold an event list"));
    const int fileVersion = root.decodeInt(QStringLiteral("version"));
    if (fileVersion > version)
        return refuse(error, QStringLiteral("the event list was written by a newer version of "
                                            "Quorvel (list version %1, this version reads up "
                                            "to %2)")
                                 .arg(fileVersion)
                                 .arg(version));
    if (fileVersion < 1)
        return refuse(error, QStringLiteral("the event list has no valid version"));
    if (root.typeOfValue(QStringLiteral("origins")) != keyedArchiveValue::Type::List)
        return refuse(error, QStringLiteral("the event list holds no list of origins"));
    originList origins = root.decodeObjectList<seismicOrigin>(QStringLiteral("origins"));
    if (root.failed())
        return refuse(error, QStringLiteral("a record is damaged: %1").arg(root.errorString()));
    return origins;
}

bool eventListFile::write(const originList& origins, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(archivedData(origins));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<originList> eventListFile::read(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, file.errorString());
    if (file.size() > largestFileSize)
        return refuse(error, QStringLiteral("the file is too large to be an event list"));
    return originsFromData(file.readAll(), error);
}
