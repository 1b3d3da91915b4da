#include "geoMapView.h"

#include "QVRTextDrawing.h"
#include "axisLibrary.h"
#include "mapColorLists.h"
#include "qvrGraphicsLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QPainter>

#include <QSet>

#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <numbers>
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

struct backgroundPicture {
    int index;
    const char* name;
    const char* type;
    int rows, columns;
    float lonMin, lonMax, latMin, latMax;
};

// Pixel sizes are fixed per picture, not read from the file.
constexpr backgroundPicture backgrounds[] = {
    {1, "nasa_satellite_wide", "tif", 1024, 3072, -180, 360, -90, 90},
    {2, "natural_wide", "jpg", 2700, 8100, -180, 360, -90, 90},
    {3, "noaa_image_wide", "jpg", 3600, 10800, -180, 360, -90, 90},
    {4, "living_earth_wide", "jpg", 1200, 3600, -180, 360, -90, 90},
    {10, "wusGray", "tif", 540, 613, -130, -105, 30, 52},
};

// Installed: <prefix>/bin/Quorvel with <prefix>/share/quorvel/maps; built: bin/ beside maps/.
QString installedPictureDirectory() {
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {program.filePath(QStringLiteral("../share/quorvel/maps")),
                                     program.filePath(QStringLiteral("../maps"))}) {
        if (QDir(candidate).exists())
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(program.filePath(QStringLiteral("../share/quorvel/maps")));
}

// An empty picture of the file's size and the format its decoder writes, which then decodes
// straight into it, with its memory taken from the system in 2 MB pages where the system allows:
// in 4 kB pages the default picture costs 21,000 page faults, which on a virtual machine take
// longer than decoding it.
QImage pictureToDecodeInto(const QImageReader& reader) {
    if (!reader.size().isValid() || reader.imageFormat() == QImage::Format_Invalid)
        return {};
    QImage picture(reader.size(), reader.imageFormat());
#ifdef MADV_HUGEPAGE
    if (!picture.isNull()) {
        const auto pageSize = quintptr(::sysconf(_SC_PAGESIZE));
        const auto start = (quintptr(picture.bits()) + pageSize - 1) & ~(pageSize - 1);
        const auto end =
            (quintptr(picture.bits()) + quintptr(picture.sizeInBytes())) & ~(pageSize - 1);
        if (end > start)
            ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#endif
    return picture;
}

// The pictures are large (the default one is 8100 × 2700 pixels), so each file is decoded
// once and its pixels shared by every map showing it. They are kept as 24-bit RGB: the files
// have no transparency, and the cut-out a map draws is scaled as from 32 bits, so the drawing
// is the same as from a 32-bit copy at three quarters of the memory. The decoders give 32-bit
// pixels; they are narrowed in their own buffer, which then shrinks, because a 24-bit copy
// beside them would raise the program's peak by the copy's 64 MB.
QImage decodedPicture(const QString& path, QString& problem) {
    QImageReader reader(path);
    reader.setAllocationLimit(0); // the widest picture is larger than Qt's default limit
    QImage picture = pictureToDecodeInto(reader);
    if (!reader.read(&picture)) {
        problem = reader.errorString();
        return {};
    }
    picture.convertTo(QImage::Format_RGB888);
    return picture;
}

// The decoded pictures, by file. The maps live on the GUI thread, but a picture may be decoded
// ahead on a worker; a file is decoded by one thread at a time, and whoever asks for it
// meanwhile waits for that decode. A failed decode ahead is kept for the next to ask, so that
// the file is tried once and its problem reported once.
struct pictureCache {
    std::mutex mutex;
    std::condition_variable decoded;
    QHash<QString, QImage> pictures;
    QSet<QString> decoding;
    QHash<QString, QString> failedAhead;
};

pictureCache& pictures() {
    static pictureCache cache;
    return cache;
}

// The picture of `path`, decoded now unless it is decoded already or being decoded; null
// with the reason in `problem` when it cannot be. A picture no map shows any more is let go
// at the next load.
QImage sharedPicture(const QString& path, QString& problem, bool ahead = false) {
    pictureCache& cache = pictures();
    std::unique_lock lock(cache.mutex);
    cache.decoded.wait(lock, [&] { return !cache.decoding.contains(path); });
    for (auto it = cache.pictures.begin(); it != cache.pictures.end();) {
        if (it.value().isDetached() && it.key() != path && !ahead)
            it = cache.pictures.erase(it);
        else
            ++it;
    }
    if (const auto found = cache.pictures.constFind(path); found != cache.pictures.cend())
        return found.value();
    if (const auto failed = cache.failedAhead.constFind(path); failed != cache.failedAhead.cend()) {
        problem = failed.value();
        cache.failedAhead.erase(failed);
        return {};
    }
    cache.decoding.insert(path);
    lock.unlock();
    QImage picture = decodedPicture(path, problem);
    lock.lock();
    cache.decoding.remove(path);
    if (!picture.isNull())
        cache.pictures.insert(path, picture);
    else if (ahead)
        cache.failedAhead.insert(path, problem);
    cache.decoded.notify_all();
    return picture;
}

// The same longitude moved by whole turns into the 360° that start at the map's west edge.
double longitudeOnMap(double lon, double west) {
    return west + std::fmod(std::fmod(lon - west, 360.0) + 360.0, 360.0);
}

// A label's own small white backing, so that it reads over any picture.
void drawBackedText(QPainter& painter, const QString& text, QPointF anchor,
                    const QVRTextAttributes& attributes) {
    const QSizeF size = attributes.measure(text);
    painter.fillRect(QRectF(anchor - QPointF(2, 0), size + QSizeF(4, 0)),
                     QColor::fromRgbF(1, 1, 1, 0.7f));
    QVRTextDrawing::drawText(painter, text, anchor, attributes);
}

} // namespace

