#include "QVRView.h"

#include "QVRDateFormatter.h"
#include "QVRTextDrawing.h"
#include "timeZones.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

QPainter* activePainter = nullptr;

// The painter drawRect() draws with, for as long as it runs.
class currentPainterScope {
public:
    explicit currentPainterScope(QPainter* painter)
        : previous_(activePainter) {
        activePainter = painter;
    }
    ~currentPainterScope() { activePainter = previous_; }

private:
    QPainter* previous_;
};

// Edges included: a click on the last point of the axes reports the upper limits.
bool containsInclusive(const QRectF& r, QPointF p) {
    return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
}

// A Qt image turned into its file's bytes; TIFF with LZW compression.
QByteArray encodedImage(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "tiff") == 0)
        writer.setCompression(1); // LZW
    writer.write(image);
    return bytes;
}

bool writeAtomically(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QVRView::QVRView(QWidget* parent)
    : QWidget(parent)
    , labelAttributes_(QVRTextAttributes::helvetica(18))
    , sizeLabelAttributes_(QVRTextAttributes::helvetica(12))
    , titleAttributes_(QVRTextAttributes::helvetica(18))
    , timeStampAttributes_(QVRTextAttributes::helvetica(9, Qt::gray)) {
    contextualMenu_ = new QMenu(QStringLiteral("test"), this);
    contextualMenu_->addAction(QStringLiteral("Save To PDF"), this, &QVRView::savePDF);
    contextualMenu_->addAction(QStringLiteral("Save To TIF"), this, &QVRView::saveTIF);
    contextualMenu_->addAction(QStringLiteral("Save To PNG"), this, &QVRView::savePNG);
    contextualMenu_->addAction(QStringLiteral("Save To JPG"), this, &QVRView::saveJPG);
    contextualMenu_->addAction(QStringLiteral("Copy As PDF"), this, &QVRView::copy);

    liveResizeTimer_.setSingleShot(true);
    liveResizeTimer_.setInterval(250);
    connect(&liveResizeTimer_, &QTimer::timeout, this, &QVRView::viewDidEndLiveResize);
    setMouseTracking(true); // for the cross cursor over the plot area
}

QVRView::~QVRView() {
    set_trackMouse(false);
}

// --- layout and drawing

void QVRView::computeRects() {
    const QRectF b = bounds();
    pRect_ = QRectF(20, 20, b.width() - 40, b.height() - 40);
    iRect_ = QRectF(50, 50, pRect_.width() - 40, pRect_.height() - 40);
}

void QVRView::viewDidEndLiveResize() {
    inLiveResize_ = false;
    computeRects();
    update();
}

void QVRView::drawRect(QPainter&, const QRectF&) {}

QPainter* QVRView::currentPainter() {
    return activePainter;
}

void QVRView::renderInto(QPainter& painter) {
    painter.save();
    painter.translate(0, height());
    painter.scale(1, -1);
    painter.setRenderHint(QPainter::Antialiasing);
    {
        const currentPainterScope scope(&painter);
        drawRect(painter, bounds());
    }
    painter.restore();
}

void QVRView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!inLiveResize_ || !drawsSizeWhileResizing_) {
        renderInto(painter);
        return;
    }
    // While the user drags the window's edge only the size is drawn; the picture follows
    // when the resizing stops (setDrawsSizeWhileResizing).
    painter.translate(0, height());
    painter.scale(1, -1);
    const currentPainterScope scope(&painter);
    computeRects();
    drawViewSize();
}

void QVRView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool live = isVisible() && event->oldSize().isValid() && !event->oldSize().isEmpty();
    if (live) {
        inLiveResize_ = true;
        liveResizeTimer_.start();
    }
    // The size placeholder lays itself out; a picture drawn throughout follows the size at once.
    if (!live || !drawsSizeWhileResizing_)
        computeRects();
}

// --- limits

void QVRView::rebuildXYRect() {
    xyRect_ = QRectF(xmin_, ymin_, xmax_ - xmin_, ymax_ - ymin_);
}

