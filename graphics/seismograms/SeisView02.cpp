#include "SeisView02.h"

#include "axisLibrary.h"
#include "tracePath.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The axis library takes its titles as Latin-1 C strings in the view's scratch buffer.
void copyTitle(char* buffer, const QString& title) {
    qstrncpy(buffer, title.isNull() ? "" : title.toLatin1().constData(), QVRView::xLabelSize);
}

// Room between the view's left edge and the turned amplitude title.
constexpr float yTitleInset = 8;

} // namespace

SeisView02::SeisView02(QWidget* parent)
    : SeisView01(parent) {}

QString SeisView02::labelForPath(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".sac"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QRectF SeisView02::traceRect(int index, int count) const {
    const QRectF plot = pRect();
    if (plotStyle_ != panelStyle || count <= 0)
        return plot;
    const double height = plot.height() / count;
    return QRectF(plot.x(), plot.y() + plot.height() - (index + 1) * height, plot.width(), height);
}

void SeisView02::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    painter.setPen(Qt::black);
    if (wvfrmsArray().isEmpty())
        return;
    computeRects();
    computePlotLimits();
    painter.save();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(pRect());
    const int n = int(wvfrmsArray().size());
    for (int i = 0; i < n; ++i) {
        const QRectF rect = traceRect(i, n);
        drawSeismogram(wvfrmsArray().at(i).get(), rect);
        drawLabelForSignal(wvfrmsArray().at(i).get(), rect);
    }
    drawAxesOnRect(pRect());
    drawTitleTopCentered();
    painter.restore();
}

void SeisView02::drawSeismogram(const SacObject* seismogram, const QRectF& rect) {
    QPainter* painter = currentPainter();
    if (!painter || !seismogram || !(seismogram->delta() > 0) || !seismogram->GetSacSeis())
        return;
    const int count = seismogram->npts();
    const double delta = seismogram->delta();
    const double sx = rect.width() / (double(xmax()) - xmin());
    const double sy = rect.height() / (double(ymax()) - ymin());
    if (count <= 0 || !std::isfinite(sx) || !(sx > 0) || !std::isfinite(sy) || !(sy > 0))
        return;

    // Drawing starts at the first sample at or after xmin, placed at xmin itself.
    int first = 0;
    double start = seismogram->b();
    if (xmin() > seismogram->b()) {
        const double skipped = std::trunc((double(xmin()) - seismogram->b()) / delta);
        if (skipped >= count)
            return;
        first = int(skipped);
        start = xmin();
    }
    int last = count - 1;
    if (xmax() < seismogram->e()) {
        const double span = std::trunc((double(xmax()) - xmin()) / delta);
        last = int(std::clamp(first + span - 1, double(first), double(count - 1)));
    }

    tracePath::sampleMapping m;
    m.x0 = rect.x() + (start - xmin()) * sx - first * delta * sx;
    m.dx = delta * sx;
    m.y0 = rect.y() - double(ymin()) * sy;
    m.dy = sy;
    QPolygonF points =
        tracePath::tracePoints(seismogram->GetSacSeis(), last + 1, first, m, *painter, rect.left(),
                               rect.right(), drawsEverySample());
    // Clamping is monotonic, so clamping the envelope's points clamps every sample it stands
    // for; the first point is left where it is.
    const double bottom = rect.y(), top = rect.y() + rect.height();
    for (qsizetype k = 1; k < points.size(); ++k)
        points[k].setY(std::clamp(points[k].y(), bottom, top));
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(points);
    painter->restore();
}

void SeisView02::drawLabelForSignal(const SacObject* seismogram, const QRectF& rect) {
    if (!seismogram)
        return;
    drawString(labelForPath(seismogram->path()), float(rect.x() + 18),
               float(rect.y() + rect.height() - 18), 1, 3);
}

void SeisView02::drawAxesOnRect(const QRectF& rect) {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    xAxisPath()->clear();
    AInitGraphLib();
    ASetYAxisPowerFlag(1);
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&labelAttributes());
    ASetAxisRect(float(rect.left()), float(rect.right()), float(rect.y() + rect.height()),
                 float(rect.y()));
    ASetFontSize(labelAttributes().font.pixelSize());
    ASetLineWidth(0.75f);
    copyTitle(xLabel(), xLabelString());
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
    if (plotStyle_ != panelStyle) {
        xLabel()[0] = '\0';
        ADrawAxis(ymin(), ymax(), xLabel(), 2, 1, 0, 2);
    }
    painter->strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    // Turned counter-clockwise, the text's height runs to the left of its anchor.
    if (!yLabelString().isEmpty()) {
        const double height = labelAttributes().measure(yLabelString()).height();
        drawRotatedString(yLabelString(), float(bounds().x() + yTitleInset + height),
                          float(rect.y() + rect.height() / 2), 1, 2, 90);
    }
}
