#pragma once

#include "QVRRealTimeDisplayView02.h"
#include "qvr_graphics_export.h"

// The older real-time display: the same picture, with the reference date and the first time
// written in the reference date's own time zone, the local time on a 12-hour clock.
class QVR_GRAPHICS_EXPORT realTimeDisplayView01 : public QVRRealTimeDisplayView02 {
    Q_OBJECT
public:
    explicit realTimeDisplayView01(QWidget* parent = nullptr);

protected:
    referenceTexts referenceDateTexts(const QDateTime& date) const override;
};