geoMapView::geoMapView(QWidget* parent)
    : QVRImageView(parent) {
    setPalette(0);
}

void geoMapView::buildGrayScaleColorsNLevels(int levels) {
    setTheColors(mapColorLists::grayScaleColors(levels));
}

void geoMapView::buildNoGreenColorTable() {
    setTheColors(mapColorLists::noGreenColors());
}

void geoMapView::buildSeisColorTable() {
    setTheColors(mapColorLists::seisColors());
}

void geoMapView::buildPolarColorTable() {
    setTheColors(mapColorLists::polarColors());
}

void geoMapView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(20, 20, b.width() - 40, b.height() - 40));
    const QRectF candidate = showAxes() ? QRectF(64, 50, b.width() - 96, b.height() - 80) : pRect();

    // True scale along the middle latitude: a degree of latitude and cos(midLat) degrees of
    // longitude take the same length.
    const double midLat = (ymin() + ymax()) / 2.0;
    const double latSpan = ymax() - ymin();
    const double lonSpan = (xmax() - xmin()) * std::cos(midLat * std::numbers::pi / 180.0);
    double w = candidate.width();
    double k = w / lonSpan;
    double h = k * latSpan;
    if (h > candidate.height()) {
        h = candidate.height();
        k = h / latSpan;
        w = k * lonSpan;
    }
    double y = candidate.y() + (candidate.height() - h) / 2;
    if (vAlignPlot_ == 1)
        y = candidate.y() + candidate.height() - h;
    else if (vAlignPlot_ == 2)
        y = candidate.y();
    const double x = candidate.x() + (candidate.width() - w) / 2;
    setIRect(QRectF(x, y, w, h));
}

QPointF geoMapView::viewPointForLonLat(float lon, float lat, bool wrap) const {
    return viewPointFor(lon, lat, wrap, iRect(), xmin(), xmax(), ymin(), ymax());
}

