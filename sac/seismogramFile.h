#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "qvrsac_export.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A seismogram file of either format Quorvel reads, told apart by its content, never its name:
// miniSEED gives one seismogram per trace, binary SAC one.
class QVRSAC_EXPORT seismogramFile {
public:
    static QVRResult<std::vector<SacObject>> fromData(const QByteArray& data,
                                                      const QString& path = QString());
    static QVRResult<std::vector<SacObject>> fromFile(const QString& path);
};