void QVRView::setXLimits(float min, float max) {
    xmin_ = min;
    xmax_ = max;
    rebuildXYRect();
}

void QVRView::setYLimits(float min, float max) {
    ymin_ = min;
    ymax_ = max;
    rebuildXYRect();
}

void QVRView::setXmin(float v) {
    xmin_ = v;
    rebuildXYRect();
}

void QVRView::setXmax(float v) {
    xmax_ = v;
    rebuildXYRect();
}

void QVRView::setYmin(float v) {
    ymin_ = v;
    rebuildXYRect();
}

void QVRView::setYmax(float v) {
    ymax_ = v;
    rebuildXYRect();
}

void QVRView::setLabelFontSize(float points) {
    labelAttributes_.font = QVRTextAttributes::helvetica(points).font;
}

void QVRView::setTitleFontSize(float points) {
    titleAttributes_.font = QVRTextAttributes::helvetica(points).font;
}

// --- drawing helpers

QRectF QVRView::stringRect(const QString& text, float x, float y, int hJust, int vJust) const {
    const QSizeF size = labelAttributes_.measure(text);
    double ax = x, ay = y;
    if (hJust == 2)
        ax -= size.width() / 2;
    else if (hJust == 3)
        ax -= size.width();
    if (vJust == 2)
        ay -= size.height() / 2;
    else if (vJust == 3)
        ay -= size.height();
    return QRectF(QPointF(ax, ay), size);
}

void QVRView::drawString(const QString& text, float x, float y, int hJust, int vJust) {
    if (!activePainter)
        return;
    // In y-up coordinates the rectangle's "top left" is its bottom-left corner, the anchor.
    QVRTextDrawing::drawText(*activePainter, text, stringRect(text, x, y, hJust, vJust).topLeft(),
                             labelAttributes_);
}

void QVRView::drawStringOnBacking(const QString& text, float x, float y, int hJust, int vJust) {
    if (!activePainter || text.isEmpty())
        return;
    // A little wider than the text, and nearly opaque: the trace under it shows as a shadow
    // at most, and the text stays readable however busy the trace is.
    const QRectF box = stringRect(text, x, y, hJust, vJust).adjusted(-2, 0, 2, 0);
    activePainter->fillRect(box, QColor::fromRgbF(1, 1, 1, 0.85));
    drawString(text, x, y, hJust, vJust);
}

void QVRView::drawRotatedString(const QString& text, float x, float y, int hJust, int vJust,
                                float angle) {
    if (!activePainter)
        return;
    // The offsets run across the turned text: its height along x, its width along y.
    const QSizeF size = labelAttributes_.measure(text);
    double ax = x, ay = y;
    if (hJust == 2)
        ax -= size.height() / 2;
    else if (hJust == 3)
        ax -= size.height();
    if (vJust == 2)
        ay -= size.width() / 2;
    else if (vJust == 3)
        ay -= size.width();
    QVRTextDrawing::drawText(*activePainter, text, QPointF(ax, ay), labelAttributes_, angle);
}

void QVRView::drawTitle() {
    if (!activePainter || plotTitle_.isEmpty())
        return;
    const QSizeF size = titleAttributes_.measure(plotTitle_);
    QVRTextDrawing::drawText(*activePainter, plotTitle_,
                             QPointF(iRect_.x() + iRect_.width() - size.width() - 24,
                                     iRect_.y() + iRect_.height() - 2 * size.height()),
                             titleAttributes_);
}

void QVRView::drawTitleTopCentered() {
    if (!activePainter || plotTitle_.isEmpty())
        return;
    const QSizeF size = titleAttributes_.measure(plotTitle_);
    QVRTextDrawing::drawText(*activePainter, plotTitle_,
                             QPointF(iRect_.x() + (iRect_.width() - size.width()) * 0.5,
                                     iRect_.y() + iRect_.height() + 4),
                             titleAttributes_);
}

