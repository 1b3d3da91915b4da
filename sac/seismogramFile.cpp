#include "seismogramFile.h"

#include "miniSeedReader.h"
#include "seismogramFileBytes.h"

using seismograms = std::vector<SacObject>;

QVRResult<seismograms> seismogramFile::fromData(const QByteArray& data, const QString& path) {
    // miniSEED is asked first: its record header is strict, while a SAC file is known only by
    // a version number deep inside, which a miniSEED record's data may happen to hold.
    if (miniSeedReader::looksLikeMiniSeed(data)) {
        QVRResult<miniSeedTraces> read = miniSeedReader::fromData(data, path);
        if (!read)
            return QVRResult<seismograms>::failureOf(read);
        return std::move(read).value().traces;
    }
    QVRResult<SacObject> sac = SacObject::fromData(data, path);
    if (!sac)
        return QVRResult<seismograms>::failureOf(sac);
    seismograms one;
    one.push_back(std::move(sac).value());
    return one;
}

QVRResult<seismograms> seismogramFile::fromFile(const QString& path) {
    QVRResult<QByteArray> bytes = readSeismogramFileBytes(path);
    if (!bytes)
        return QVRResult<seismograms>::failureOf(bytes);
    return fromData(*bytes, path);
}
