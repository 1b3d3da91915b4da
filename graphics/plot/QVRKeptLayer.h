#pragma once

#include <QImage>
#include <QObject>
#include <QPaintDevice>

#include <functional>
#include <utility>

// A part of a view's picture kept between frames as a transparent layer of device pixels,
// with what it was drawn for (`Key`: the view's geometry and settings) and whether what it
// shows has changed since (changed()).
//
// Given a runner (a worker the application offers), a view has a stale layer drawn there,
// from a copy of what it shows, and repaints when it arrives, so that no paint pass of the
// window stamps thousands of symbols; without one the paint pass draws it, as it always may.
//
// Lives on its view's thread; only the drawing handed to the runner runs on the worker, and
// its outcome comes back by a queued call to the view, which the runner's owner must keep
// alive, or stop the runner's work, as long as work is on its way.
template <typename Key>
class QVRKeptLayer {
public:
    using runner = std::function<void(std::function<void()>)>;

    // Whether a layer serves `device`: pixels (screen, images) at one pixel per point. Vector
    // devices (PDF) and high-density screens are drawn on directly.
    static bool serves(const QPaintDevice& device) {
        const int type = device.devType();
        return (type == QInternal::Image || type == QInternal::Widget ||
                type == QInternal::Pixmap) &&
               device.devicePixelRatioF() == 1;
    }
    void setRunner(runner r) { runner_ = std::move(r); }
    // What the layer shows changed: the one kept is stale from now on.
    void changed() { ++generation_; }
    // The layer drawn for `key` of what is shown now, or none.
    const QImage* current(const Key& key) const {
        return !image_.isNull() && drawnGeneration_ == generation_ && key_ == key ? &image_
                                                                                  : nullptr;
    }
    // The layer last drawn and what for, current or not.
    const QImage& last() const { return image_; }
    const Key& lastKey() const { return key_; }
    // A new layer for `key` is on its way from the runner.
    bool isDrawing(const Key& key) const {
        return drawing_ && drawingGeneration_ == generation_ && drawingKey_ == key;
    }
    void keep(QImage image, const Key& key) {
        image_ = std::move(image);
        key_ = key;
        drawnGeneration_ = generation_;
    }
    void drop() { image_ = QImage(); }
    // The view was painted on screen, with or without a layer.
    void viewPainted() { viewPainted_ = true; }

    // Has `draw` (which may use only what it holds) make the layer for `key` on the runner,
    // unless it is current or on its way; `receiver` then keeps it and calls `arrived` on its
    // own thread, unless what the layer shows has changed meanwhile or a layer of it was drawn
    // in a paint pass meanwhile. False when nothing is drawn in the background: no runner, no
    // paint of the view on screen yet, or the layer is current.
    bool drawInBackground(QObject* receiver, const Key& key, std::function<QImage()> draw,
                          std::function<void()> arrived) {
        // Until the view has been on screen there is nothing to show while a layer is drawn:
        // its first paint draws it, and a second drawing beside it would only slow that paint.
        if (!runner_ || !viewPainted_ || current(key))
            return false;
        if (isDrawing(key))
            return true;
        drawing_ = true;
        drawingGeneration_ = generation_;
        drawingKey_ = key;
        const quint64 generation = generation_;
        runner_([this, receiver, key, generation, draw = std::move(draw),
                 arrived = std::move(arrived)] {
            QImage image = draw();
            QMetaObject::invokeMethod(
                receiver,
                [this, key, generation, image = std::move(image), arrived] {
                    if (drawingGeneration_ == generation && drawingKey_ == key)
                        drawing_ = false;
                    // Drawn for what is no longer shown, or the paint pass could not wait.
                    if (generation != generation_ || drawnGeneration_ == generation_)
                        return;
                    keep(image, key);
                    arrived();
                },
                Qt::QueuedConnection);
        });
        return true;
    }

private:
    runner runner_;
    QImage image_;
    Key key_{};
    quint64 generation_ = 0, drawnGeneration_ = 0, drawingGeneration_ = 0;
    bool drawing_ = false;
    bool viewPainted_ = false;
    Key drawingKey_{};
};
