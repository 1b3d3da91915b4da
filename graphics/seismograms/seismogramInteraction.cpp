#include "seismogramInteraction.h"

#include "seismogramReadings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A press and release closer than this are a click, not a span.
constexpr double smallestSpan = 3; // view points
// One notch of an ordinary wheel.
constexpr double notch = 120;
// Float limits several hours from their zero keep milliseconds; narrower spans would not
// draw.
constexpr double narrowestTime = 1e-3; // s

} // namespace

seismogramInteraction::seismogramInteraction(QVRView& view, seismogramCursor& cursor)
    : QObject(&view)
    , view_(view)
    , cursor_(cursor) {
    view_.setFocusPolicy(Qt::StrongFocus);
    view_.setMouseTracking(true);
    view_.installEventFilter(this);
}

seismogramInteraction* seismogramInteraction::attach(QVRView* view) {
    auto* cursor = dynamic_cast<seismogramCursor*>(view);
    return cursor ? new seismogramInteraction(*view, *cursor) : nullptr;
}

double seismogramInteraction::timeAtX(double viewX) const {
    return view_.dataPointForViewPoint(QPointF(viewX, view_.iRect().y())).x();
}

void seismogramInteraction::setLimits(double from, double to) {
    if (!std::isfinite(from) || !std::isfinite(to) || !(to - from >= narrowestTime))
        return;
    view_.set_fixedXAxisRange(true);
    view_.setXLimits(float(from), float(to));
    view_.update();
    Q_EMIT limitsChanged();
}

void seismogramInteraction::zoomAbout(double aboutX, double factor) {
    view_.computeRects();
    const double t = timeAtX(aboutX);
    setLimits(t - (t - view_.xmin()) * factor, t + (view_.xmax() - t) * factor);
}

void seismogramInteraction::panBy(double points) {
    view_.computeRects();
    const double seconds = points * (double(view_.xmax()) - view_.xmin()) / view_.iRect().width();
    setLimits(view_.xmin() - seconds, view_.xmax() - seconds);
}

void seismogramInteraction::zoomToSpan(double fromX, double toX) {
    view_.computeRects();
    const double a = timeAtX(std::min(fromX, toX)), b = timeAtX(std::max(fromX, toX));
    setLimits(a, b);
}

void seismogramInteraction::showWholeRecord() {
    const auto [from, to] = cursor_.wholeRecordXLimits();
    setLimits(from, to);
}

std::optional<std::pair<double, double>> seismogramInteraction::selection() const {
    if (drag_ != dragging::selecting)
        return std::nullopt;
    return std::pair{std::min(pressX_, lastX_), std::max(pressX_, lastX_)};
}

void seismogramInteraction::showReadingAt(QPointF viewPoint) {
    view_.computeRects();
    const std::optional<seismogramReading> reading = cursor_.readingAt(viewPoint);
    Q_EMIT readingChanged(reading ? seismogramReadings::text(*reading) : QString());
}

void seismogramInteraction::takeKeyboard() {
    // P, S and Home are meant for the plot under the pointer, not for the combo box or button
    // last used; text being typed in a field keeps its keys.
    const QWidget* focus = QApplication::focusWidget();
    if (view_.hasFocus() || (focus && focus->testAttribute(Qt::WA_InputMethodEnabled)))
        return;
    view_.setFocus(Qt::MouseFocusReason);
}

bool seismogramInteraction::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &view_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF p = view_.viewPointForWidgetPosition(wheel->position());
        view_.computeRects();
        const double steps = wheel->angleDelta().y() / notch;
        if (steps == 0 || !view_.inIRect(p))
            return false;
        zoomAbout(p.x(), std::pow(zoomStep, steps));
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        drag_ = dragging::none;
        if (band_)
            band_->hide();
        showWholeRecord();
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF p = view_.viewPointForWidgetPosition(mouse->position());
        view_.computeRects();
        view_.setFocus(Qt::MouseFocusReason);
        if (mouse->button() != Qt::LeftButton || !view_.inIRect(p))
            return false;
        pressX_ = lastX_ = p.x();
        drag_ = mouse->modifiers() & Qt::ShiftModifier ? dragging::selecting : dragging::panning;
        return true;
    }
    case QEvent::Enter:
        takeKeyboard();
        return false;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF p = view_.viewPointForWidgetPosition(mouse->position());
        if (!pointerInside_)
            takeKeyboard();
        pointer_ = p;
        pointerInside_ = true;
        if (drag_ == dragging::panning) {
            const double moved = p.x() - lastX_;
            lastX_ = p.x();
            panBy(moved);
        } else if (drag_ == dragging::selecting) {
            lastX_ = std::clamp(p.x(), view_.iRect().left(), view_.iRect().right());
            if (!band_)
                band_ = new QRubberBand(QRubberBand::Rectangle, &view_);
            const auto [from, to] = *selection();
            const QRectF axes = view_.iRect();
            // Widget coordinates run down from the top.
            band_->setGeometry(
                QRectF(from, view_.height() - axes.bottom(), to - from, axes.height())
                    .toAlignedRect());
            band_->show();
        }
        showReadingAt(p);
        return drag_ != dragging::none;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || drag_ == dragging::none)
            return false;
        const dragging was = drag_;
        drag_ = dragging::none;
        if (band_)
            band_->hide();
        const double x = view_.viewPointForWidgetPosition(mouse->position()).x();
        if (was == dragging::selecting && std::abs(x - pressX_) >= smallestSpan)
            zoomToSpan(pressX_, std::clamp(x, view_.iRect().left(), view_.iRect().right()));
        return true;
    }
    case QEvent::Leave:
        pointerInside_ = false;
        Q_EMIT readingChanged(QString());
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Home) {
            showWholeRecord();
            return true;
        }
        if ((key->key() == Qt::Key_P || key->key() == Qt::Key_S) && pointerInside_ &&
            key->modifiers() == Qt::NoModifier) {
            const QString phase =
                key->key() == Qt::Key_P ? QStringLiteral("P") : QStringLiteral("S");
            if (!cursor_.pickAt(pointer_, phase))
                return false;
            view_.update();
            Q_EMIT picked(phase);
            showReadingAt(pointer_);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}
