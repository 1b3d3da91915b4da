#include "QVRHistogramView.h"
#include "QVRImageView.h"
#include "QVRStemTimeLineView.h"
#include "QVRTextDrawing.h"
#include "QVRView.h"
#include "SacObject.h"
#include "SeisView01.h"
#include "axisDemoView.h"
#include "geoMapView.h"
#include "qtTestInGoogleTest.h"
#include "qvrFKImageView.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

struct recordingController : QVRViewController {
    QList<QPointF> tracked, clicked;
    void handleTrackedMousePosition(QPointF p) override { tracked << p; }
    void handleClickedMousePosition(QPointF p) override { clicked << p; }
};

// Draws one string through the view's helper, for comparison with a plain painter.
struct textView : QVRView {
    QString text;
    int hJust = 1, vJust = 1;
    QPointF anchor;
    void drawRect(QPainter& painter, const QRectF&) override {
        painter.fillRect(bounds(), Qt::white);
        drawString(text, float(anchor.x()), float(anchor.y()), hJust, vJust);
    }
};

// The value of TIFF tag 259 (compression) in the first directory of a little- or big-endian file.
int tiffCompression(const QByteArray& tiff) {
    if (tiff.size() < 8)
        return -1;
    const bool little = tiff.startsWith("II");
    auto u16 = [&](qsizetype at) {
        return little ? qFromLittleEndian<quint16>(tiff.constData() + at)
                      : qFromBigEndian<quint16>(tiff.constData() + at);
    };
    auto u32 = [&](qsizetype at) {
        return little ? qFromLittleEndian<quint32>(tiff.constData() + at)
                      : qFromBigEndian<quint32>(tiff.constData() + at);
    };
    const qsizetype ifd = u32(4);
    const int entries = u16(ifd);
    for (int i = 0; i < entries; ++i) {
        const qsizetype entry = ifd + 2 + 12 * i;
        if (u16(entry) == 259)
            return u16(entry + 8);
    }
    return -1;
}

// The texts a view draws on screen.
QStringList textsOnScreen(QWidget& view) {
    std::vector<QVRTextDrawing::drawnText> recorded;
    QVRTextDrawing::setRecorder(&recorded);
    view.grab();
    QVRTextDrawing::setRecorder(nullptr);
    QStringList texts;
    for (const auto& t : recorded)
        texts << t.text;
    return texts;
}

// What the view shows on screen, and what it draws off screen at the same size.
QImage onScreen(QWidget& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
QImage offScreen(const QVRView& view) {
    return view.snapshot().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(PlotView, LayoutLimitsAndInitialState) {
    QVRView view;
    view.resize(100, 80);
    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(20, 20, 60, 40));
    EXPECT_EQ(view.iRect(), QRectF(50, 50, 20, 0));
    view.resize(60, 30);
    view.computeRects();
    EXPECT_EQ(view.iRect(), QRectF(50, 50, -20, -50)); // kept as computed

    EXPECT_EQ(view.minYRange(), -12345.0f);
    EXPECT_EQ(view.pltCount(), 0);
    EXPECT_FALSE(view._trackMouse());
    EXPECT_EQ(view._mouseTrackInterval(), 0.25);
    EXPECT_FALSE(view._timeStamp());
    EXPECT_EQ(view.labelAttributes().font.family(), "Helvetica");
    EXPECT_EQ(view.labelAttributes().font.pixelSize(), 18);
    EXPECT_EQ(view.titleAttributes().font.pixelSize(), 18);
    EXPECT_EQ(view.sizeLabelAttributes().font.pixelSize(), 12);
    EXPECT_EQ(view.timeStampAttributes().font.pixelSize(), 9);
    EXPECT_EQ(view.timeStampAttributes().color, QColor(Qt::gray));
    view.setLabelFontSize(10);
    EXPECT_EQ(view.labelAttributes().font.pixelSize(), 10);

    view.setXLimits(0, 10);
    view.setYLimits(-5, 5);
    EXPECT_EQ(view.xyRect(), QRectF(0, -5, 10, 10));
    view.setXmin(20); // above xmax: nothing is swapped
    EXPECT_EQ(view.xyRect(), QRectF(20, -5, -10, 10));

    ASSERT_NE(view.contextualMenu(), nullptr);
    EXPECT_EQ(view.contextualMenu()->title(), "test");
    QStringList items;
    for (QAction* a : view.contextualMenu()->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"Save To PDF", "Save To TIF", "Save To PNG", "Save To JPG",
                                  "Copy As PDF"}));
}

