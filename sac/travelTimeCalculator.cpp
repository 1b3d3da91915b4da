#include "travelTimeCalculator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr int P = 0;
constexpr int S = 1;
constexpr double radian = 180 / std::numbers::pi; // degrees

// Largest step of the ray-parameter sampling between two boundary slownesses, s/rad. Branches
// of a triplication that are narrower than this still show, as their ends are boundary
// slownesses, which are all sampled.
constexpr double samplingStep = 2.0;
// How close a computed distance must come to the one asked for, rad. The time is taken as
// tau(p) + p * distance, which is stationary in p, so a ray that misses the distance by d
// errs in time by d² / (2 dX/dp) only: below a microsecond.
constexpr double distanceTolerance = 1e-7;

struct leg {
    double x = 0;   // rad
    double tau = 0; // s

    leg operator+(const leg& o) const { return {x + o.x, tau + o.tau}; }
    leg operator-(const leg& o) const { return {x - o.x, tau - o.tau}; }
    leg operator*(double f) const { return {x * f, tau * f}; }
};

// A shell between two model points. Within it eta = r / v = etaTop (r / rTop)^k for each wave,
// the power law of radius that makes the ray integrals elementary. The shell at the centre has
// k = 1 (a uniform sphere) so that a vertical ray crosses it in r / v.
struct shell {
    double rTop = 0, rBottom = 0; // km
    std::array<double, 2> etaTop; // s/rad, P and S (P for both in the core)
    std::array<double, 2> etaBottom;
    std::array<double, 2> k;

    double etaAt(int w, double r) const { return etaTop[w] * std::pow(r / rTop, k[w]); }
};

// At one slowness eta >= p: acos(p / eta) and the matching tau term, from which a shell's X and
// tau are differences.
struct rayTerms {
    double eta = -1, q = 0, f = 0, g = 0;

    rayTerms() = default;
    rayTerms(double p, double at)
        : eta(at) {
        q = std::sqrt(std::max(0.0, (eta - p) * (eta + p)));
        f = std::atan2(q, p);
        g = q - p * f;
    }
};

// The part of a shell between radii r1 > r2 with the terms at each (eta = p where the ray
// turns).
leg shellPart(const shell& s, int w, double p, double r1, const rayTerms& t1, double r2,
              const rayTerms& t2) {
    if (std::abs(s.k[w]) < 1e-9) {
        // eta constant: the limit of the power-law forms.
        const double lnr = std::log(r1 / r2);
        return t1.q > 0 ? leg{lnr * p / t1.q, lnr * t1.q} : leg{};
    }
    return {(t1.f - t2.f) / s.k[w], (t1.g - t2.g) / s.k[w]};
}

struct descent {
    leg sum;
    bool turned = false; // turned (or was reflected) before the bottom of the last shell
    int stop = 0;        // the shell it turned in, or the end
};

// What a phase needs computed of a ray: the mantle legs of P or S, the core's.
enum rayNeeds { needsP = 1, needsS = 2, needsCore = 4, needsAll = 7 };

// The legs every phase is made of, for one ray parameter, whatever the source.
struct commonRay {
    double p = 0;                       // s/rad
    std::array<leg, 2> mantle;          // surface down to the turning point or to the core
    std::array<bool, 2> mantleTurned{}; // false: reaches the core
    leg outer;                          // core-mantle boundary down to the turning point or ICB
    bool outerEntered = false, outerTurned = false;
    leg inner; // inner-core boundary down to the turning point
    bool innerEntered = false;
};

// The legs of the same ray parameter that depend on the source.
struct sourceRay {
    std::array<leg, 2> up;           // source up to the surface
    std::array<bool, 2> upValid{};   // a ray of this p leaves the source upward
    std::array<bool, 2> downValid{}; // … and downward
};

enum class phaseKind { P, pP, sP, PcP, PP, PKiKP, PKIKP, Pdiff, S, sS, ScS, SS, SKS, Sdiff, p, s };

struct phaseInfo {
    const char* name;
    phaseKind kind;
    int sourceWave;   // the wave leaving the source
    bool upward;      // leaves the source upward
    int receiverWave; // the wave reaching the surface
    int needs;        // rayNeeds
};