void QVRView::drawTimeStamp() {
    if (!activePainter)
        return;
    const QVRDateFormatter formatter(QStringLiteral("yyyy-MM-dd HH:mm:ss Z"),
                                     timeZones::systemTimeZone());
    const QString stamp = formatter.stringFromDate(QDateTime::currentDateTimeUtc());
    const QSizeF size = timeStampAttributes_.measure(stamp);
    const QRectF b = bounds();
    QVRTextDrawing::drawText(*activePainter, stamp,
                             QPointF(b.x() + b.width() - size.width() - 6, b.y() + 6),
                             timeStampAttributes_);
}

void QVRView::drawViewSize() {
    if (!activePainter)
        return;
    activePainter->setPen(Qt::black);
    activePainter->setBrush(Qt::NoBrush);
    activePainter->drawRect(iRect_);
    const QString text =
        QString::asprintf("%.2f by %.2f (inches)", iRect_.width() / 72.0, iRect_.height() / 72.0);
    const QSizeF size = sizeLabelAttributes_.measure(text);
    QVRTextDrawing::drawText(*activePainter, text,
                             QPointF(iRect_.x() + 0.5 * (iRect_.width() - size.width()),
                                     iRect_.y() + 0.5 * (iRect_.height() - size.height())),
                             sizeLabelAttributes_);
}

void QVRView::strokeBounds() {
    if (!activePainter)
        return;
    activePainter->setPen(Qt::black);
    activePainter->setBrush(Qt::NoBrush);
    activePainter->drawRect(bounds());
}

void QVRView::fillBounds() {
    if (!activePainter)
        return;
    // The current colour is the brush's when one is set, else the pen's.
    const QBrush& brush = activePainter->brush();
    activePainter->fillRect(bounds(), brush.style() != Qt::NoBrush ? brush.color()
                                                                   : activePainter->pen().color());
}

void QVRView::fillWithColor(const QColor& fill, const QColor& stroke) {
    if (!activePainter)
        return;
    activePainter->fillRect(bounds(), fill);
    activePainter->setPen(stroke);
    activePainter->setBrush(Qt::NoBrush);
    activePainter->drawRect(bounds());
}

// --- export and copy

void QVRView::openSaveDialog(const char* prefix, const char* extension,
                             std::function<bool(const QString&)> writer) {
    // The counter counts dialogs opened, shared by all formats.
    const QString name = QString::asprintf("%s_%3.3d.%s", prefix, pltCount_++, extension);
    auto* dialog = new QFileDialog(window(), QStringLiteral("Save Plot"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(QStringLiteral("*.%1").arg(QLatin1StringView(extension)));
    dialog->setDefaultSuffix(QLatin1StringView(extension));
    dialog->selectFile(name);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this,
            [writer](const QString& path) { writer(path); });
    saveDialog_ = dialog;
    dialog->open();
}

void QVRView::savePDF() {
    openSaveDialog("plt", "pdf", [this](const QString& path) { return writePDFToFile(path); });
}

void QVRView::saveTIF() {
    openSaveDialog("plt", "tif", [this](const QString& path) { return writeTIFToFile(path); });
}

void QVRView::savePNG() {
    openSaveDialog("plt", "png", [this](const QString& path) { return writePNGToFile(path); });
}

void QVRView::saveJPG() {
    openSaveDialog("plt", "jpg", [this](const QString& path) { return writeJPGToFile(path); });
}

QByteArray QVRView::pdfData() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72); // one unit of the painter is one point
        writer.setPageSize(QPageSize(QSizeF(width(), height()), QPageSize::Point, QString(),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("Quorvel"));
        QPainter painter(&writer);
        const_cast<QVRView*>(this)->renderInto(painter);
    }
    return bytes;
}

bool QVRView::writePDFToFile(const QString& path) const {
    return writeAtomically(path, pdfData());
}

bool QVRView::writeTIFToFile(const QString& path) const {
    return writeAtomically(path, encodedImage(snapshot(), "tiff"));
}

bool QVRView::writePNGToFile(const QString& path) const {
    return writeAtomically(path, encodedImage(snapshot(), "png"));
}

