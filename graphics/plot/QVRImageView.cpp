#include "QVRImageView.h"

#include "axisLibrary.h"
#include "colorScales.h"
#include "lenientNumbers.h"
#include "pictureScaling.h"
#include "qvrGraphicsLogging.h"

#include <QMenu>
#include <QPainter>
#include <QSaveFile>

#include <cmath>

QVRImageView::QVRImageView(QWidget* parent)
    : QVRView(parent) {
    setDrawsSizeWhileResizing(true); // rescaling the picture at every step would lag the drag
    setXLimits(0, 360);
    setYLimits(-90, 90);
    contextualMenu()->addAction(QStringLiteral("Save to XYZ"), this, &QVRImageView::saveXYZ);
}

void QVRImageView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(20, 20, b.width() - 40, b.height() - 40));
    setIRect(showAxes_ ? QRectF(64, 50, pRect().width() - 56, pRect().height() - 40) : pRect());
}

bool QVRImageView::setupImageData(std::shared_ptr<std::vector<float>> values, int rows,
                                  int columns) {
    if (!values || rows < 0 || columns < 0 || qint64(rows) * columns > qint64(values->size())) {
        qCWarning(lcPlot) << "A grid of" << rows << "x" << columns << "needs more values than"
                          << (values ? values->size() : 0);
        return false;
    }
    imageFloats_ = std::move(values);
    floatOrIntData_ = 0;
    nr_ = rows;
    nc_ = columns;
    setImageFrame(xmin(), xmax(), ymin(), ymax(), (xmax() - xmin()) / float(columns),
                  (ymax() - ymin()) / float(rows));
    computeMinMax();
    computeScaleFactor();
    setupNSImage();
    update();
    return true;
}

void QVRImageView::setImageFrame(float xmin, float xmax, float ymin, float ymax, float dx,
                                 float dy) {
    xminImage_ = xmin;
    xmaxImage_ = xmax;
    yminImage_ = ymin;
    ymaxImage_ = ymax;
    dxImage_ = dx;
    dyImage_ = dy;
}

void QVRImageView::setMin(float min, float max) {
    minValue_ = min;
    maxValue_ = max;
    computeScaleFactor();
}

void QVRImageView::computeMinMax() {
    const qint64 count = qint64(nr_) * nc_;
    if (!imageFloats_ || count <= 0 || qint64(imageFloats_->size()) < count)
        return;
    const std::vector<float>& v = *imageFloats_;
    minValue_ = maxValue_ = v[0];
    for (qint64 k = 1; k < count; ++k) {
        if (v[std::size_t(k)] > maxValue_)
            maxValue_ = v[std::size_t(k)];
        if (v[std::size_t(k)] < minValue_)
            minValue_ = v[std::size_t(k)];
    }
}

void QVRImageView::computeScaleFactor() {
    scaleFactor_ = maxValue_;
    if (minValue_ < 0 && maxValue_ > 0) {
        // A range around zero is made symmetric, so zero sits in the middle of the scale.
        const float a = -minValue_;
        if (maxValue_ < a) {
            scaleFactor_ = 2 * a;
            maxValue_ = a;
        } else {
            scaleFactor_ = 2 * maxValue_;
            minValue_ = -maxValue_;
        }
    }
    if (scaleFactor_ == 0)
        scaleFactor_ = 1;
}

QColor QVRImageView::pixelColour(float value) const {
    int r = 0, g = 0, b = 0, a = 1;
    if (useTopoValues_)
        getTopoColorValues(float(truncatedToInt(value)), palette_, &r, &g, &b, &a);
    else
        getColorValues((value - minValue_) / scaleFactor_, nShades_, palette_, &r, &g, &b, &a);
    return shownColour(r, g, b);
}

QColor QVRImageView::shownColour(int red, int green, int blue) const {
    if (inverted_)
        return QColor(255 - red, 255 - green, 255 - blue);
    return QColor(red, green, blue);
}

void QVRImageView::setupNSImage() {
    if (nr_ == 0 || nc_ == 0)
        return;
    anImage_ = QImage(nc_, nr_, QImage::Format_RGB32);
    qCDebug(lcPlot) << "Picture of" << nc_ << "x" << nr_ << "pixels";
    updateImagePlanes();
}

void QVRImageView::updateImagePlanes() {
    const qint64 count = qint64(nr_) * nc_;
    if (nr_ == 0 || nc_ == 0 || !imageFloats_ || qint64(imageFloats_->size()) < count ||
        anImage_.isNull())
        return;
    const std::vector<float>& v = *imageFloats_;
    for (int r = 0; r < nr_; ++r) {
        auto* row = reinterpret_cast<QRgb*>(anImage_.scanLine(r));
        for (int c = 0; c < nc_; ++c)
            row[c] = pixelColour(v[std::size_t(r) * std::size_t(nc_) + std::size_t(c)]).rgb();
    }
    update();
}

void QVRImageView::computeImagePeakLocation() {
    const qint64 count = qint64(nr_) * nc_;
    if (!imageFloats_ || count <= 0 || qint64(imageFloats_->size()) < count)
        return;
    float best = -1e30f;
    int bestRow = 0, bestColumn = 0;
    for (int r = 0; r < nr_; ++r) {
        for (int c = 0; c < nc_; ++c) {
            const float v = (*imageFloats_)[std::size_t(r) * std::size_t(nc_) + std::size_t(c)];
            if (v > best) { // the first of equal maxima
                best = v;
                bestRow = r;
                bestColumn = c;
            }
        }
    }
    // Row 0 is the top of the picture.
    xZmax_ = xmin() + float(bestColumn) * (xmax() - xmin()) / float(nc_ - 1);
    yZmax_ = ymax() - float(bestRow) * (ymax() - ymin()) / float(nr_ - 1);
}

