#include "tracePath.h"

#include <QPaintDevice>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace tracePath {
namespace {

// The samples to visit: those from `first` on whose x lies in [left, right], and one more on
// each side.
bool visibleRange(int count, int first, const sampleMapping& m, double left, double right,
                  int& from, int& to) {
    from = std::max(first, 0);
    to = count - 1;
    if (from > to)
        return false;
    if (m.dx != 0) {
        double lo = (left - m.x0) / m.dx;
        double hi = (right - m.x0) / m.dx;
        if (lo > hi)
            std::swap(lo, hi);
        // Compared in double first: an index far off the view must not overflow an int.
        const double before = std::floor(lo) - 1;
        const double after = std::ceil(hi) + 1;
        if (before > to || after < from)
            return false;
        from = std::max(from, int(std::max(before, double(from))));
        to = std::min(to, int(std::min(after, double(to))));
    } else if (m.x0 < left || m.x0 > right) {
        return false;
    }
    return from <= to;
}

void appendEverySample(QPolygonF& points, const float* samples, int from, int to,
                       const sampleMapping& m) {
    points.reserve(points.size() + (to - from + 1));
    for (int k = from; k <= to; ++k)
        points.append(QPointF(m.x0 + k * m.dx, m.y0 + samples[k] * m.dy));
}

// The positions of the lowest and the highest of samples[from] … samples[to], in time order.
struct extremes {
    int early, late;
};

extremes findExtremes(const float* samples, int from, int to) {
    // The values first, four lanes at a time and without branches: noise defeats branch
    // prediction, and this loop reads every sample of the trace at every draw.
    float lo0 = samples[from], lo1 = lo0, lo2 = lo0, lo3 = lo0;
    float hi0 = lo0, hi1 = lo0, hi2 = lo0, hi3 = lo0;
    int k = from;
    for (; k + 3 <= to; k += 4) {
        const float* v = samples + k;
        lo0 = v[0] < lo0 ? v[0] : lo0;
        lo1 = v[1] < lo1 ? v[1] : lo1;
        lo2 = v[2] < lo2 ? v[2] : lo2;
        lo3 = v[3] < lo3 ? v[3] : lo3;
        hi0 = v[0] > hi0 ? v[0] : hi0;
        hi1 = v[1] > hi1 ? v[1] : hi1;
        hi2 = v[2] > hi2 ? v[2] : hi2;
        hi3 = v[3] > hi3 ? v[3] : hi3;
    }
    for (; k <= to; ++k) {
        lo0 = samples[k] < lo0 ? samples[k] : lo0;
        hi0 = samples[k] > hi0 ? samples[k] : hi0;
    }
    const float lowest = std::min({lo0, lo1, lo2, lo3});
    const float highest = std::max({hi0, hi1, hi2, hi3});
    // Then where they are; the searches end at the last sample whatever the values hold.
    int early = from;
    while (early < to && samples[early] != lowest && samples[early] != highest)
        ++early;
    const float other = samples[early] == lowest ? highest : lowest;
    int late = early;
    while (late < to && samples[late] != other)
        ++late;
    return {early, late};
}

// Sample k lies in pixel column floor(a + k·d), d > 0 (a mirrored device is turned around by
// the caller: the columns' edges stay at whole numbers).
//
// Each column crowded with samples becomes its first sample, its extremes in time order and
// its last sample, so the lines between columns are the ones every sample would draw. Every
// sample's lines cross a crowded column back and forth, and their antialiased edges add up
// to ink that one stroke up and down does not match: from `twoPasses` on the extremes are
// joined twice, which matches it.
void appendEnvelope(QPolygonF& points, const float* samples, int from, int to,
                    const sampleMapping& m, double a, double d) {
    constexpr double twoPasses = 24; // samples per column
    const bool again = d * twoPasses <= 1;
    // At most 6 points a column, written in place: appending one by one costs as much as
    // finding the extremes. The samples span at most (to − from)·d + 2 columns; one more
    // allows for rounding.
    const qsizetype start = points.size();
    points.resize(start + 6 * (qsizetype((to - from) * d) + 3));
    QPointF* out = points.data() + start;
    auto put = [&](int k) { *out++ = QPointF(m.x0 + k * m.dx, m.y0 + samples[k] * m.dy); };
    put(from);
    int k = from;
    while (k <= to) {
        // The column's last sample: the one before the next column's left edge.
        int last = to;
        if (d > 0) {
            const double column = std::floor(a + k * d);
            const double beforeNextEdge = std::ceil((column + 1 - a) / d) - 1;
            if (beforeNextEdge < to)
                last = std::max(k, int(beforeNextEdge));
            // Rounding must not split a column, or the columns outnumber the room above.
            while (last < to && std::floor(a + (last + 1) * d) <= column)
                ++last;
            while (last > k && std::floor(a + last * d) > column)
                --last;
        }
        if (k != from)
            put(k);
        if (last - k >= 2) {
            const auto [early, late] = findExtremes(samples, k, last);
            put(early);
            put(late);
            if (again) {
                put(early);
                put(late);
            }
        }
        if (last != k)
            put(last);
        k = last + 1;
    }
    points.resize(out - points.data());
}

} // namespace

bool drawsPixels(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (!device)
        return false;
    const int type = device->devType();
    return type == QInternal::Image || type == QInternal::Pixmap || type == QInternal::Widget;
}

QPolygonF tracePoints(const float* samples, int count, int first, const sampleMapping& mapping,
                      const QPainter& painter, double left, double right, bool everySample) {
    QPolygonF points;
    if (!samples || count <= 0 || !std::isfinite(mapping.x0) || !std::isfinite(mapping.dx) ||
        !std::isfinite(mapping.y0) || !std::isfinite(mapping.dy))
        return points;
    int from = 0, to = 0;
    if (!visibleRange(count, first, mapping, left, right, from, to))
        return points;

    // Device pixels per view point along x, and where the view's x = 0 falls; a turned or
    // sheared painter has no pixel columns along the time axis, so it gets every sample.
    const QTransform device = painter.deviceTransform();
    const bool columns = !everySample && drawsPixels(painter) &&
                         device.type() <= QTransform::TxScale && device.m11() != 0;
    double a = 0, d = 0;
    if (columns) {
        a = device.m11() * mapping.x0 + device.dx();
        d = device.m11() * mapping.dx;
        if (d < 0) {
            a = -a;
            d = -d;
        }
    }
    // More than two samples to a column: less than half a pixel between samples.
    if (!columns || d >= 0.5)
        appendEverySample(points, samples, from, to, mapping);
    else
        appendEnvelope(points, samples, from, to, mapping, a, d);
    return points;
}

} // namespace tracePath