QPointF geoMapView::viewPointFor(float lon, float lat, bool wrap, const QRectF& r, float xmin,
                                 float xmax, float ymin, float ymax) {
    if (wrap && xmax > 180 && lon < 0)
        lon += 360;
    return QPointF(r.x() + (lon - xmin) * r.width() / (xmax - xmin),
                   r.y() + (lat - ymin) * r.height() / (ymax - ymin));
}

float geoMapView::tickSpacingForSpan(float span) {
    if (span > 500)
        return 90;
    if (span > 200)
        return 45;
    if (span > 100)
        return 30;
    if (span > 50)
        return 15;
    if (span > 10)
        return 10;
    return 0;
}

void geoMapView::drawRect(QPainter& painter, const QRectF&) {
    computeRects();
    painter.save();
    painter.fillRect(bounds(), Qt::white);
    if (!hideImage())
        drawImage();
    drawAxes();
    if (showPlates_)
        drawPolygons();
    drawPoints();
    drawVectors();
    drawDistanceRings();
    drawHomeMarker();
    drawLegend();
    drawTitleTopCentered();
    if (_timeStamp())
        drawTimeStamp();
    painter.restore();
}

void geoMapView::drawAxes() {
    if (!currentPainter())
        return;
    static const QVRTextAttributes tickLabels = QVRTextAttributes::helvetica(18, Qt::darkGray);
    drawAxisBox(tickLabels, tickSpacingForSpan(xmax() - xmin()));
    strokeAxisPath();
}

void geoMapView::drawPoints() {
    QPainter* painter = currentPainter();
    if (painter && painter->device()->devType() == QInternal::Widget)
        symbolLayer_.viewPainted();
    if (!painter || thePoints_.isEmpty())
        return;
    painter->save();
    painter->setClipRect(iRect());
    // Ten thousand symbols are ten thousand translucent blends, while the window draws the
    // same symbols again whenever it is uncovered or the clock's time stamp moves. On pixel
    // devices at one pixel per point they are therefore stamped once into a transparent layer
    // of the map box's device pixels and laid over the picture under the same clip. Blending
    // the symbols into the layer and the layer over the picture rounds differently from
    // blending each symbol over the picture, by a few levels of 255 where translucent symbols
    // overlap.
    const QPaintDevice* device = painter->device();
    if (!keepSymbolLayer_ || !symbolLayer_.serves(*device)) {
        symbolLayer_.drop();
        stampPoints(*painter, symbols_, symbolsAsTheyStand());
        painter->restore();
        return;
    }
    const symbolLayerKey key =
        symbolLayerKeyFor(QSize(device->width(), device->height()), painter->worldTransform());
    const QImage* layer = symbolLayer_.current(key);
    // While the new symbols are drawn on the worker the window keeps showing the last ones;
    // they are replaced as soon as the new ones arrive. Pictures taken of the map wait for
    // nothing: they get the symbols as they are.
    if (!layer && device->devType() == QInternal::Widget && symbolLayer_.isDrawing(key) &&
        !symbolLayer_.last().isNull() && symbolLayer_.lastKey() == key)
        layer = &symbolLayer_.last();
    if (!layer) {
        symbolLayer_.keep(symbolLayerImage(symbolsAsTheyStand(), key, symbols_), key);
        layer = &symbolLayer_.last();
    }
    painter->setWorldTransform(QTransform()); // the clip stays where it was set
    painter->drawImage(symbolLayerBox(key).topLeft(), *layer);
    painter->restore();
}

bool geoMapView::drawSymbolLayerInBackground() {
    // A view not shown yet draws its layer with its first paint, at the size it is shown at.
    if (!isVisible())
        return false;
    if (!keepSymbolLayer_ || thePoints_.isEmpty() || devicePixelRatioF() != 1)
        return false;
    computeRects();
    // As the paint pass will see it: the view's height up, its y flipped.
    QTransform upright;
    upright.translate(0, height());
    upright.scale(1, -1);
    const symbolLayerKey key = symbolLayerKeyFor(size(), upright);
    auto stamps = std::make_shared<QVRCircleStamps>(symbols_);
    return symbolLayer_.drawInBackground(
        this, key,
        [symbols = symbolsAsTheyStand(), key, stamps] {
            return symbolLayerImage(symbols, key, *stamps);
        },
        [this, stamps] {
            symbols_ = *stamps; // with the stamps the worker made
            update();
        });
}