bool QVRView::writeJPGToFile(const QString& path) const {
    return writeAtomically(path, encodedImage(snapshot(), "jpeg"));
}

void QVRView::copy() {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/pdf"), pdfData());
    QGuiApplication::clipboard()->setMimeData(data);
}

QImage QVRView::snapshot() const {
    return snapshotFromRect(bounds());
}

QImage QVRView::snapshotFromRect(const QRectF& rect) const {
    if (width() <= 0 || height() <= 0)
        return {};
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&image);
        const_cast<QVRView*>(this)->renderInto(painter);
    }
    // The rectangle is y-up; the image's rows run downwards.
    const QRect rows(int(rect.x()), int(height() - rect.y() - rect.height()), int(rect.width()),
                     int(rect.height()));
    return rows == image.rect() ? image : image.copy(rows);
}

void QVRView::drawImageUpright(QPainter& painter, const QRectF& target, const QImage& image,
                               const QRectF& source) {
    painter.save();
    painter.translate(target.left(), target.top() + target.height());
    painter.scale(1, -1); // images are stored top row first
    painter.drawImage(QRectF(0, 0, target.width(), target.height()), image, source);
    painter.restore();
}

// --- mouse

void QVRView::set_trackMouse(bool on) {
    trackMouse_ = on;
    if (on) {
        mouseTrackTimer_ = new QTimer(this);
        mouseTrackTimer_->setInterval(int(mouseTrackInterval_ * 1000));
        connect(mouseTrackTimer_, &QTimer::timeout, this, &QVRView::handleTrackedMousePosition);
        mouseTrackTimer_->start();
    } else {
        delete mouseTrackTimer_;
        mouseTrackTimer_ = nullptr;
    }
}

QPointF QVRView::viewPointForWidgetPosition(QPointF widgetPosition) const {
    return QPointF(widgetPosition.x(), height() - widgetPosition.y());
}

bool QVRView::inIRect(QPointF viewPoint) const {
    return containsInclusive(iRect_, viewPoint);
}

QPointF QVRView::dataPointForViewPoint(QPointF p) const {
    return QPointF(xmin_ + (p.x() - iRect_.x()) * ((xmax_ - xmin_) / iRect_.width()),
                   ymin_ + (p.y() - iRect_.y()) * ((ymax_ - ymin_) / iRect_.height()));
}

void QVRView::handleTrackedMousePosition() {
    const QPointF p = viewPointForWidgetPosition(mapFromGlobal(QCursor::pos()));
    if (myController_ && containsInclusive(iRect_, p))
        myController_->handleTrackedMousePosition(dataPointForViewPoint(p));
}

void QVRView::mousePressEvent(QMouseEvent* event) {
    if (event->modifiers() & Qt::ShiftModifier) {
        dragSnapshot();
        return;
    }
    // A double click arrives here as a second press of its own type: it reports nothing.
    if (event->type() != QEvent::MouseButtonPress || event->button() != Qt::LeftButton)
        return;
    const QPointF p = viewPointForWidgetPosition(event->position());
    if (myController_ && containsInclusive(iRect_, p))
        myController_->handleClickedMousePosition(dataPointForViewPoint(p));
}

void QVRView::dragSnapshot() {
    const QImage image = snapshot();
    if (image.isNull())
        return;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/tiff"), encodedImage(image, "tiff"));
    QPixmap faded(image.size());
    faded.fill(Qt::transparent);
    {
        QPainter painter(&faded);
        painter.setOpacity(0.75);
        painter.drawImage(0, 0, image);
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(faded);
    drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2)); // centred on the pointer
    drag->exec(Qt::CopyAction);
}

void QVRView::mouseMoveEvent(QMouseEvent* event) {
    if (containsInclusive(pRect_, viewPointForWidgetPosition(event->position())))
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void QVRView::contextMenuEvent(QContextMenuEvent* event) {
    contextualMenu_->popup(event->globalPos());
}
