#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "ThreeComponentObservation.h"

#include <QList>

#include <memory>

// One station's vertical, radial and transverse seismograms, made from its files: the Z
// component as the vertical; R and T files as they are; otherwise the two horizontals (N and
// E, or 1 and 2 at the azimuths their headers give in cmpaz) rotated by the back-azimuth in
// the header, radial positive away from the source.
class threeComponents : public ThreeComponentObservation {
public:
    // The observation of `seismograms`, which should be one station's; a failure when they hold
    // no component at all, or horizontals that cannot be rotated (no back-azimuth, no azimuth,
    // or only one of the two).
    static QVRResult<std::shared_ptr<threeComponents>>
    fromSeismograms(const QList<std::shared_ptr<SacObject>>& seismograms);

    const SacObject* vertical() const override { return vertical_.get(); }
    const SacObject* radial() const override { return radial_.get(); }
    const SacObject* transverse() const override { return transverse_.get(); }

private:
    std::shared_ptr<SacObject> vertical_, radial_, transverse_;
};
