#include "QVRView.h"
#include "axisLibrary.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

namespace {

// A plot frame with labelled axes, drawn as every plot of the library draws them.
class axisView : public QVRView {
public:
    axisView() {
        setXLimits(0, 60);
        setYLimits(-5, 5);
        setLabelFontSize(12);
    }

    void drawRect(QPainter& painter, const QRectF&) override {
        computeRects();
        painter.fillRect(bounds(), Qt::white);
        xAxisPath()->clear();
        AInitGraphLib();
        ASetFontSize(12);
        ASetPath(xAxisPath().get());
        ASetTickLabelAttributes(&labelAttributes());
        // y grows upwards: the axis box's top is the rectangle's y plus its height.
        const QRectF box = iRect();
        ASetAxisRect(float(box.x()), float(box.x() + box.width()), float(box.y() + box.height()),
                     float(box.y()));
        char xTitle[] = "Time (s)";
        char yTitle[] = "Counts";
        ADrawAxis(xmin(), xmax(), xTitle, 1, 3, 0, 2);
        ADrawAxis(ymin(), ymax(), yTitle, 2, 1, 0, 2);
        painter.setPen(QPen(Qt::black, xAxisPath()->lineWidth()));
        painter.drawPath(*xAxisPath());
    }
};

} // namespace

// Writes a plot frame with axes as a PDF: drawAxis FILE.pdf
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawAxis FILE.pdf\n");
        return 2;
    }
    axisView view;
    view.resize(400, 300);
    if (!view.writePDFToFile(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "drawAxis: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