TEST(PlotView, ClicksMapToDataUnitsAndOnlySingleClicksReport) {
    QVRView view;
    view.resize(300, 200);
    view.computeRects(); // iRect (50, 50, 220, 120)
    view.setXLimits(-180, 180);
    view.setYLimits(-90, 90);
    EXPECT_EQ(view.dataPointForViewPoint(QPointF(50, 50)), QPointF(-180, -90));
    EXPECT_EQ(view.dataPointForViewPoint(QPointF(270, 170)), QPointF(180, 90));
    EXPECT_EQ(view.dataPointForViewPoint(QPointF(160, 110)), QPointF(0, 0));
    EXPECT_EQ(view.viewPointForWidgetPosition(QPointF(50, 150)), QPointF(50, 50));

    recordingController controller;
    view.setController(&controller);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // Widget positions are y-down: the lower-left corner of iRect is (50, 150).
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 150));
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(270, 30));
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(10, 10)); // outside iRect
    ASSERT_EQ(controller.clicked.size(), 2);
    EXPECT_EQ(controller.clicked.at(0), QPointF(-180, -90));
    EXPECT_EQ(controller.clicked.at(1), QPointF(180, 90));

    controller.clicked.clear();
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(160, 90));
    EXPECT_LE(controller.clicked.size(), 1); // the first press of the pair only
    QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(160, 90));
    EXPECT_LE(controller.clicked.size(), 1);

    // Tracking reports the pointer each tick while it is over iRect.
    view.set_mouseTrackInterval(0.01);
    view.set_trackMouse(true);
    ASSERT_NE(view._mouseTrackTimer(), nullptr);
    QCursor::setPos(view.mapToGlobal(QPoint(160, 90)));
    view.handleTrackedMousePosition();
    view.set_trackMouse(false);
    EXPECT_EQ(view._mouseTrackTimer(), nullptr);
}

TEST(PlotView, TextIsUprightAndJustified) {
    textView view;
    view.resize(200, 100);
    view.text = QStringLiteral("Fg 12.5");
    view.anchor = QPointF(20, 30);
    const QImage drawn = view.snapshot();

    // The same text drawn by a plain painter, y down: its box's bottom is 30 points above the
    // bottom edge, its baseline one descent higher.
    QImage plain(view.size(), QImage::Format_ARGB32_Premultiplied);
    plain.fill(view.palette().color(QPalette::Window));
    {
        QPainter painter(&plain);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(plain.rect(), Qt::white);
        const QFontMetricsF metrics(view.labelAttributes().font);
        painter.setFont(view.labelAttributes().font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(20, 100 - 30 - metrics.descent()), view.text);
    }
    EXPECT_EQ(drawn, plain);

    // Justification codes move the recorded anchor by the text's width and height.
    std::vector<QVRTextDrawing::drawnText> recorded;
    QVRTextDrawing::setRecorder(&recorded);
    const QSizeF size = view.labelAttributes().measure(view.text);
    for (auto [h, v] : {std::pair{1, 1}, {2, 2}, {3, 3}}) {
        view.hJust = h;
        view.vJust = v;
        view.snapshot();
    }
    QVRTextDrawing::setRecorder(nullptr);
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0].anchor, QPointF(20, 30));
    EXPECT_EQ(recorded[1].anchor, QPointF(20 - size.width() / 2, 30 - size.height() / 2));
    EXPECT_EQ(recorded[2].anchor, QPointF(20 - size.width(), 30 - size.height()));
}

