#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "qvrsac_export.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A seismogram file of either format Quorvel reads, told apart by its content, never its name:
// miniSEED gives one seismogram per trace (none for a file of log records), binary SAC one.
// Bytes that are neither are refused with the SAC reader's reason.
class QVRSAC_EXPORT seismogramFile {
public:
    static QVRResult<std::vector<SacObject>> fromData(const QByteArray& data,
                                                      const QString& path = QString());
    static QVRResult<std::vector<SacObject>> fromFile(const QString& path);
};