const std::array<phaseInfo, 16> phaseTable = {{
    {"P", phaseKind::P, P, false, P, needsP},
    {"pP", phaseKind::pP, P, true, P, needsP},
    {"sP", phaseKind::sP, S, true, P, needsP | needsS},
    {"PcP", phaseKind::PcP, P, false, P, needsP},
    {"PP", phaseKind::PP, P, false, P, needsP},
    {"PKiKP", phaseKind::PKiKP, P, false, P, needsP | needsCore},
    {"PKIKP", phaseKind::PKIKP, P, false, P, needsP | needsCore},
    {"Pdiff", phaseKind::Pdiff, P, false, P, needsP},
    {"S", phaseKind::S, S, false, S, needsS},
    {"sS", phaseKind::sS, S, true, S, needsS},
    {"ScS", phaseKind::ScS, S, false, S, needsS},
    {"SS", phaseKind::SS, S, false, S, needsS},
    {"SKS", phaseKind::SKS, S, false, S, needsS | needsCore},
    {"Sdiff", phaseKind::Sdiff, S, false, S, needsS},
    {"p", phaseKind::p, P, true, P, needsP},
    {"s", phaseKind::s, S, true, S, needsS},
}};
constexpr int namedPhaseCount = 14;

// X and tau of a phase at one ray parameter, when a ray of the phase has it.
std::optional<leg> phaseSum(phaseKind kind, const commonRay& r, const sourceRay& u,
                            bool belowSurface) {
    const auto through = [&](int w) { return r.mantle[w] * 2 - u.up[w]; };
    const bool turnsP = u.downValid[P] && r.mantleTurned[P];
    const bool turnsS = u.downValid[S] && r.mantleTurned[S];
    const bool coreP = u.downValid[P] && !r.mantleTurned[P];
    const bool coreS = u.downValid[S] && !r.mantleTurned[S];
    switch (kind) {
    case phaseKind::P:
        return turnsP ? std::optional(through(P)) : std::nullopt;
    case phaseKind::S:
        return turnsS ? std::optional(through(S)) : std::nullopt;
    case phaseKind::p:
        return belowSurface && u.upValid[P] ? std::optional(u.up[P]) : std::nullopt;
    case phaseKind::s:
        return belowSurface && u.upValid[S] ? std::optional(u.up[S]) : std::nullopt;
    case phaseKind::pP:
        return belowSurface && u.upValid[P] && r.mantleTurned[P]
                   ? std::optional(u.up[P] + r.mantle[P] * 2)
                   : std::nullopt;
    case phaseKind::sP:
        return belowSurface && u.upValid[S] && r.mantleTurned[P]
                   ? std::optional(u.up[S] + r.mantle[P] * 2)
                   : std::nullopt;
    case phaseKind::sS:
        return belowSurface && u.upValid[S] && r.mantleTurned[S]
                   ? std::optional(u.up[S] + r.mantle[S] * 2)
                   : std::nullopt;
    case phaseKind::PP:
        return turnsP ? std::optional(through(P) + r.mantle[P] * 2) : std::nullopt;
    case phaseKind::SS:
        return turnsS ? std::optional(through(S) + r.mantle[S] * 2) : std::nullopt;
    case phaseKind::PcP:
        return coreP ? std::optional(through(P)) : std::nullopt;
    case phaseKind::ScS:
        return coreS ? std::optional(through(S)) : std::nullopt;
    case phaseKind::PKiKP:
        return coreP && r.outerEntered && !r.outerTurned ? std::optional(through(P) + r.outer * 2)
                                                         : std::nullopt;
    case phaseKind::PKIKP:
        return coreP && r.outerEntered && !r.outerTurned && r.innerEntered
                   ? std::optional(through(P) + r.outer * 2 + r.inner * 2)
                   : std::nullopt;
    case phaseKind::SKS:
        return coreS && r.outerEntered && r.outerTurned ? std::optional(through(S) + r.outer * 2)
                                                        : std::nullopt;
    case phaseKind::Pdiff:
    case phaseKind::Sdiff:
        break; // the grazing ray alone; see diffracted()
    }
    return std::nullopt;
}

struct sourcePoint {
    double radius = 0;  // km
    int shellIndex = 0; // the shell below the source (whose top it is on, at a boundary)
    std::array<double, 2> etaBelow{}, etaAbove{};
    bool belowSurface = false;
};

} // namespace

