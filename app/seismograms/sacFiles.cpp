#include "sacFiles.h"

#include <QDir>
#include <QSet>

namespace sacFiles {

QVRResult<QStringList> writeAll(const std::vector<const SacObject*>& seismograms,
                                const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return QVRResult<QStringList>::failure(
            QStringLiteral("the folder %1 cannot be made").arg(folder));
    QStringList written;
    QSet<QString> used;
    for (const SacObject* seismogram : seismograms) {
        const QString standard = seismogram->standardFileName();
        QString name = standard;
        for (int n = 2; used.contains(name); ++n)
            name = standard.chopped(4) + QStringLiteral(".%1.SAC").arg(n);
        used.insert(name);
        const QString path = dir.filePath(name);
        QString why;
        if (!seismogram->WriteSacFile(path, &why))
            return QVRResult<QStringList>::failure(
                QStringLiteral("%1 cannot be written: %2").arg(path, why));
        written << path;
    }
    return written;
}

} // namespace sacFiles
