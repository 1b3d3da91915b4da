#pragma once

#include "QVRView.h"
#include "axisLibrary.h"

#include <QPainter>

// A plot with nothing but its frame: a white background, the title, an axis box with ticks
// and labels, as every plot of the library draws them. Used by the tests and the demo.
class axisDemoView : public QVRView {
public:
    explicit axisDemoView(QWidget* parent = nullptr)
        : QVRView(parent) {
        setXLimits(0, 100);
        setYLimits(-10, 10);
        setLabelFontSize(12);
        setTitle(QStringLiteral("Demo"));
    }

    void drawRect(QPainter& painter, const QRectF&) override {
        computeRects();
        painter.fillRect(bounds(), Qt::white);
        xAxisPath()->clear();
        AInitGraphLib();
        ASetFontSize(12);
        ASetPath(xAxisPath().get());
        ASetTickLabelAttributes(&labelAttributes());
        ASetAxisRect(float(iRect().x()), float(iRect().x() + iRect().width()),
                     float(iRect().y() + iRect().height()), float(iRect().y()));
        ASetLineWidth(0.75f);
        char xTitle[] = "Time (s)";
        char yTitle[] = "Amplitude";
        ADrawAxis(xmin(), xmax(), xTitle, 1, 3, 0, 2);
        ADrawAxis(ymin(), ymax(), yTitle, 2, 1, 0, 2);
        painter.setPen(QPen(Qt::black, xAxisPath()->lineWidth()));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(*xAxisPath());
        drawTitleTopCentered();
    }
};