struct travelTimeCalculator::tables {
    earthModel model;
    std::vector<shell> shells;
    int mantleEnd = 0, outerEnd = 0; // shell indices: mantle [0, mantleEnd), outer core to outerEnd
    int shallowEnd = 0;              // shells whose top may hold a source
    double radius = 0;               // km
    std::vector<double> grid;        // s/rad, increasing
    std::vector<commonRay> gridRays;
    std::vector<leg> aboveShell; // [grid][wave][shell ≤ shallowEnd]: surface to the shell's top
    std::vector<std::array<int, 2>> gridStop;

    explicit tables(const earthModel& m);

    descent descend(int w, double p, int first, int end, double rStart, double etaStart,
                    leg* tops) const;
    commonRay commonLegs(double p, leg* tops, std::array<int, 2>& stop, int needs) const;
    sourceRay sourceLegs(double p, const sourcePoint& src, const leg* topsP, const leg* topsS,
                         const std::array<int, 2>& stop) const;
    std::pair<commonRay, sourceRay> exactRay(double p, const sourcePoint& src, int needs) const;
    sourcePoint sourceAt(double depth) const;
    std::size_t aboveIndex(std::size_t j, int w) const {
        return (j * 2 + std::size_t(w)) * std::size_t(shallowEnd + 1);
    }
};

travelTimeCalculator::tables::tables(const earthModel& m)
    : model(m) {
    const auto& pts = m.points();
    radius = m.surfaceRadius();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const auto& a = pts[i];
        const auto& b = pts[i + 1];
        if (b.depth <= a.depth)
            continue;
        shell s;
        s.rTop = radius - a.depth;
        s.rBottom = radius - b.depth;
        const bool core = a.depth >= m.coreMantleBoundaryDepth();
        for (int w : {P, S}) {
            const double vTop = (w == P || core) ? a.vp : a.vs;
            const double vBottom = (w == P || core) ? b.vp : b.vs;
            s.etaTop[w] = s.rTop / vTop;
            s.etaBottom[w] = s.rBottom > 0 ? s.rBottom / vBottom : 0;
            s.k[w] = s.rBottom > 0
                         ? std::log(s.etaTop[w] / s.etaBottom[w]) / std::log(s.rTop / s.rBottom)
                         : 1.0;
        }
        shells.push_back(s);
        if (b.depth <= m.coreMantleBoundaryDepth())
            mantleEnd = int(shells.size());
        if (b.depth <= m.innerCoreBoundaryDepth())
            outerEnd = int(shells.size());
        if (a.depth <= maximumDepth)
            shallowEnd = int(shells.size());
    }

    // Every boundary's slowness, for both waves, then steps no longer than samplingStep.
    std::vector<double> critical{0.0};
    for (int i = 0; i < int(shells.size()); ++i)
        for (int w : {P, S}) {
            if (w == S && i >= mantleEnd)
                continue;
            critical.push_back(shells[i].etaTop[w]);
            critical.push_back(shells[i].etaBottom[w]);
        }
    std::sort(critical.begin(), critical.end());
    critical.erase(std::unique(critical.begin(), critical.end()), critical.end());
    for (std::size_t i = 0; i < critical.size(); ++i) {
        grid.push_back(critical[i]);
        if (i + 1 == critical.size())
            break;
        const double gap = critical[i + 1] - critical[i];
        const int steps = std::max(2, int(std::ceil(gap / samplingStep)));
        for (int n = 1; n < steps; ++n)
            grid.push_back(critical[i] + gap * n / steps);
    }

    gridRays.resize(grid.size());
    gridStop.resize(grid.size());
    aboveShell.resize(grid.size() * 2 * std::size_t(shallowEnd + 1));
    for (std::size_t j = 0; j < grid.size(); ++j)
        gridRays[j] = commonLegs(grid[j], &aboveShell[aboveIndex(j, P)], gridStop[j], needsAll);
}

