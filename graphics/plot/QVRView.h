#pragma once

#include "QVRBezierPath.h"
#include "QVRTextAttributes.h"
#include "QVRViewController.h"
#include "qvr_graphics_export.h"

#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;

// The base of every plot: a widget with a plot frame (pRect, the plot area, and iRect, the
// axes), data limits, text attributes and drawing helpers, plus saving, copying, dragging and
// mouse reports.
//
// Coordinates are points with the origin at the bottom left and y growing upwards. All
// drawing happens in drawRect(), which serves the screen, PDF, images and tests alike; the
// helpers draw with the painter of the drawRect() that is running.
class QVR_GRAPHICS_EXPORT QVRView : public QWidget {
    Q_OBJECT
public:
    explicit QVRView(QWidget* parent = nullptr);
    ~QVRView() override;

    // --- layout
    QRectF bounds() const { return QRectF(0, 0, width(), height()); }
    // pRect = bounds inset by 20, iRect = 50 from the left and bottom, 30 from the right and
    // top. Subclasses lay out their own way.
    virtual void computeRects();
    void viewDidEndLiveResize();
    // Whether the user is dragging the window's edge: from a resize of the shown view until no
    // resize has followed for a moment.
    bool inLiveResize() const { return inLiveResize_; }
    const QRectF& pRect() const { return pRect_; }
    const QRectF& iRect() const { return iRect_; }
    const QRectF& xyRect() const { return xyRect_; }
    void setPRect(const QRectF& r) { pRect_ = r; }
    void setIRect(const QRectF& r) { iRect_ = r; }

    // The picture, in y-up view coordinates; the base draws nothing.
    virtual void drawRect(QPainter& painter, const QRectF& dirtyRect);
    // Runs drawRect() on any painter (a QImage's, a QPdfWriter's) whose device has the view's
    // size: it flips the painter to y-up first.
    void renderInto(QPainter& painter);
    // The painter of the drawRect() that is running, for the helpers and the axis library.
    static QPainter* currentPainter();

    // --- limits; every setter rebuilds xyRect, nothing is checked or swapped
    void setXLimits(float min, float max);
    void setYLimits(float min, float max);
    void setXmin(float v);
    void setXmax(float v);
    void setYmin(float v);
    void setYmax(float v);
    float xmin() const { return xmin_; }
    float xmax() const { return xmax_; }
    float ymin() const { return ymin_; }
    float ymax() const { return ymax_; }
    float zmin() const { return zmin_; }
    float zmax() const { return zmax_; }
    void setZmin(float v) { zmin_ = v; }
    void setZmax(float v) { zmax_ = v; }
    // The smallest y range a subclass may scale to; -12345 until set.
    float minYRange() const { return minYRange_; }
    void setMinYRange(float v) { minYRange_ = v; }
    bool _fixedXAxisRange() const { return fixedXAxisRange_; }
    void set_fixedXAxisRange(bool on) { fixedXAxisRange_ = on; }
    bool _fixedYAxisRange() const { return fixedYAxisRange_; }
    void set_fixedYAxisRange(bool on) { fixedYAxisRange_ = on; }
    const float* margins() const { return margins_; }
    float* margins() { return margins_; }

    // --- titles, labels, text attributes
    const QString& plotTitle() const { return plotTitle_; }
    void setTitle(const QString& title) { plotTitle_ = title; }
    const QString& xLabelString() const { return xLabelString_; }
    void setXLabelString(const QString& s) { xLabelString_ = s; }
    const QString& yLabelString() const { return yLabelString_; }
    void setYLabelString(const QString& s) { yLabelString_ = s; }
    void setLabelFontSize(float points);
    void setTitleFontSize(float points);
    void setTitleColor(const QColor& color) { titleAttributes_.color = color; }
    QVRTextAttributes& labelAttributes() { return labelAttributes_; }
    QVRTextAttributes& sizeLabelAttributes() { return sizeLabelAttributes_; }
    QVRTextAttributes& titleAttributes() { return titleAttributes_; }
    QVRTextAttributes& timeStampAttributes() { return timeStampAttributes_; }
    bool _showPlotTitle() const { return showPlotTitle_; }
    void set_showPlotTitle(bool on) { showPlotTitle_ = on; }
    bool _showZoomRect() const { return showZoomRect_; }
    void set_showZoomRect(bool on) { showZoomRect_ = on; }
    bool _timeStamp() const { return timeStamp_; }
    void set_timeStamp(bool on) { timeStamp_ = on; }
    // The path subclasses give to the axis library; shared, not copied.
    const std::shared_ptr<QVRBezierPath>& xAxisPath() const { return xAxisPath_; }
    void setXAxisPath(const std::shared_ptr<QVRBezierPath>& path) { xAxisPath_ = path; }
    // Scratch text for subclasses' axis titles.
    char* xLabel() { return xLabel_; }
    static constexpr int xLabelSize = 64;

