#include "SeisView02.h"

#include "axisLibrary.h"
#include "seismogramPicks.h"
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

void SeisView02::setPickableSeismograms(const QList<std::shared_ptr<SacObject>>& seismograms) {
    setWvfrmsArray(seismogramList(seismograms.begin(), seismograms.end()));
    pickable_ = seismograms;
}

int SeisView02::panelAt(QPointF viewPoint) const {
    const int n = int(wvfrmsArray().size());
    if (plotStyle_ != panelStyle || n == 0 || !inIRect(viewPoint))
        return -1;
    const QRectF plot = pRect();
    const int index =
        int(std::floor((plot.y() + plot.height() - viewPoint.y()) / (plot.height() / n)));
    return std::clamp(index, 0, n - 1);
}

std::optional<seismogramReading> SeisView02::readingAt(QPointF viewPoint) const {
    if (plotStyle_ != panelStyle)
        return SeisView01::readingAt(viewPoint);
    const int index = panelAt(viewPoint);
    if (index < 0)
        return std::nullopt;
    return readingOfTrace(index, axisTimeAt(viewPoint.x()));
}

bool SeisView02::pickAt(QPointF viewPoint, const QString& phase) {
    const int index = panelAt(viewPoint);
    if (index < 0 || pickable_.size() != wvfrmsArray().size() || !pickable_.at(index))
        return false;
    const double seconds = axisTimeAt(viewPoint.x()) - timeShift(index);
    return setUserPick(*pickable_.at(index), phase, float(seconds));
}

void SeisView02::drawPicks(const SacObject* seismogram, const QRectF& rect, double shift) {
    QPainter* painter = currentPainter();
    const double sx = rect.width() / (double(xmax()) - xmin());
    if (!painter || !seismogram || !std::isfinite(sx) || !(sx > 0))
        return;
    const QFont kept = labelAttributes().font;
    setLabelFontSize(12);
    for (const pickMark& mark : pickMarksOf(*seismogram)) {
        const double time = shift + mark.time;
        if (!(time >= xmin() && time <= xmax()))
            continue;
        const double x = rect.x() + (time - xmin()) * sx;
        painter->save();
        painter->setPen(QPen(mark.origin ? QColor(Qt::blue) : QColor(Qt::red), 1.0));
        painter->drawLine(QPointF(x, rect.y() + 0.15 * rect.height()),
                          QPointF(x, rect.y() + 0.85 * rect.height()));
        painter->restore();
        drawStringOnBacking(mark.label, float(x + 3), float(rect.y() + 0.15 * rect.height()), 1, 1);
    }
    labelAttributes().font = kept;
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
        drawSeismogram(wvfrmsArray().at(i).get(), rect, timeShift(i));
        if (plotStyle_ == panelStyle)
            drawPicks(wvfrmsArray().at(i).get(), rect, timeShift(i));
        drawLabelForSignal(wvfrmsArray().at(i).get(), rect);
    }
    drawAxesOnRect(pRect());
    drawTitleTopCentered();
    painter.restore();
}

void SeisView02::drawSeismogram(const SacObject* seismogram, const QRectF& rect, double shift) {
    QPainter* painter = currentPainter();
    if (!painter || !seismogram || !(seismogram->delta() > 0) || !seismogram->GetSacSeis())
        return;
    const int count = seismogram->npts();
    const double delta = seismogram->delta();
    const double sx = rect.width() / (double(xmax()) - xmin());
    const double sy = rect.height() / (double(ymax()) - ymin());
    if (count <= 0 || !std::isfinite(sx) || !(sx > 0) || !std::isfinite(sy) || !(sy > 0))
        return;

    // From the last sample at or before xmin to the first at or after xmax, each at its own
    // time: the clip cuts the line at the panel's edges, so that a zoomed trace keeps its
    // place however far in it is.
    const double begin = shift + seismogram->b();
    const double skipped = std::floor((double(xmin()) - begin) / delta);
    if (skipped >= count)
        return;
    const int first = int(std::max(0.0, skipped));
    const double through = std::ceil((double(xmax()) - begin) / delta);
    if (through < 0)
        return;
    const int last = int(std::min(double(count - 1), through));

    tracePath::sampleMapping m;
    m.x0 = rect.x() + (begin - xmin()) * sx;
    m.dx = delta * sx;
    m.y0 = rect.y() - double(ymin()) * sy;
    m.dy = sy;
    QPolygonF points =
        tracePath::tracePoints(seismogram->GetSacSeis(), last + 1, first, m, *painter, rect.left(),
                               rect.right(), drawsEverySample());
    // Clamping is monotonic, so clamping the envelope's points clamps every sample it stands
    // for; the first point is left where it is, and the clip keeps it in the panel.
    const double bottom = rect.y(), top = rect.y() + rect.height();
    for (qsizetype k = 1; k < points.size(); ++k)
        points[k].setY(std::clamp(points[k].y(), bottom, top));
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(points);
    painter->restore();
}

void SeisView02::drawLabelForSignal(const SacObject* seismogram, const QRectF& rect) {
    if (!seismogram)
        return;
    // A seismogram from a stream or a download has no file: its codes name it.
    const QString path = labelForPath(seismogram->path());
    drawStringOnBacking(path.isEmpty() ? seismogram->labelString() : path, float(rect.x() + 18),
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
