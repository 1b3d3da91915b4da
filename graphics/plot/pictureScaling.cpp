#include "pictureScaling.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace pictureScaling {
namespace {

// One axis of Qt's area-averaging scaler going from `from` pixels down to `to`: each target
// pixel averages a run of source pixels, the first and last with weights of their own and
// those between with one common weight, in 1/16384, the weights adding up to 16384. The
// fixed-point steps are Qt's own, so that the result is Qt's to the bit.
struct axisRuns {
    std::vector<int> start, count, firstWeight, lastWeight; // per target pixel
    int middleWeight = 0;
};

axisRuns runsDown(int from, int to) {
    axisRuns axis;
    for (auto* v : {&axis.start, &axis.count, &axis.firstWeight, &axis.lastWeight})
        v->reserve(std::size_t(to));
    const qint64 step = (qint64(from) << 16) / to;
    axis.middleWeight = int(((qint64(to) << 14) + from - 1) / from);
    qint64 position = 0; // in 1/65536 source pixel
    for (int i = 0; i < to; ++i, position += step) {
        const int start = int(position >> 16);
        const int first = int(((0x10000 - (position & 0xffff)) * axis.middleWeight) >> 16);
        int last = (1 << 14) - first;
        int count = 2;
        for (; last > axis.middleWeight; last -= axis.middleWeight)
            ++count;
        axis.start.push_back(start);
        // Qt's steps never reach past the last pixel; should they, the run stops there.
        axis.count.push_back(std::min(count, from - start));
        axis.firstWeight.push_back(first);
        axis.lastWeight.push_back(last);
    }
    return axis;
}

// A source row averaged across into the target's columns, three sums per column.
void averageAcross(const uchar* row, const axisRuns& across, std::vector<int>& sums) {
    const std::size_t width = across.start.size();
    const int middleWeight = across.middleWeight;
    for (std::size_t x = 0; x < width; ++x) {
        const uchar* pixel = row + 3 * std::size_t(across.start[x]);
        const int first = across.firstWeight[x];
        int red = pixel[0] * first, green = pixel[1] * first, blue = pixel[2] * first;
        const int count = across.count[x];
        if (count > 1) {
            int middleRed = 0, middleGreen = 0, middleBlue = 0;
            for (int k = 1; k < count - 1; ++k) {
                pixel += 3;
                middleRed += pixel[0];
                middleGreen += pixel[1];
                middleBlue += pixel[2];
            }
            pixel += 3;
            const int last = across.lastWeight[x];
            red += middleRed * middleWeight + pixel[0] * last;
            green += middleGreen * middleWeight + pixel[1] * last;
            blue += middleBlue * middleWeight + pixel[2] * last;
        }
        sums[3 * x] = red;
        sums[3 * x + 1] = green;
        sums[3 * x + 2] = blue;
    }
}

// Each target row adds up the source rows it averages, each first averaged across in its own
// 24-bit bytes; a row shared by two target rows is averaged across once. The sums wrap in 32
// bits exactly where Qt's do: a white pixel's full weight comes to 255 · 16384 / 16 · 16384,
// just below 2^32. Rows `firstRow` to `endRow` (not included) of the target are written, at
// `target` with `targetStride` bytes from row to row.
void scaleRowsDown(const QImage& picture, const axisRuns& across, const axisRuns& down,
                   uchar* target, qsizetype targetStride, int firstRow, int endRow) {
    const std::size_t width = across.start.size();
    std::vector<quint32> totals(3 * width);
    std::vector<int> row(3 * width), kept(3 * width);
    int keptRow = -1;
    for (int y = firstRow; y < endRow; ++y) {
        std::fill(totals.begin(), totals.end(), 0);
        const int count = down.count[std::size_t(y)];
        for (int k = 0; k < count; ++k) {
            const int source = down.start[std::size_t(y)] + k;
            const quint32 weight = quint32(k == 0           ? down.firstWeight[std::size_t(y)]
                                           : k == count - 1 ? down.lastWeight[std::size_t(y)]
                                                            : down.middleWeight);
            const bool shared = source == keptRow;
            if (!shared)
                averageAcross(picture.constScanLine(source), across, row);
            const std::vector<int>& sums = shared ? kept : row;
            for (std::size_t i = 0; i < 3 * width; ++i)
                totals[i] += quint32(sums[i] >> 4) * weight;
            if (k == count - 1 && !shared) {
                std::swap(row, kept);
                keptRow = source;
            }
        }
        auto* out = reinterpret_cast<QRgb*>(target + targetStride * y);
        for (std::size_t x = 0; x < width; ++x)
            out[x] = qRgb(int(totals[3 * x] >> 24), int(totals[3 * x + 1] >> 24),
                          int(totals[3 * x + 2] >> 24));
    }
}

// A large picture is scaled in two halves at once, as Qt shares its own scaling among threads.
QImage scaledDownFrom24Bits(const QImage& picture, QSize size) {
    const axisRuns across = runsDown(picture.width(), size.width());
    const axisRuns down = runsDown(picture.height(), size.height());
    QImage scaled(size, QImage::Format_RGB32);
    if (scaled.isNull())
        return {};
    // Taken once here: scanLine() counts a detach at each call, not to be done from two threads.
    uchar* const target = scaled.bits();
    const qsizetype stride = scaled.bytesPerLine();
    const int rows = size.height();
    constexpr qint64 worthASecondThread = 1 << 20; // source pixels
    if (qint64(picture.width()) * picture.height() < worthASecondThread || rows < 2) {
        scaleRowsDown(picture, across, down, target, stride, 0, rows);
        return scaled;
    }
    std::thread lowerHalf(
        [&] { scaleRowsDown(picture, across, down, target, stride, rows / 2, rows); });
    scaleRowsDown(picture, across, down, target, stride, 0, rows / 2);
    lowerHalf.join();
    return scaled;
}

} // namespace

QImage partOf(const QImage& picture, const QRect& part) {
    if (part == picture.rect())
        return picture;
    if (!picture.rect().contains(part) || picture.depth() % 8 != 0 ||
        !picture.colorTable().isEmpty())
        return picture.copy(part);
    return QImage(picture.constScanLine(part.y()) + qsizetype(part.x()) * picture.depth() / 8,
                  part.width(), part.height(), picture.bytesPerLine(), picture.format());
}

QImage smoothScaled(const QImage& picture, QSize size) {
    if (picture.format() == QImage::Format_RGB888 && !size.isEmpty() &&
        size.width() < picture.width() && size.height() < picture.height())
        return scaledDownFrom24Bits(picture, size);
    QImage scaled = picture.convertToFormat(QImage::Format_RGB32)
                        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // A 32-bit picture already of that size comes back as it is, perhaps over memory that is
    // only borrowed; what is returned owns its pixels.
    if (scaled.constBits() == picture.constBits())
        scaled = scaled.copy();
    return scaled;
}

} // namespace pictureScaling