TEST(PlotView, ExportsHaveTheBoundsSizeAndTheSaveCounterIsShared) {
    axisDemoView view;
    view.resize(320, 240);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("plot.pdf"), tif = dir.filePath("plot.tif"),
                  png = dir.filePath("plot.png"), jpg = dir.filePath("plot.jpg");
    ASSERT_TRUE(view.writePDFToFile(pdf));
    ASSERT_TRUE(view.writeTIFToFile(tif));
    ASSERT_TRUE(view.writePNGToFile(png));
    ASSERT_TRUE(view.writeJPGToFile(jpg));

    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdfFile.readAll();
    EXPECT_TRUE(pdfBytes.startsWith("%PDF"));
    EXPECT_TRUE(pdfBytes.contains("/MediaBox [0 0 320.000000 240.000000]"));
    for (const QString& image : {tif, png, jpg}) {
        QImageReader reader(image);
        EXPECT_EQ(reader.size(), QSize(320, 240)) << qPrintable(image);
    }
    QFile tifFile(tif);
    ASSERT_TRUE(tifFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(tiffCompression(tifFile.readAll()), 5); // LZW

    // An export lands whole or not at all.
    EXPECT_FALSE(view.writePNGToFile(dir.filePath("no/such/folder/plot.png")));

    view.copy();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(clipboard, nullptr);
    EXPECT_TRUE(clipboard->data("application/pdf").startsWith("%PDF"));

    view.savePDF();
    ASSERT_NE(view.saveDialog(), nullptr);
    EXPECT_TRUE(view.saveDialog()->selectedFiles().value(0).endsWith("plt_000.pdf"));
    view.saveDialog()->reject();
    view.savePNG();
    EXPECT_TRUE(view.saveDialog()->selectedFiles().value(0).endsWith("plt_001.png"));
    view.saveDialog()->selectFile(dir.filePath("chosen.png"));
    QMetaObject::invokeMethod(view.saveDialog(), "accept");
    EXPECT_TRUE(QFile::exists(dir.filePath("chosen.png")));
    EXPECT_EQ(view.pltCount(), 2);
}

TEST(PlotView, WhileTheWindowIsResizedOnlyImageMapAndFKViewsShowTheirSizeInstead) {
    // Every view in one shown window; resizing a child arrives at once, as each step of a drag
    // on the window's edge does.
    QWidget window;
    window.resize(1300, 700);
    auto* image = new QVRImageView(&window);
    auto* map = new geoMapView(&window);
    auto* fk = new qvrFKImageView(&window);
    auto* timeLine = new QVRStemTimeLineView(&window);
    auto* histogram = new QVRHistogramView(&window);
    auto* seismograms = new SeisView01(&window);
    auto trace = std::make_shared<SacObject>();
    trace->InitWithSamples({0, 3, -2, 5, -4, 1, 0, 2}, 0.5f, 0, QDateTime());
    seismograms->setWvfrmsArray({trace});
    const QList<QVRView*> sized{image, map, fk}, drawn{timeLine, histogram, seismograms};
    const QList<QVRView*> views = sized + drawn;
    for (int i = 0; i < views.size(); ++i)
        views[i]->setGeometry(QRect(QPoint(430 * (i % 3), 340 * (i / 3)), QSize(400, 300)));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (QVRView* view : views)
        view->resize(420, 310);

    // The grids and pictures show only their size …
    for (QVRView* view : sized) {
        ASSERT_TRUE(view->inLiveResize());
        const QStringList texts = textsOnScreen(*view);
        ASSERT_EQ(texts.size(), 1) << texts.join(u'|').toStdString();
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^\\d\\.\\d\\d by \\d\\.\\d\\d \\(inches\\)$"))
                .match(texts.first())
                .hasMatch())
            << texts.first().toStdString();
        EXPECT_NE(onScreen(*view), offScreen(*view));
    }
    // (the image view's axes box is 324 by 230 points at this size)
    EXPECT_EQ(textsOnScreen(*image), QStringList{QStringLiteral("4.50 by 3.19 (inches)")});
    // … while the time line, the histogram and the seismograms draw their picture throughout,
    // laid out for the new size.
    for (QVRView* view : drawn) {
        ASSERT_TRUE(view->inLiveResize());
        EXPECT_FALSE(textsOnScreen(*view).join(u'|').contains(QStringLiteral("(inches)")));
        const QImage shown = onScreen(*view);
        EXPECT_EQ(shown.size(), QSize(420, 310));
        EXPECT_EQ(shown, offScreen(*view));
    }

    // When the resizing stops the pictures come back.
    QTRY_VERIFY_WITH_TIMEOUT(!image->inLiveResize() && !map->inLiveResize() && !fk->inLiveResize(),
                             30000);
    for (QVRView* view : sized) {
        EXPECT_FALSE(textsOnScreen(*view).join(u'|').contains(QStringLiteral("(inches)")));
        EXPECT_EQ(onScreen(*view), offScreen(*view));
    }
}
