#pragma once

#include "QVRTextDrawing.h"
#include "QVRView.h"
#include "SacObject.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

// Views drawn into images and read back in view coordinates (y up), with the texts drawn.
namespace seismogramTestSupport {

inline QImage render(QVRView& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta); // anything the view leaves unpainted shows
    QPainter painter(&image);
    view.renderInto(painter);
    return image;
}

// The pixel covering view point (x, y); pixel centres (… .5) are unambiguous.
inline QColor pixelAt(const QImage& image, double x, double y) {
    return image.pixelColor(int(std::floor(x)), int(std::floor(image.height() - y)));
}

// Whether a pixel within `radius` of (x, y) is not white.
inline bool inkNear(const QImage& image, double x, double y, int radius = 1) {
    const int column = int(std::floor(x)), row = int(std::floor(image.height() - y));
    for (int r = row - radius; r <= row + radius; ++r) {
        for (int c = column - radius; c <= column + radius; ++c) {
            if (image.valid(c, r) && image.pixelColor(c, r) != QColor(Qt::white))
                return true;
        }
    }
    return false;
}

inline std::shared_ptr<SacObject> seismogram(std::vector<float> samples, float delta, float begin,
                                             const QString& label = QString()) {
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), delta, begin, QDateTime());
    if (!label.isNull())
        s->setLabelString(label);
    return s;
}

// A SAC text field set as the format has it: blank-padded, without a terminating zero.
inline void setCode(char (&field)[8], const char* code) {
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, code, std::min(std::strlen(code), sizeof field));
}

// Records every text drawn while it lives.
struct recordedTexts {
    std::vector<QVRTextDrawing::drawnText> all;
    recordedTexts() { QVRTextDrawing::setRecorder(&all); }
    ~recordedTexts() { QVRTextDrawing::setRecorder(nullptr); }
    const QVRTextDrawing::drawnText* find(const QString& text) const {
        for (const auto& t : all) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }
};

} // namespace seismogramTestSupport