geoMapView::symbolDrawing geoMapView::symbolsAsTheyStand() const {
    return {.points = thePoints_,
            .colors = theColors_,
            .outlinePointsWithNoData = outlinePointsWithNoData_,
            .mapBox = iRect(),
            .xmin = xmin(),
            .xmax = xmax(),
            .ymin = ymin(),
            .ymax = ymax()};
}

geoMapView::symbolLayerKey geoMapView::symbolLayerKeyFor(const QSize& deviceSize,
                                                         const QTransform& toDevice) const {
    return {.mapBox = iRect(),
            .xmin = xmin(),
            .xmax = xmax(),
            .ymin = ymin(),
            .ymax = ymax(),
            .deviceSize = deviceSize,
            .toDevice = toDevice};
}

QRect geoMapView::symbolLayerBox(const symbolLayerKey& key) {
    return key.toDevice.mapRect(key.mapBox)
        .toAlignedRect()
        .intersected(QRect(QPoint(0, 0), key.deviceSize));
}

QImage geoMapView::symbolLayerImage(const symbolDrawing& s, const symbolLayerKey& key,
                                    QVRCircleStamps& stamps) {
    const QRect box = symbolLayerBox(key);
    QImage layer(box.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setWorldTransform(key.toDevice * QTransform::fromTranslate(-box.x(), -box.y()));
    stampPoints(painter, stamps, s);
    return layer;
}

void geoMapView::stampPoints(QPainter& painter, QVRCircleStamps& stamps, const symbolDrawing& s) {
    // Each symbol is filled, then outlined in black at half opacity; with
    // outlinePointsWithNoData the outline is laid a second time, which over the fill is
    // the same as one outline at three-quarter opacity.
    const QColor halfOutline = QColor::fromRgbF(0, 0, 0, 0.5);
    const QColor twiceOutline = QColor::fromRgbF(0, 0, 0, 0.75);
    stamps.begin(painter);
    for (const auto& point : s.points) {
        const int index = point->colorIndex();
        const bool filled = !s.colors.isEmpty() && index >= 0 && index < s.colors.size();
        if (!filled && !s.outlinePointsWithNoData)
            continue;
        QColor fill;
        if (filled) {
            fill = s.colors.at(index);
            fill.setAlphaF(point->alpha());
        }
        stamps.circle(viewPointFor(point->lon(), point->lat(), true, s.mapBox, s.xmin, s.xmax,
                                   s.ymin, s.ymax),
                      12.0 * point->symbolSize(), fill,
                      filled && s.outlinePointsWithNoData ? twiceOutline : halfOutline);
    }
    stamps.finish();
}

void geoMapView::drawVectors() {
    QPainter* painter = currentPainter();
    if (!painter || theVectors_.isEmpty())
        return;
    painter->save();
    painter->setClipRect(iRect());
    painter->setPen(QPen(Qt::black, 1.0));
    for (const auto& v : theVectors_) {
        const QPointF from = viewPointForLonLat(v->lon(), v->lat());
        painter->drawLine(from, from + QPointF(v->eastValue() * v->scaleFactor(),
                                               v->northValue() * v->scaleFactor()));
    }
    painter->restore();
}

void geoMapView::drawPolygons() {
    QPainter* painter = currentPainter();
    if (!painter || thePolygonSets_.isEmpty())
        return;
    painter->save();
    painter->setClipRect(iRect());
    painter->setPen(QPen(plateBoundaryColor_, 1.0));
    painter->setBrush(Qt::NoBrush);
    for (const polygonList& set : thePolygonSets_) {
        for (const auto& polygon : set) {
            const int n = std::min<int>(polygon->npts(),
                                        int(std::min(polygon->xp().size(), polygon->yp().size())));
            if (n == 0)
                continue;
            QPainterPath path;
            double previous = 0;
            for (int i = 0; i < n; ++i) {
                double lon = polygon->xp()[std::size_t(i)];
                if (xmax() > 180 && lon < 0)
                    lon += 360;
                if (xmin() < 0 && lon > 180)
                    lon -= 360;
                const QPointF p =
                    viewPointForLonLat(float(lon), polygon->yp()[std::size_t(i)], false);
                // A jump of more than 350° crosses the map's seam: move, do not draw.
                if (i == 0 || std::fabs(previous - lon) > 350)
                    path.moveTo(p);
                else
                    path.lineTo(p);
                previous = lon;
            }
            painter->drawPath(path);
        }
    }
    painter->restore();
}

void geoMapView::drawDistanceRings() {
    QPainter* painter = currentPainter();
    if (!painter || distanceRings_.radiiKm.isEmpty())
        return;
    static const QVRTextAttributes labels = QVRTextAttributes::helvetica(11);
    painter->save();
    painter->setClipRect(iRect());
    painter->setBrush(Qt::NoBrush);
    const QPen casing(QColor::fromRgbF(1, 1, 1, 0.8f), 3.5);
    const QPen line(Qt::black, 1.5);
    for (const float radius : distanceRings_.radiiKm) {
        const QList<QPointF> ring = greatCircles::ring(distanceRings_.centre, double(radius), 360);
        QPainterPath path;
        double previous = 0;
        for (qsizetype i = 0; i < ring.size(); ++i) {
            const double lon = longitudeOnMap(ring.at(i).x(), xmin());
            const QPointF p = viewPointForLonLat(float(lon), float(ring.at(i).y()), false);
            // Where the ring leaves the map at one side it comes back at the other: move there.
            if (i == 0 || std::fabs(lon - previous) > 180)
                path.moveTo(p);
            else
                path.lineTo(p);
            previous = lon;
        }
        painter->setPen(casing);
        painter->drawPath(path);
        painter->setPen(line);
        painter->drawPath(path);
    }
    // The labels go on top of every ring, each at its ring's due-north point; on a small
    // scale the rings lie close together, so a label that would cover the one before it
    // stands on top of that one instead.
    QList<QRectF> placed;
    for (const float radius : distanceRings_.radiiKm) {
        const QPointF north = greatCircles::ring(distanceRings_.centre, double(radius), 4).first();
        const QPointF at =
            viewPointForLonLat(float(longitudeOnMap(north.x(), xmin())), float(north.y()), false);
        const QString text = tr("%1 km").arg(double(radius));
        const QSizeF size = labels.measure(text);
        QRectF box(at + QPointF(-size.width() / 2, 3), size);
        for (const QRectF& other : placed)
            if (box.intersects(other))
                box.moveTop(other.bottom() + 1); // y up: bottom() is the top edge
        placed.append(box);
        drawBackedText(*painter, text, box.topLeft(), labels);
    }
    const QPointF centre =
        viewPointForLonLat(float(longitudeOnMap(distanceRings_.centre.x(), xmin())),
                           float(distanceRings_.centre.y()), false);
    painter->setPen(line);
    painter->drawLine(centre - QPointF(4, 0), centre + QPointF(4, 0));
    painter->drawLine(centre - QPointF(0, 4), centre + QPointF(0, 4));
    painter->restore();
}

void geoMapView::drawHomeMarker() {
    QPainter* painter = currentPainter();
    if (!painter || !homeLocation_)
        return;
    const QPointF at = viewPointForLonLat(float(longitudeOnMap(homeLocation_->x(), xmin())),
                                          float(homeLocation_->y()), false);
    // A small house, centred on the place: walls and a roof.
    const QPolygonF house({at + QPointF(-5, -6), at + QPointF(5, -6), at + QPointF(5, 1),
                           at + QPointF(0, 6), at + QPointF(-5, 1)});
    painter->save();
    painter->setClipRect(iRect());
    painter->setPen(QPen(Qt::white, 1.5));
    painter->setBrush(QColor(0x20, 0x20, 0x20));
    painter->drawPolygon(house);
    painter->restore();
}

void geoMapView::drawLegend() {
    QPainter* painter = currentPainter();
    if (!painter || !legend_ || (legend_->colors.isEmpty() && legend_->sizes.isEmpty()))
        return;
    static const QVRTextAttributes text = QVRTextAttributes::helvetica(11);
    static const QVRTextAttributes title = QVRTextAttributes::helvetica(11, Qt::darkGray);
    const double pad = 6, swatch = 5, gap = 4;
    const double lineHeight = std::max(text.measure(QStringLiteral("M")).height(), 2 * swatch + 2);

    double width = legend_->colorTitle.isEmpty() ? 0 : title.measure(legend_->colorTitle).width();
    for (const auto& entry : legend_->colors)
        width = std::max(width, 2 * swatch + gap + text.measure(entry.label).width());
    double sizesWidth = 0, largestRadius = 0;
    QList<double> cellWidths;
    for (const auto& entry : legend_->sizes) {
        const double radius = 12.0 * entry.symbolSize;
        largestRadius = std::max(largestRadius, radius);
        cellWidths.append(std::max(2 * radius, text.measure(entry.label).width()));
        sizesWidth += cellWidths.last() + (cellWidths.size() > 1 ? gap : 0);
    }
    width = std::max(width, sizesWidth);
    const double titleHeight = legend_->colorTitle.isEmpty() ? 0 : lineHeight;
    const double colorsHeight = titleHeight + lineHeight * double(legend_->colors.size());
    const double sizesHeight = legend_->sizes.isEmpty() ? 0 : 2 * largestRadius + 2 + lineHeight;
    const double height =
        colorsHeight + sizesHeight + (colorsHeight > 0 && sizesHeight > 0 ? gap : 0);
    const QRectF box(iRect().x() + 8, iRect().y() + 8, width + 2 * pad, height + 2 * pad);

    painter->save();
    painter->setClipRect(iRect());
    painter->setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.3f), 0.5));
    painter->setBrush(QColor::fromRgbF(1, 1, 1, 0.85f));
    painter->drawRect(box);
    const QColor outline = QColor::fromRgbF(0, 0, 0, 0.5);
    // From the top down; each row's text stands on the row's bottom.
    double top = box.y() + box.height() - pad;
    const double left = box.x() + pad;
    if (!legend_->colorTitle.isEmpty()) {
        top -= lineHeight;
        QVRTextDrawing::drawText(*painter, legend_->colorTitle, QPointF(left, top), title);
    }
    for (const auto& entry : legend_->colors) {
        top -= lineHeight;
        painter->setPen(QPen(outline, 1.0));
        painter->setBrush(entry.color);
        painter->drawEllipse(QPointF(left + swatch, top + lineHeight / 2), swatch, swatch);
        QVRTextDrawing::drawText(*painter, entry.label, QPointF(left + 2 * swatch + gap, top),
                                 text);
    }
    if (!legend_->sizes.isEmpty()) {
        top -= colorsHeight > 0 ? gap : 0;
        double x = left;
        const double labelBase = top - sizesHeight;
        // The circles stand on one line, as on a scale bar, their labels under them.
        const double standY = labelBase + lineHeight + 2;
        painter->setPen(QPen(outline, 1.0));
        painter->setBrush(QColor::fromRgbF(0.6f, 0.6f, 0.6f, 1));
        for (qsizetype i = 0; i < legend_->sizes.size(); ++i) {
            const auto& entry = legend_->sizes.at(i);
            const double radius = 12.0 * entry.symbolSize;
            const double middle = x + cellWidths.at(i) / 2;
            painter->drawEllipse(QPointF(middle, standY + radius), radius, radius);
            QVRTextDrawing::drawText(
                *painter, entry.label,
                QPointF(middle - text.measure(entry.label).width() / 2, labelBase), text);
            x += cellWidths.at(i) + gap;
        }
    }
    painter->restore();
}