// Follows a ray of parameter p down from rStart (in shell `first`) until it turns or leaves
// the bottom of shell end - 1. `tops`, when given, receives the sum at the top of each shallow
// shell reached (those a source may lie in).
descent travelTimeCalculator::tables::descend(int w, double p, int first, int end, double rStart,
                                              double etaStart, leg* tops) const {
    descent d;
    rayTerms above; // at the bottom of the shell above, the top of this one where continuous
    for (int i = first; i < end; ++i) {
        if (tops && i <= shallowEnd)
            tops[i] = d.sum;
        const shell& s = shells[std::size_t(i)];
        const double r1 = i == first ? rStart : s.rTop;
        const double eta1 = i == first ? etaStart : s.etaTop[w];
        if (p >= eta1 && eta1 > 0) {
            d.turned = true;
            d.stop = i;
            return d;
        }
        const rayTerms top = above.eta == eta1 ? above : rayTerms(p, eta1);
        if (p > s.etaBottom[w]) {
            d.sum = d.sum + shellPart(s, w, p, r1, top, s.rBottom, rayTerms(p, p));
            d.turned = true;
            d.stop = i;
            return d;
        }
        above = rayTerms(p, s.etaBottom[w]);
        d.sum = d.sum + shellPart(s, w, p, r1, top, s.rBottom, above);
    }
    d.stop = end;
    return d;
}

commonRay travelTimeCalculator::tables::commonLegs(double p, leg* tops, std::array<int, 2>& stop,
                                                   int needs) const {
    commonRay r;
    r.p = p;
    for (int w : {P, S}) {
        stop[w] = -1; // no ray: not asked for
        if (!(needs & (w == P ? needsP : needsS)))
            continue;
        const descent d = descend(w, p, 0, mantleEnd, radius, shells[0].etaTop[w],
                                  tops ? tops + w * (shallowEnd + 1) : nullptr);
        r.mantle[w] = d.sum;
        r.mantleTurned[w] = d.turned;
        stop[w] = d.stop;
    }
    const shell& cmb = shells[std::size_t(mantleEnd)];
    r.outerEntered = (needs & needsCore) && p < cmb.etaTop[P];
    if (r.outerEntered) {
        const descent k = descend(P, p, mantleEnd, outerEnd, cmb.rTop, cmb.etaTop[P], nullptr);
        r.outer = k.sum;
        r.outerTurned = k.turned;
        const shell& icb = shells[std::size_t(outerEnd)];
        r.innerEntered = !k.turned && p < icb.etaTop[P];
        if (r.innerEntered)
            r.inner =
                descend(P, p, outerEnd, int(shells.size()), icb.rTop, icb.etaTop[P], nullptr).sum;
    }
    return r;
}

sourcePoint travelTimeCalculator::tables::sourceAt(double depth) const {
    sourcePoint src;
    src.radius = radius - depth;
    src.belowSurface = depth > 0;
    int i = 0;
    while (i + 1 < shallowEnd && shells[std::size_t(i)].rBottom >= src.radius)
        ++i;
    src.shellIndex = i;
    const shell& s = shells[std::size_t(i)];
    for (int w : {P, S}) {
        src.etaBelow[w] = s.etaAt(w, src.radius);
        src.etaAbove[w] = (src.radius == s.rTop && i > 0) ? shells[std::size_t(i - 1)].etaBottom[w]
                                                          : src.etaBelow[w];
    }
    return src;
}

sourceRay travelTimeCalculator::tables::sourceLegs(double p, const sourcePoint& src,
                                                   const leg* topsP, const leg* topsS,
                                                   const std::array<int, 2>& stop) const {
    sourceRay r;
    const int m = src.shellIndex;
    const shell& s = shells[std::size_t(m)];
    const bool onTop = src.radius == s.rTop;
    for (int w : {P, S}) {
        const leg* tops = w == P ? topsP : topsS;
        r.upValid[w] = stop[w] >= m && p <= src.etaAbove[w] && (onTop || p < s.etaTop[w]);
        r.downValid[w] = r.upValid[w] && p <= src.etaBelow[w];
        if (!r.upValid[w])
            continue;
        r.up[w] = tops[m];
        if (!onTop)
            r.up[w] = r.up[w] + shellPart(s, w, p, s.rTop, rayTerms(p, s.etaTop[w]), src.radius,
                                          rayTerms(p, src.etaBelow[w]));
    }
    return r;
}

