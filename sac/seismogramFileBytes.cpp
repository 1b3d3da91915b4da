#include "seismogramFileBytes.h"

#include <QFile>

namespace {

constexpr qint64 largestFileSize = qint64(1) << 31;

} // namespace

QVRResult<QByteArray> readSeismogramFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QVRResult<QByteArray>::failure(file.errorString());
    if (file.size() > largestFileSize)
        return QVRResult<QByteArray>::failure(QStringLiteral("the file is too large"));
    return file.readAll();
}