// --- backgrounds

QString geoMapView::pictureDirectory() const {
    return pictureDirectory_.isEmpty() ? installedPictureDirectory() : pictureDirectory_;
}

QString geoMapView::topographyDirectory() const {
    return topographyDirectory_.isEmpty() ? pictureDirectory() : topographyDirectory_;
}

namespace {

const backgroundPicture* pictureOfIndex(int index) {
    for (const backgroundPicture& b : backgrounds) {
        if (b.index == index)
            return &b;
    }
    return nullptr;
}

QString pictureFile(const backgroundPicture& b, const QString& directory) {
    return QDir(directory).filePath(
        QStringLiteral("%1.%2").arg(QLatin1StringView(b.name), QLatin1StringView(b.type)));
}

} // namespace

QString geoMapView::picturePath(int index, const QString& directory) {
    const backgroundPicture* b = pictureOfIndex(index);
    return b ? pictureFile(*b, directory.isEmpty() ? installedPictureDirectory() : directory)
             : QString();
}

void geoMapView::decodePictureAhead(const QString& path) {
    QString problem;
    sharedPicture(path, problem, true);
}

bool geoMapView::loadImageWithIndex(int index) {
    qCDebug(lcMap) << "In loadImageWithIndex" << index;
    const backgroundPicture* b = pictureOfIndex(index);
    if (!b)
        return false;
    const QString path = pictureFile(*b, pictureDirectory());
    QString problem;
    const QImage picture = sharedPicture(path, problem);
    if (picture.isNull()) {
        qCWarning(lcMap).noquote() << QStringLiteral("No map picture %1: %2").arg(path, problem);
        setAnImage(QImage());
        setImageSize(0, 0);
        return false;
    }
    setAnImage(picture);
    setImageSize(b->rows, b->columns);
    setImageFrame(b->lonMin, b->lonMax, b->latMin, b->latMax,
                  (b->lonMax - b->lonMin) / float(b->columns),
                  (b->latMax - b->latMin) / float(b->rows));
    update();
    return true;
}

