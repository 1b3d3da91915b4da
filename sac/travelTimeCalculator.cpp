#include "travelTimeCalculator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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
    double dx = 0;  // dx/dp, rad per s/rad: steers the search for the ray of a distance

    leg operator+(const leg& o) const { return {x + o.x, tau + o.tau, dx + o.dx}; }
    leg operator-(const leg& o) const { return {x - o.x, tau - o.tau, dx - o.dx}; }
    leg operator*(double f) const { return {x * f, tau * f, dx * f}; }
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
// tau are differences, and 1 / q, the rate at which acos(p / eta) falls with p: infinite where
// a ray grazes a boundary of that slowness. At a ray's turning point (eta = p wherever the ray
// turns) the terms stay 0 as p changes, so the rate there is 0.
struct rayTerms {
    double eta = -1, q = 0, f = 0, g = 0, rate = 0;

    rayTerms() = default;
    rayTerms(double p, double at)
        : eta(at) {
        q = std::sqrt(std::max(0.0, (eta - p) * (eta + p)));
        f = std::atan2(q, p);
        g = q - p * f;
        rate = q > 0 ? 1 / q : std::numeric_limits<double>::infinity();
    }
    static rayTerms turningPoint(double p) {
        rayTerms t;
        t.eta = p;
        return t;
    }
};