std::pair<commonRay, sourceRay>
travelTimeCalculator::tables::exactRay(double p, const sourcePoint& src, int needs) const {
    constexpr int onStack = 64;
    std::array<leg, 2 * onStack> local;
    std::vector<leg> large;
    leg* tops = local.data();
    if (shallowEnd >= onStack) {
        large.resize(2 * std::size_t(shallowEnd + 1));
        tops = large.data();
    }
    std::array<int, 2> stop{};
    const commonRay r = commonLegs(p, tops, stop, needs);
    return {r, sourceLegs(p, src, tops, tops + shallowEnd + 1, stop)};
}

travelTimeCalculator::travelTimeCalculator(const earthModel& model)
    : data(std::make_shared<const tables>(model)) {}
travelTimeCalculator::~travelTimeCalculator() = default;
travelTimeCalculator::travelTimeCalculator(const travelTimeCalculator&) = default;
travelTimeCalculator& travelTimeCalculator::operator=(const travelTimeCalculator&) = default;

const earthModel& travelTimeCalculator::model() const {
    return data->model;
}

QStringList travelTimeCalculator::phaseNames() {
    QStringList names;
    for (int i = 0; i < namedPhaseCount; ++i)
        names << QString::fromLatin1(phaseTable[std::size_t(i)].name);
    return names;
}

namespace {

// An arrival from a ray of the phase, with its angles from the slownesses at its ends.
seismicArrival arrivalOf(const phaseInfo& info, double p, double time, double distance, double path,
                         const sourcePoint& src, double surfaceEta[2]) {
    seismicArrival a;
    a.phase = QString::fromLatin1(info.name);
    a.time = time;
    a.rayParameter = p / radian;
    const double etaSource =
        info.upward ? src.etaAbove[info.sourceWave] : src.etaBelow[info.sourceWave];
    const double takeoff = std::asin(std::min(1.0, p / etaSource)) * radian;
    a.takeoffAngle = info.upward ? 180 - takeoff : takeoff;
    a.incidenceAngle = std::asin(std::min(1.0, p / surfaceEta[info.receiverWave])) * radian;
    a.distance = distance;
    a.pathDistance = path * radian;
    return a;
}

} // namespace

