#pragma once

#include "QVRResult.h"
#include "earthModel.h"
#include "qvrsac_export.h"
#include "seismicArrival.h"

#include <QStringList>

#include <memory>
#include <vector>

// Travel times of seismic phases through a spherical Earth model by the tau-p method (Buland
// and Chapman, 1983), for sources in the crust and mantle.
//
// Between the model's points the velocity is taken as a power of the radius (v = A r^B), for
// which the distance X(p) and delay time tau(p) of a ray of parameter p through a layer have
// closed forms; a phase's X and T = tau + p X are sums over the legs it takes. For a distance
// every ray parameter whose X equals it is found (each branch of a triplication), by bracketing
// over a fixed sampling of p that holds every layer boundary's slowness and then solving on the
// exact sums, so no interpolation enters a time.
//
// Phases: P, pP, sP, PcP, PP, PKiKP, PKIKP, Pdiff, S, sS, ScS, SS, SKS, Sdiff. A source below
// the surface also gives P and S as rays that leave it upward, named "p" and "s". Pdiff and
// Sdiff are the rays grazing the core-mantle boundary, continued along it at its slowness up
// to 180°. Distances beyond 180° (the second branch of PP, say) are reported at the distance
// asked for.
//
// Built once per model (a few milliseconds); arrivals() is const and may run on any thread.
class QVRSAC_EXPORT travelTimeCalculator {
public:
    static constexpr double maximumDepth = 700; // km

    explicit travelTimeCalculator(const earthModel& model);
    ~travelTimeCalculator();
    travelTimeCalculator(const travelTimeCalculator&);
    travelTimeCalculator& operator=(const travelTimeCalculator&);

    // The fourteen phases, in the order above.
    static QStringList phaseNames();
    // The phases of a comma-separated list ("P, S,PKIKP"), each name trimmed, or why not:
    // "unknown phase 'PKKP' (known: P,pP,…)", naming every unknown one (an empty name too).
    static QVRResult<QStringList> phaseList(const QString& text);

    // The arrivals of the named phases (names outside phaseNames() are ignored) from a source
    // at `depth` km to `distance` degrees, sorted by time. None for a depth outside
    // 0…maximumDepth or a distance outside 0…180.
    std::vector<seismicArrival> arrivals(double depth, double distance,
                                         const QStringList& phases = phaseNames()) const;

    const earthModel& model() const;

private:
    struct tables;
    std::shared_ptr<const tables> data;
};