// The part of a shell between radii r1 > r2 with the terms at each (eta = p where the ray
// turns).
leg shellPart(const shell& s, int w, double p, double r1, const rayTerms& t1, double r2,
              const rayTerms& t2) {
    if (std::abs(s.k[w]) < 1e-9) {
        // eta constant: the limit of the power-law forms.
        const double lnr = std::log(r1 / r2);
        return t1.q > 0
                   ? leg{lnr * p / t1.q, lnr * t1.q, lnr * t1.eta * t1.eta * std::pow(t1.rate, 3)}
                   : leg{};
    }
    return {(t1.f - t2.f) / s.k[w], (t1.g - t2.g) / s.k[w], (t2.rate - t1.rate) / s.k[w]};
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

// The part of a phase's X and tau at one ray parameter that does not depend on the source, when
// a ray of the phase may have that parameter.
std::optional<leg> commonPart(phaseKind kind, const commonRay& r) {
    const auto when = [](bool has, const leg& l) { return has ? std::optional(l) : std::nullopt; };
    const bool coreP = !r.mantleTurned[P];
    const bool coreS = !r.mantleTurned[S];
    switch (kind) {
    case phaseKind::P:
    case phaseKind::pP:
    case phaseKind::sP:
        return when(r.mantleTurned[P], r.mantle[P] * 2);
    case phaseKind::S:
    case phaseKind::sS:
        return when(r.mantleTurned[S], r.mantle[S] * 2);
    case phaseKind::PP:
        return when(r.mantleTurned[P], r.mantle[P] * 4);
    case phaseKind::SS:
        return when(r.mantleTurned[S], r.mantle[S] * 4);
    case phaseKind::PcP:
        return when(coreP, r.mantle[P] * 2);
    case phaseKind::ScS:
        return when(coreS, r.mantle[S] * 2);
    case phaseKind::PKiKP:
        return when(coreP && r.outerEntered && !r.outerTurned, (r.mantle[P] + r.outer) * 2);
    case phaseKind::PKIKP:
        return when(coreP && r.outerEntered && !r.outerTurned && r.innerEntered,
                    (r.mantle[P] + r.outer + r.inner) * 2);
    case phaseKind::SKS:
        return when(coreS && r.outerEntered && r.outerTurned, (r.mantle[S] + r.outer) * 2);
    case phaseKind::p:
    case phaseKind::s:
        return leg{};
    case phaseKind::Pdiff:
    case phaseKind::Sdiff:
        break; // the grazing ray alone; see arrivals()
    }
    return std::nullopt;
}

// X and tau of a phase at one ray parameter, when a ray of the phase has it: a ray leaving the
// source upward adds the path from the source to the surface; one leaving it downward travels
// the whole path down but for that part.
std::optional<leg> phaseSum(const phaseInfo& info, const commonRay& r, const sourceRay& u,
                            bool belowSurface) {
    const std::optional<leg> common = commonPart(info.kind, r);
    const int w = info.sourceWave;
    if (!common)
        return std::nullopt;
    if (info.upward)
        return belowSurface && u.upValid[w] ? std::optional(*common + u.up[w]) : std::nullopt;
    return u.downValid[w] ? std::optional(*common - u.up[w]) : std::nullopt;
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

    // Bounds that tell, without the source's own legs, where a phase's X cannot meet a distance:
    // over each block of sampled rays (blockSize of them and the first of the next block), the
    // least and greatest X of the phase's part that does not depend on the source, and for a
    // source in each shallow shell, of the path from the surface to it, which lies between the
    // path to the shell's top and that to its bottom (or to the ray's turning point in it).
    static constexpr std::size_t blockSize = 16;
    struct range {
        double low = std::numeric_limits<double>::infinity();
        double high = -std::numeric_limits<double>::infinity();
        void take(double v) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
        bool empty() const { return low > high; }
    };
    std::size_t blocks = 0;
    std::vector<double> commonX;    // [phase][grid]: NaN where no ray of the phase has the p
    std::vector<range> commonRange; // [phase][block]
    std::vector<range> upRange;     // [wave][shell < shallowEnd][block]

    explicit tables(const earthModel& m);
    struct search; // one call's

    // The path from the surface to a source in shell m at sampled ray j: its X lies in the
    // returned range when the ray reaches the source.
    range upBounds(std::size_t j, int w, int m) const {
        const leg* tops = &aboveShell[aboveIndex(j, w)];
        const leg& bottom = gridStop[j][w] == m ? gridRays[j].mantle[w] : tops[m + 1];
        return {tops[m].x, bottom.x};
    }
    std::size_t upRangeIndex(int w, int m, std::size_t b) const {
        return (std::size_t(w) * std::size_t(shallowEnd) + std::size_t(m)) * blocks + b;
    }

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

    const std::size_t n = grid.size();
    blocks = (n + blockSize - 1) / blockSize;
    commonX.resize(phaseTable.size() * n);
    commonRange.resize(phaseTable.size() * blocks);
    for (std::size_t k = 0; k < phaseTable.size(); ++k) {
        for (std::size_t j = 0; j < n; ++j) {
            const auto common = commonPart(phaseTable[k].kind, gridRays[j]);
            commonX[k * n + j] = common ? common->x : std::numeric_limits<double>::quiet_NaN();
        }
        for (std::size_t b = 0; b < blocks; ++b)
            for (std::size_t j = b * blockSize; j <= std::min(n - 1, (b + 1) * blockSize); ++j)
                if (!std::isnan(commonX[k * n + j]))
                    commonRange[k * blocks + b].take(commonX[k * n + j]);
    }
    upRange.resize(2 * std::size_t(shallowEnd) * blocks);
    for (int w : {P, S})
        for (int m = 0; m < shallowEnd; ++m)
            for (std::size_t b = 0; b < blocks; ++b)
                for (std::size_t j = b * blockSize; j <= std::min(n - 1, (b + 1) * blockSize);
                     ++j) {
                    if (gridStop[j][w] < m)
                        continue;
                    const range up = upBounds(j, w, m);
                    range& r = upRange[upRangeIndex(w, m, b)];
                    r.take(up.low);
                    r.take(up.high);
                }
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
            d.sum = d.sum + shellPart(s, w, p, r1, top, s.rBottom, rayTerms::turningPoint(p));
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

QVRResult<QStringList> travelTimeCalculator::phaseList(const QString& text) {
    const QStringList known = phaseNames();
    QStringList phases, unknown;
    for (const QString& word : text.split(QLatin1Char(','))) {
        const QString name = word.trimmed();
        if (known.contains(name))
            phases << name;
        else
            unknown << QStringLiteral("'%1'").arg(name);
    }
    if (unknown.isEmpty())
        return phases;
    return QVRResult<QStringList>::failure(
        QStringLiteral("unknown %1 %2 (known: %3)")
            .arg(unknown.size() == 1 ? QStringLiteral("phase") : QStringLiteral("phases"),
                 unknown.join(QStringLiteral(", ")), known.join(QLatin1Char(','))));
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

// One call's search for the rays of its source and distance. The source's own legs are computed
// at a sampled ray only where the tables' bounds leave open on which side of the distance the
// phase's X lies there; the rays at the source's own slownesses, where the branches that leave
// it up and down meet, are computed when a phase's search reaches them.
struct travelTimeCalculator::tables::search {
    const tables& t;
    const sourcePoint& src;
    std::vector<int> made; // per sampled ray: its index in `legs`, or -1
    std::vector<sourceRay> legs;
    struct extraRay {
        double p = 0;
        int needs = 0; // made for
        commonRay common;
        sourceRay source;
    };
    std::vector<extraRay> extras; // increasing p, none at a sampled p

    search(const tables& tables, const sourcePoint& source, double pMax)
        : t(tables)
        , src(source) {
        const std::size_t end =
            std::upper_bound(t.grid.begin(), t.grid.end(), pMax) - t.grid.begin();
        made.assign(end, -1);
        for (double p : {src.etaAbove[P], src.etaBelow[P], src.etaAbove[S], src.etaBelow[S]}) {
            const bool sampled = std::binary_search(t.grid.begin(), t.grid.end(), p);
            const bool known = std::any_of(extras.begin(), extras.end(),
                                           [&](const extraRay& e) { return e.p == p; });
            if (!sampled && !known)
                extras.push_back(extraRay{p, 0, {}, {}});
        }
        std::sort(extras.begin(), extras.end(),
                  [](const extraRay& a, const extraRay& b) { return a.p < b.p; });
    }

    const sourceRay& sourceAt(std::size_t j) {
        if (made[j] < 0) {
            made[j] = int(legs.size());
            legs.push_back(t.sourceLegs(t.grid[j], src, &t.aboveShell[t.aboveIndex(j, P)],
                                        &t.aboveShell[t.aboveIndex(j, S)], t.gridStop[j]));
        }
        return legs[std::size_t(made[j])];
    }
    std::optional<leg> exactAt(const phaseInfo& info, std::size_t j) {
        return phaseSum(info, t.gridRays[j], sourceAt(j), src.belowSurface);
    }
    std::optional<leg> exactAtExtra(const phaseInfo& info, extraRay& e) {
        if (info.needs & ~e.needs) {
            e.needs |= info.needs;
            std::tie(e.common, e.source) = t.exactRay(e.p, src, e.needs);
        }
        return phaseSum(info, e.common, e.source, src.belowSurface);
    }
    // Whether the source's legs at sampled ray j let a ray of the phase leave it, as
    // sourceLegs() would say, from the slownesses alone.
    bool leaves(const phaseInfo& info, std::size_t j) const {
        const int w = info.sourceWave;
        const int m = src.shellIndex;
        const double p = t.grid[j];
        const bool onTop = src.radius == t.shells[std::size_t(m)].rTop;
        const bool up = t.gridStop[j][w] >= m && p <= src.etaAbove[w] &&
                        (onTop || p < t.shells[std::size_t(m)].etaTop[w]);
        return info.upward ? src.belowSurface && up : up && p <= src.etaBelow[w];
    }

    // The rays of a phase whose X is `target`, among the rays up to `slowest`.
    template <typename Found>
    void solve(const phaseInfo& info, std::size_t k, double slowest, double target, Found&& add);
    std::optional<std::pair<double, leg>> refine(const phaseInfo& info, double a, leg la, double b,
                                                 leg lb, double target);
};

namespace {

// How much the exact X of a sampled ray may differ from its bounds by rounding alone, rad.
constexpr double boundSlack = 1e-9;

// What is known of a phase's X at a sampled ray with respect to the distance sought.
struct sampleValue {
    enum { none, above, below, exact } what = none;
    double p = 0;
    leg sum;      // when exact
    double f = 0; // X - target when exact
};

} // namespace

template <typename Found>
void travelTimeCalculator::tables::search::solve(const phaseInfo& info, std::size_t k,
                                                 double slowest, double target, Found&& add) {
    const std::size_t n = t.grid.size();
    const std::size_t count =
        std::upper_bound(t.grid.begin(), t.grid.begin() + std::ptrdiff_t(made.size()), slowest) -
        t.grid.begin();
    if (count == 0)
        return;
    const int w = info.sourceWave;
    const int m = src.shellIndex;
    const double sign = info.upward ? 1 : -1;
    const double reach = distanceTolerance + boundSlack;
    std::size_t extraEnd = 0;
    while (extraEnd < extras.size() && extras[extraEnd].p <= slowest)
        ++extraEnd;

    // A sample is a sampled ray (extra < 0) or one at the source's slownesses.
    struct sample {
        std::size_t grid;
        int extra;
    };
    const auto valueOf = [&](sample at, bool needExact) {
        sampleValue v;
        std::optional<leg> sum;
        if (at.extra >= 0) {
            extraRay& e = extras[std::size_t(at.extra)];
            v.p = e.p;
            sum = exactAtExtra(info, e);
        } else {
            const std::size_t j = at.grid;
            v.p = t.grid[j];
            const double common = t.commonX[k * n + j];
            if (std::isnan(common) || !leaves(info, j))
                return v;
            if (!needExact) {
                const range up = t.upBounds(j, w, m);
                const double low = common + (sign > 0 ? up.low : -up.high) - target;
                const double high = common + (sign > 0 ? up.high : -up.low) - target;
                if (low > reach) {
                    v.what = sampleValue::above;
                    return v;
                }
                if (high < -reach) {
                    v.what = sampleValue::below;
                    return v;
                }
            }
            sum = exactAt(info, j);
        }
        if (sum) {
            v.what = sampleValue::exact;
            v.sum = *sum;
            v.f = sum->x - target;
        }
        return v;
    };
    const auto negative = [](const sampleValue& v) {
        return v.what == sampleValue::below || (v.what == sampleValue::exact && v.f < 0);
    };

    std::size_t nextExtra = 0;
    for (std::size_t b = 0; b * blockSize < count; ++b) {
        const std::size_t first = b * blockSize;
        const std::size_t last =
            std::min(first + blockSize, count); // grid samples of block: [first, last)
        // Rays at the source's slownesses in this block: after grid sample last - 1 belong to it.
        const double blockEndP =
            last < count ? t.grid[last] : std::numeric_limits<double>::infinity();
        std::size_t extraFirst = nextExtra;
        while (nextExtra < extraEnd && extras[nextExtra].p < blockEndP)
            ++nextExtra;
        // The block's bounds, widened to the exact X of the rays at the source's slownesses in it.
        const range& common = t.commonRange[k * t.blocks + b];
        const range& up = t.upRange[t.upRangeIndex(w, m, b)];
        range bounds;
        if (!common.empty() && !up.empty()) {
            bounds.take(common.low + (sign > 0 ? up.low : -up.high));
            bounds.take(common.high + (sign > 0 ? up.high : -up.low));
        }
        for (std::size_t e = extraFirst; e < nextExtra; ++e)
            if (const auto sum = exactAtExtra(info, extras[e]))
                bounds.take(sum->x);
        if (bounds.empty() || target < bounds.low - reach || target > bounds.high + reach)
            continue;
        // The samples of the block in order, and the one after it.
        std::array<sample, blockSize + 6> order;
        std::size_t size = 0;
        std::size_t e = extraFirst;
        for (std::size_t j = first; j < last; ++j) {
            order[size++] = {j, -1};
            while (e < nextExtra && (j + 1 >= count || extras[e].p < t.grid[j + 1]))
                order[size++] = {0, int(e++)};
        }
        const bool hasNext = last < count || nextExtra < extraEnd;
        if (last < count)
            order[size++] = {last, -1};
        else if (nextExtra < extraEnd)
            order[size++] = {0, int(nextExtra)};
        const std::size_t samples = size - (hasNext ? 1 : 0);

        sampleValue next = valueOf(order[0], false);
        for (std::size_t i = 0; i < samples; ++i) {
            sampleValue here = next;
            if (i + 1 < size)
                next = valueOf(order[i + 1], false);
            if (here.what == sampleValue::none)
                continue;
            if (here.what == sampleValue::exact && std::abs(here.f) <= distanceTolerance) {
                add(here.p, here.sum);
                continue;
            }
            if (i + 1 >= size || next.what == sampleValue::none)
                continue;
            if (next.what == sampleValue::exact && std::abs(next.f) <= distanceTolerance)
                continue;
            if (negative(here) == negative(next))
                continue;
            if (here.what != sampleValue::exact)
                here = valueOf(order[i], true);
            if (next.what != sampleValue::exact)
                next = valueOf(order[i + 1], true);
            if (here.what != sampleValue::exact || next.what != sampleValue::exact)
                continue;
            if (const auto ray = refine(info, here.p, here.sum, next.p, next.sum, target))
                add(ray->first, ray->second);
        }
    }
}

// The ray between a and b whose X is the target, where X - target changes sign from a to b.
// Each step solves the cubic through the bracket's ends with their slopes, taking p as a function
// of X: near a branch's end, where X has a square root's infinite slope, p is then smooth, and
// on the exact sums a step or two come within the tolerance. Where that cubic leaves the
// bracket (X not monotonic across it), false position; two steps that did not halve the bracket
// are followed by a halving.
std::optional<std::pair<double, leg>>
travelTimeCalculator::tables::search::refine(const phaseInfo& info, double a, leg la, double b,
                                             leg lb, double target) {
    struct end {
        double p, f, slope; // f = X - target, slope = dX/dp
    };
    end lo{a, la.x - target, la.dx}, hi{b, lb.x - target, lb.dx};
    const auto inside = [&](double c) {
        return c > std::min(lo.p, hi.p) && c < std::max(lo.p, hi.p);
    };
    double widths[2] = {std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::infinity()}; // before the last two steps
    const auto nextGuess = [&] {
        const double width = std::abs(hi.p - lo.p);
        const bool slow = width > widths[0] / 2;
        widths[0] = widths[1];
        widths[1] = width;
        if (slow)
            return (lo.p + hi.p) / 2;
        const double span = hi.f - lo.f;
        const auto inverse = [span](double slope) { return std::isinf(slope) ? 0 : span / slope; };
        const double s0 = inverse(lo.slope), s1 = inverse(hi.slope);
        if (std::isfinite(s0) && std::isfinite(s1) && lo.slope != 0 && hi.slope != 0) {
            const double u = -lo.f / span, u2 = u * u, u3 = u2 * u;
            const double c = (2 * u3 - 3 * u2 + 1) * lo.p + (u3 - 2 * u2 + u) * s0 +
                             (-2 * u3 + 3 * u2) * hi.p + (u3 - u2) * s1;
            if (inside(c))
                return c;
        }
        const double c = lo.p - lo.f * (hi.p - lo.p) / span;
        return inside(c) ? c : (lo.p + hi.p) / 2;
    };
    std::optional<leg> best;
    double bestP = 0;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const double c = nextGuess();
        const auto [common, source] = t.exactRay(c, src, info.needs);
        const auto sc = phaseSum(info, common, source, src.belowSurface);
        if (!sc)
            break;
        const double fc = sc->x - target;
        if (!best || std::abs(fc) < std::abs(best->x - target)) {
            best = sc;
            bestP = c;
        }
        if (std::abs(fc) <= distanceTolerance)
            break;
        ((fc < 0) == (lo.f < 0) ? lo : hi) = {c, fc, sc->dx};
        if (std::abs(hi.p - lo.p) < 1e-12 * std::max(std::abs(lo.p), std::abs(hi.p)))
            break;
    }
    // A sign change across a jump of X (the edge of a low-velocity zone's shadow) is no ray.
    if (best && std::abs(best->x - target) < 1e-6)
        return std::pair(bestP, *best);
    return std::nullopt;
}

std::vector<seismicArrival> travelTimeCalculator::arrivals(double depth, double distance,
                                                           const QStringList& phases) const {
    std::vector<seismicArrival> found;
    if (!(depth >= 0 && depth <= maximumDepth && distance >= 0 && distance <= 180))
        return found;
    const tables& t = *data;
    const sourcePoint src = t.sourceAt(depth);
    double surfaceEta[2] = {t.shells[0].etaTop[P], t.shells[0].etaTop[S]};

    std::vector<std::size_t> wanted;
    for (std::size_t k = 0; k < phaseTable.size(); ++k) {
        const phaseInfo& info = phaseTable[k];
        const char* name = info.kind == phaseKind::p   ? "P"
                           : info.kind == phaseKind::s ? "S"
                                                       : info.name;
        if (phases.contains(QLatin1StringView(name)))
            wanted.push_back(k);
    }
    if (wanted.empty())
        return found;

    // The rays leaving the source: the sampling up to the slowest one at the source, with the
    // source's own slownesses where the direct and upgoing branches meet.
    const double pMax =
        std::max({src.etaAbove[P], src.etaBelow[P], src.etaAbove[S], src.etaBelow[S]});
    tables::search search(t, src, pMax);

    const double delta = distance / radian;
    std::vector<double> targets{delta};
    if (distance > 0 && distance < 180)
        targets.push_back(2 * std::numbers::pi - delta);

    for (std::size_t k : wanted) {
        const phaseInfo& info = phaseTable[k];
        if (info.kind == phaseKind::Pdiff || info.kind == phaseKind::Sdiff) {
            const int w = info.sourceWave;
            const double p = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[w];
            const phaseInfo& reflected = phaseTable[w == P ? 3 : 10]; // PcP, ScS
            // The grazing ray's slowness is a boundary's, so it is sampled.
            const auto at = std::lower_bound(t.grid.begin(), t.grid.end(), p);
            std::optional<leg> grazing;
            if (at != t.grid.end() && *at == p &&
                std::size_t(at - t.grid.begin()) < search.made.size())
                grazing = search.exactAt(reflected, std::size_t(at - t.grid.begin()));
            else {
                const auto [common, source] = t.exactRay(p, src, info.needs);
                grazing = phaseSum(reflected, common, source, src.belowSurface);
            }
            if (grazing && delta >= grazing->x)
                found.push_back(
                    arrivalOf(info, p, grazing->tau + p * delta, distance, delta, src, surfaceEta));
            continue;
        }
        // No ray of the phase is slower than the slowness where its legs begin or end.
        const double cmbP = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[P];
        const double cmbS = t.shells[std::size_t(t.mantleEnd - 1)].etaBottom[S];
        double slowest = pMax;
        switch (info.kind) {
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
        for (double target : targets)
            search.solve(info, k, slowest, target, [&](double p, const leg& l) {
                found.push_back(
                    arrivalOf(info, p, l.tau + p * target, distance, target, src, surfaceEta));
            });
    }
    std::sort(found.begin(), found.end(),
              [](const seismicArrival& x, const seismicArrival& y) { return x.time < y.time; });
    return found;
}