    // --- drawing helpers (only while drawRect runs)
    // Horizontal code 2 centres on x, 3 ends at x, any other starts at x; vertical code 2
    // centres on y, 3 hangs below y, any other stands on y.
    void drawString(const QString& text, float x, float y, int hJust, int vJust);
    // The box drawString() would fill with `text` in the label attributes, y up.
    QRectF stringRect(const QString& text, float x, float y, int hJust, int vJust) const;
    // drawString() over a white backing of the text's box, for labels that lie on traces.
    void drawStringOnBacking(const QString& text, float x, float y, int hJust, int vJust);
    // As drawString, the offsets taken across the turned text; `angle` counter-clockwise.
    void drawRotatedString(const QString& text, float x, float y, int hJust, int vJust,
                           float angle);
    void drawTitle();
    void drawTitleTopCentered();
    void drawTimeStamp();
    void drawViewSize();
    void strokeBounds();
    void fillBounds();
    void fillWithColor(const QColor& fill, const QColor& stroke);

    // --- export and copy
    int pltCount() const { return pltCount_; }
    QMenu* contextualMenu() const { return contextualMenu_; }
    // Each opens a window-modal save dialog proposing "plt_NNN.<ext>" (the counter advances
    // even when the dialog is cancelled) and writes the file when the user confirms.
    void savePDF();
    void saveTIF();
    void savePNG();
    void saveJPG();
    // The dialog of the last save, while it is open.
    QFileDialog* saveDialog() const { return saveDialog_; }
    // Atomic writes of the whole view: PDF as vectors at 72 dpi with the page the size of the
    // bounds, the others from snapshot(); TIFF with LZW compression. False when writing fails.
    bool writePDFToFile(const QString& path) const;
    bool writeTIFToFile(const QString& path) const;
    bool writePNGToFile(const QString& path) const;
    bool writeJPGToFile(const QString& path) const;
    QByteArray pdfData() const;
    // Puts the PDF on the clipboard as application/pdf.
    void copy();
    QImage snapshot() const;
    // The rectangle (y up) drawn into an image; views that render differently off screen
    // override it, and the exports, the copy and the drag-out follow.
    virtual QImage snapshotFromRect(const QRectF& rect) const;

    // --- mouse
    void setController(QVRViewController* controller) { myController_ = controller; }
    QVRViewController* controller() const { return myController_; }
    bool _trackMouse() const { return trackMouse_; }
    void set_trackMouse(bool on);
    double _mouseTrackInterval() const { return mouseTrackInterval_; }
    void set_mouseTrackInterval(double seconds) { mouseTrackInterval_ = seconds; }
    QTimer* _mouseTrackTimer() const { return mouseTrackTimer_; }
    // Reports the pointer to the controller when it lies in iRect (the timer's work).
    void handleTrackedMousePosition();
    // Whether a point of the view (y up) lies in iRect, its edges included.
    bool inIRect(QPointF viewPoint) const;
    // A point of the view (y up) in data units, through iRect and the limits.
    QPointF dataPointForViewPoint(QPointF viewPoint) const;
    // A Qt widget position (y down) as a view point (y up).
    QPointF viewPointForWidgetPosition(QPointF widgetPosition) const;

protected:
    // A view whose picture is slow to redraw (a scaled picture, a grid of values) shows only its
    // size while the window is being resized, and the picture again when the resizing stops.
    // The others draw themselves throughout.
    void setDrawsSizeWhileResizing(bool on) { drawsSizeWhileResizing_ = on; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // Draws `source` of `image` into `target` (y up) the right way up.
    static void drawImageUpright(QPainter& painter, const QRectF& target, const QImage& image,
                                 const QRectF& source);

protected:
    // A window-modal save dialog proposing "<prefix>_NNN.<extension>" from the plot counter,
    // which advances whether or not the user saves; `writer` runs on the chosen path.
    void openSaveDialog(const char* prefix, const char* extension,
                        std::function<bool(const QString&)> writer);

private:
    void rebuildXYRect();
    void dragSnapshot();

    QRectF pRect_, iRect_, xyRect_;
    QVRTextAttributes labelAttributes_, sizeLabelAttributes_, titleAttributes_,
        timeStampAttributes_;
    QString plotTitle_, yLabelString_, xLabelString_;
    bool fixedXAxisRange_ = false, fixedYAxisRange_ = false;
    float xmin_ = 0, xmax_ = 0, ymin_ = 0, ymax_ = 0, zmin_ = 0, zmax_ = 0;
    float minYRange_ = -12345.0f; // "not set"
    float margins_[4] = {};
    int pltCount_ = 0;
    QMenu* contextualMenu_ = nullptr;
    std::shared_ptr<QVRBezierPath> xAxisPath_ = std::make_shared<QVRBezierPath>();
    bool timeStamp_ = false, showZoomRect_ = false, showPlotTitle_ = false, trackMouse_ = false;
    double mouseTrackInterval_ = 0.25; // s
    QTimer* mouseTrackTimer_ = nullptr;
    char xLabel_[xLabelSize] = {};
    QVRViewController* myController_ = nullptr; // not owned

    QTimer liveResizeTimer_; // the end of a live resize: no resize for a moment
    bool inLiveResize_ = false;
    bool drawsSizeWhileResizing_ = false;
    QPointer<QFileDialog> saveDialog_;
};