std::vector<seismicArrival> travelTimeCalculator::arrivals(double depth, double distance,
                                                           const QStringList& phases) const {
    std::vector<seismicArrival> found;
    if (!(depth >= 0 && depth <= maximumDepth && distance >= 0 && distance <= 180))
        return found;
    const tables& t = *data;
    const sourcePoint src = t.sourceAt(depth);
    double surfaceEta[2] = {t.shells[0].etaTop[P], t.shells[0].etaTop[S]};

    std::vector<const phaseInfo*> wanted;
    for (const phaseInfo& info : phaseTable) {
        const bool upgoing = info.kind == phaseKind::p || info.kind == phaseKind::s;
        const QString name =
            QString::fromLatin1(upgoing ? (info.kind == phaseKind::p ? "P" : "S") : info.name);
        if (phases.contains(name))
            wanted.push_back(&info);
    }
    if (wanted.empty())
        return found;

    // The rays leaving the source: the sampling up to the slowest one at the source, with the
    // source's own slownesses where the direct and upgoing branches meet.
    const std::array<double, 4> sourceSlownesses = {src.etaAbove[P], src.etaBelow[P],
                                                    src.etaAbove[S], src.etaBelow[S]};
    const double pMax = *std::max_element(sourceSlownesses.begin(), sourceSlownesses.end());
    struct sample {
        const commonRay* common;
        sourceRay source;
    };
    std::array<commonRay, 4> atSource;
    std::vector<sample> rays;
    rays.reserve(t.grid.size() + atSource.size());
    for (std::size_t j = 0; j < t.grid.size() && t.grid[j] <= pMax; ++j)
        rays.push_back(
            {&t.gridRays[j], t.sourceLegs(t.grid[j], src, &t.aboveShell[t.aboveIndex(j, P)],
                                          &t.aboveShell[t.aboveIndex(j, S)], t.gridStop[j])});
    for (std::size_t i = 0; i < sourceSlownesses.size(); ++i) {
        const double p = sourceSlownesses[i];
        const auto at = std::lower_bound(rays.begin(), rays.end(), p,
                                         [](const sample& r, double v) { return r.common->p < v; });
        if (at != rays.end() && at->common->p == p)
            continue;
        auto [common, source] = t.exactRay(p, src, needsAll);
        atSource[i] = common;
        rays.insert(at, {&atSource[i], source});
    }

    const double delta = distance / radian;
    std::vector<double> targets{delta};
    if (distance > 0 && distance < 180)
        targets.push_back(2 * std::numbers::pi - delta);

    std::vector<std::optional<leg>> sums(rays.size());
    for (const phaseInfo* info : wanted) {
        if (info->kind == phaseKind::Pdiff || info->kind == phaseKind::Sdiff) {
            const int w = info->sourceWave;
            const double p = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[w];
            const auto [common, source] = t.exactRay(p, src, info->needs);
            const auto grazing = phaseSum(w == P ? phaseKind::PcP : phaseKind::ScS, common, source,
                                          src.belowSurface);
            if (grazing && delta >= grazing->x)
                found.push_back(arrivalOf(*info, p, grazing->tau + p * delta, distance, delta, src,
                                          surfaceEta));
            continue;
        }
        // No ray of the phase is slower than the slowness where its legs begin or end.
        const double cmbP = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[P];
        const double cmbS = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[S];
        double slowest = pMax;
        switch (info->kind) {
        case phaseKind::PcP:
        case phaseKind::PKiKP:
        case phaseKind::PKIKP:
            slowest = cmbP;
            break;
        case phaseKind::ScS:
        case phaseKind::SKS:
            slowest = cmbS;
            break;
        case phaseKind::P:
        case phaseKind::p:
        case phaseKind::pP:
        case phaseKind::PP:
            slowest = std::max(src.etaAbove[P], src.etaBelow[P]);
            break;
        default:
            break;
        }
        const std::size_t end =
            std::upper_bound(rays.begin(), rays.end(), slowest,
                             [](double v, const sample& r) { return v < r.common->p; }) -
            rays.begin();
        for (std::size_t j = 0; j < end; ++j)
            sums[j] = phaseSum(info->kind, *rays[j].common, rays[j].source, src.belowSurface);
        const auto exactSum = [&](double p) {
            const auto [common, source] = t.exactRay(p, src, info->needs);
            return phaseSum(info->kind, common, source, src.belowSurface);
        };
        for (double target : targets) {
            const auto add = [&](double p, const leg& l) {
                found.push_back(
                    arrivalOf(*info, p, l.tau + p * target, distance, target, src, surfaceEta));
            };
            for (std::size_t j = 0; j < end; ++j) {
                if (!sums[j])
                    continue;
                const double fj = sums[j]->x - target;
                if (std::abs(fj) <= distanceTolerance) {
                    add(rays[j].common->p, *sums[j]);
                    continue;
                }
                if (j + 1 == end || !sums[j + 1])
                    continue;
                const double fk = sums[j + 1]->x - target;
                if (std::abs(fk) <= distanceTolerance || (fj < 0) == (fk < 0))
                    continue;
                // Illinois false position on the exact sums.
                double a = rays[j].common->p, fa = fj, b = rays[j + 1].common->p, fb = fk;
                std::optional<leg> best;
                double bestP = 0, bestF = 0;
                for (int iteration = 0; iteration < 100; ++iteration) {
                    double c = b - fb * (b - a) / (fb - fa);
                    if (!(c > std::min(a, b) && c < std::max(a, b)))
                        c = (a + b) / 2;
                    const auto sc = exactSum(c);
                    if (!sc)
                        break;
                    const double fc = sc->x - target;
                    best = sc;
                    bestP = c;
                    bestF = fc;
                    if (std::abs(fc) <= distanceTolerance || std::abs(b - a) < 1e-12 * b)
                        break;
                    if ((fc < 0) != (fb < 0)) {
                        a = b;
                        fa = fb;
                    } else {
                        fa /= 2;
                    }
                    b = c;
                    fb = fc;
                }
                // A sign change across a jump of X (the edge of a low-velocity zone's shadow)
                // is no ray.
                if (best && std::abs(bestF) < 1e-6)
                    add(bestP, *best);
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const seismicArrival& x, const seismicArrival& y) { return x.time < y.time; });
    return found;
}
