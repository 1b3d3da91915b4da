#pragma once

#include "QVRView.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <optional>
#include <utility>

class QRubberBand;

// Zooming, panning, the read-out and picks for any seismogram view, through what the view
// answers as a seismogramCursor. It watches the view's events: the wheel zooms time about the
// pointer, dragging pans, Shift-dragging zooms to the span selected (shown while dragging), a
// double click or the Home key returns to the whole record, P and S set that pick where the
// pointer is. Each changes only the view's x limits (fixed from then on), so exports show what
// the screen shows, and asks for a redraw. The view takes the keyboard when it is clicked or
// the pointer enters it, so that those keys reach it after another control was used.
//
// Lives on the main thread as a child of its view.
class QVR_GRAPHICS_EXPORT seismogramInteraction : public QObject {
    Q_OBJECT
public:
    // `view` must be the seismogramCursor; the helper goes with it.
    seismogramInteraction(QVRView& view, seismogramCursor& cursor);
    // Attaches a helper to a view that is a seismogramCursor; nullptr for any other view.
    static seismogramInteraction* attach(QVRView* view);

    QVRView& view() const { return view_; }
    // The limits after each step, in the view's time units.
    std::pair<float, float> xLimits() const { return {view_.xmin(), view_.xmax()}; }
    // Each wheel step shows this share of the time span.
    static constexpr double zoomStep = 0.8;

    // Shows `factor` times the span, the time at view x `aboutX` staying where it is.
    void zoomAbout(double aboutX, double factor);
    // Moves the time axis by `points` of the view, to the right for a positive number (the
    // record follows the pointer).
    void panBy(double points);
    // Shows the span between the view x positions `fromX` and `toX`, in either order.
    void zoomToSpan(double fromX, double toX);
    void showWholeRecord();
    // The span being selected, in view x; none while no Shift-drag runs.
    std::optional<std::pair<double, double>> selection() const;

Q_SIGNALS:
    // The read-out under the pointer as the status line shows it; empty off the plot.
    void readingChanged(const QString& text);
    // The view took pick `phase` on one of its seismograms.
    void picked(const QString& phase);
    // The x limits changed, and a redraw is on its way.
    void limitsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class dragging { none, panning, selecting };

    double timeAtX(double viewX) const;
    void setLimits(double from, double to);
    void showReadingAt(QPointF viewPoint);
    // The keyboard follows the pointer into the view, unless a text field has it.
    void takeKeyboard();

    QVRView& view_;
    seismogramCursor& cursor_;
    dragging drag_ = dragging::none;
    double pressX_ = 0, lastX_ = 0; // view points
    QPointF pointer_;               // the last pointer position, view points
    bool pointerInside_ = false;
    QPointer<QRubberBand> band_;
};
