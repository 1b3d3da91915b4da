#pragma once

#include "QVRResult.h"

#include <QByteArray>
#include <QString>

// The bytes of a seismogram file, or why they cannot be had: the file cannot be opened, or it
// is far larger than any seismogram, which is not read into memory.
QVRResult<QByteArray> readSeismogramFileBytes(const QString& path);
