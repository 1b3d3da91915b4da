#pragma once

#include "QVRMarkedEarthquake.h"
#include "seismicOrigin.h"

#include <memory>

// An origin record as an earthquake a seismogram view marks: its preferred magnitude and its
// origin time, read from the record each time, so that a revised record shows as revised.
class markedOrigin : public QVRMarkedEarthquake {
public:
    explicit markedOrigin(std::shared_ptr<const seismicOrigin> origin)
        : origin_(std::move(origin)) {}

    float magnitude() const override { return origin_->magnitude(); }
    QDateTime originTime() const override { return origin_->originDateTime(); }

private:
    std::shared_ptr<const seismicOrigin> origin_;
};