bool geoMapView::loadTopoImageFromPath(const QString& path, int rows, int columns, int step) {
    if (rows <= 0 || columns <= 0 || step <= 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 needed = qint64(rows) * columns * 2;
    if (file.size() < needed) {
        qCWarning(lcMap) << "The grid" << path << "holds" << file.size() << "bytes, fewer than"
                         << needed;
        return false;
    }
    const QByteArray bytes = file.read(needed);
    if (bytes.size() < needed)
        return false;
    const int r = rows / step, c = columns / step;
    auto values = std::make_shared<std::vector<float>>(std::size_t(r) * std::size_t(c));
    const char* samples = bytes.constData();
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            int16_t height;
            std::memcpy(&height, samples + 2 * (qint64(step) * i * columns + qint64(step) * j), 2);
            (*values)[std::size_t(i) * std::size_t(c) + std::size_t(j)] = float(height);
        }
    }
    setImageFloats(values);
    setImageSize(r, c);
    computeMinMax();
    computeScaleFactor();
    setupNSImage();
    update();
    return true;
}

bool geoMapView::loadETOPO5DownSmpl(int step) {
    if (!loadTopoImageFromPath(QDir(topographyDirectory()).filePath(QStringLiteral("etopo5.i2")),
                               2160, 4320, step))
        return false;
    const float degrees = float(step) / 12.0f;
    setImageFrame(0, 360, -90, 90, degrees, degrees);
    return imageFloats() != nullptr;
}