void QVRImageView::drawImage() {
    QPainter* painter = currentPainter();
    if (!painter || nr_ == 0 || nc_ == 0 || anImage_.isNull() || dxImage_ == 0 || dyImage_ == 0)
        return;
    // The part of the picture inside the axis limits, counted from its bottom-left pixel.
    const double firstColumn =
        xmin() > xminImage_ ? std::trunc((xmin() - xminImage_) / dxImage_) : 0;
    const double columns = xmax() <= xmaxImage_ ? (xmax() - xmin()) / dxImage_ : nc_;
    const double firstRow = ymin() > yminImage_ ? std::trunc((ymin() - yminImage_) / dyImage_) : 0;
    const double rows = ymax() < ymaxImage_ ? (ymax() - ymin()) / dyImage_ : nr_;
    const QRect source = QRectF(firstColumn, anImage_.height() - firstRow - rows, columns, rows)
                             .toAlignedRect()
                             .intersected(anImage_.rect());
    const QSize target = iRect().size().toSize();
    painter->fillRect(iRect(), Qt::white);
    if (source.isEmpty() || target.isEmpty())
        return;
    if (cutOut_.pictureKey != anImage_.cacheKey() || cutOut_.source != source ||
        cutOut_.target != target) {
        cutOut_.pictureKey = anImage_.cacheKey();
        cutOut_.source = source;
        cutOut_.target = target;
        // Scaled as from 32-bit pixels whatever the picture's own format, so that a picture
        // kept in fewer bits draws the same; the part is read where it lies in the picture.
        cutOut_.image =
            pictureScaling::smoothScaled(pictureScaling::partOf(anImage_, source), target);
    }
    drawImageUpright(*painter, iRect(), cutOut_.image, cutOut_.image.rect());
}

void QVRImageView::drawAxisBox(const QVRTextAttributes& tickLabels, float spacing,
                               const QString& xTitle) {
    QPainter* painter = currentPainter();
    painter->setPen(QPen(Qt::black, 2.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(iRect());

    xAxisPath()->clear();
    AInitGraphLib();
    ASetFontSize(tickLabels.font.pixelSize());
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&tickLabels);
    ASetAxisRect(float(iRect().x()), float(iRect().x() + iRect().width()),
                 float(iRect().y() + iRect().height()), float(iRect().y()));
    ASetLineWidth(0.75f);
    qstrncpy(xLabel(), xTitle.toLatin1().constData(), xLabelSize);
    char yLabel[xLabelSize] = {};
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, spacing, 2);
    ADrawAxis(ymin(), ymax(), yLabel, 2, 1, spacing, 2);
}

void QVRImageView::strokeAxisPath() {
    QPainter* painter = currentPainter();
    painter->setPen(QPen(Qt::black, xAxisPath()->lineWidth()));
    painter->drawPath(*xAxisPath());
}

void QVRImageView::drawAxes() {
    if (!currentPainter())
        return;
    labelAttributes() = QVRTextAttributes::helvetica(18);
    drawAxisBox(labelAttributes(), 0);
    drawString(xLabelString(), float(iRect().x() + 0.5 * iRect().width()), float(iRect().y() - 24),
               2, 3);
    drawRotatedString(yLabelString(), 36, float(iRect().y() + 0.5 * iRect().height()), 2, 2, 90);
    strokeAxisPath();
}

void QVRImageView::drawMaxLocation() {
    QPainter* painter = currentPainter();
    if (!painter || xZmax_ < xmin() || xZmax_ > xmax() || yZmax_ < ymin() || yZmax_ > ymax())
        return;
    const QRectF r = iRect();
    const double px = r.x() + (xZmax_ - xmin()) * r.width() / (xmax() - xmin());
    const double py = r.y() + (yZmax_ - ymin()) * r.height() / (ymax() - ymin());
    QPainterPath cross;
    cross.moveTo(r.x() + 1, py);
    cross.lineTo(px, py);
    cross.lineTo(px, r.y() + 1);
    cross.addEllipse(QPointF(px, py), 4.5, 4.5);
    painter->setPen(QPen(Qt::red, 1.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(cross);
}

void QVRImageView::drawRect(QPainter& painter, const QRectF&) {
    computeRects();
    painter.save();
    drawImage();
    drawAxes();
    painter.restore();
}

void QVRImageView::saveXYZ() {
    openSaveDialog("xyz", "txt", [this](const QString& path) { return writeXYZToFile(path); });
}

bool QVRImageView::writeXYZToFile(const QString& path) {
    const qint64 count = qint64(nr_) * nc_;
    if (!imageFloats_ || count <= 0 || qint64(imageFloats_->size()) < count)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const double dx = (xmax() - xmin()) / double(nc_ - 1);
    const double dy = (ymax() - ymin()) / double(nr_ - 1);
    QByteArray text =
        QString::asprintf("# xmin,xmax,dx = %f, %f %f\n# ymin,ymax,dy = %f, %f %f\n",
                          double(xmin()), double(xmax()), dx, double(ymin()), double(ymax()), dy)
            .toLatin1();
    computeMinMax();
    text += QString::asprintf("# zmin,zmax = %f, %f\n", double(minValue_), double(maxValue_))
                .toLatin1();
    for (int r = 0; r < nr_; ++r) {
        for (int c = 0; c < nc_; ++c)
            text += QString::asprintf(
                        "%f %f %f\n", xmin() + c * dx, ymax() - r * dy,
                        double((*imageFloats_)[std::size_t(r) * std::size_t(nc_) + std::size_t(c)]))
                        .toLatin1();
    }
    return file.write(text) == text.size() && file.commit();
}
