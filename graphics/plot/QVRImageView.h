#pragma once

#include "QVRView.h"
#include "qvr_graphics_export.h"

#include <QImage>

#include <memory>
#include <vector>

// A regular grid of values (row 0 at the top, row-major) shown as a colour picture inside
// framed, labelled axes. Values are coloured with the topography scale or, normalised into
// 0…1 over the value range, with the shade scale of `palette` and `nShades`.
class QVR_GRAPHICS_EXPORT QVRImageView : public QVRView {
    Q_OBJECT
public:
    explicit QVRImageView(QWidget* parent = nullptr);

    // --- the grid
    // Takes `values` (rows × columns, at least that many) as the grid over the current axis
    // limits, colours it and redraws. A buffer shorter than rows × columns is refused.
    bool setupImageData(std::shared_ptr<std::vector<float>> values, int rows, int columns);
    const std::shared_ptr<std::vector<float>>& imageFloats() const { return imageFloats_; }
    void setImageFloats(std::shared_ptr<std::vector<float>> values) {
        imageFloats_ = std::move(values);
    }
    const std::shared_ptr<QByteArray>& imageInts() const { return imageInts_; }
    void setImageInts(std::shared_ptr<QByteArray> values) { imageInts_ = std::move(values); }
    int nr() const { return nr_; }
    int nc() const { return nc_; }
    void setImageNRows(int, int) {} // the grid size changes only with new data

    // --- colouring
    int nShades() const { return nShades_; }
    void setNShades(int n) { nShades_ = n; }
    int palette() const { return palette_; }
    void setPalette(int p) { palette_ = p; }
    bool useTopoValues() const { return useTopoValues_; }
    void setUseTopoValues(bool on) { useTopoValues_ = on; }
    bool inverted() const { return inverted_; }
    void setInverted(bool on) { inverted_ = on; }
    bool hideImage() const { return hideImage_; }
    void setHideImage(bool on) { hideImage_ = on; }
    bool showAxes() const { return showAxes_; }
    void setShowAxes(bool on) { showAxes_ = on; }
    float minValue() const { return minValue_; }
    float maxValue() const { return maxValue_; }
    float scaleFactor() const { return scaleFactor_; }
    void setScaleFactor(float f) { scaleFactor_ = f; }
    // Sets the value range, then makes it symmetric again when it straddles zero.
    void setMin(float min, float max);
    void computeMinMax();
    // scaleFactor = maxValue, or twice the larger side of a range around zero; 1 for 0.
    // Subclasses with another value scaling override it; setupImageData and setMin call it.
    virtual void computeScaleFactor();
    // Builds the picture from the grid; recolouring an existing picture is updateImagePlanes.
    // Both colour every pixel through pixelColour().
    virtual void setupNSImage();
    void updateImagePlanes();
    const QImage& anImage() const { return anImage_; }
    void setAnImage(const QImage& image) { anImage_ = image; }

    // --- the grid's place in data units
    float xminImage() const { return xminImage_; }
    float xmaxImage() const { return xmaxImage_; }
    float yminImage() const { return yminImage_; }
    float ymaxImage() const { return ymaxImage_; }
    float dxImage() const { return dxImage_; }
    float dyImage() const { return dyImage_; }
    void setImageFrame(float xmin, float xmax, float ymin, float ymax, float dx, float dy);

    // --- the peak
    void computeImagePeakLocation();
    void setMaxPointX(float x, float y) {
        xZmax_ = x;
        yZmax_ = y;
    }
    void setMinPointX(float x, float y) {
        xZmin_ = x;
        yZmin_ = y;
    }
    float xZmax() const { return xZmax_; }
    float yZmax() const { return yZmax_; }

    // --- export: a window-modal dialog proposing "xyz_NNN.txt" (the plot counter advances)
    void saveXYZ();
    // x y z lines, rows outer, after a three-line header; false without a grid.
    bool writeXYZToFile(const QString& path);

    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    virtual void drawImage();
    virtual void drawAxes();
    void drawMaxLocation();

protected:
    // The framed axis box around iRect with ticks and labels every `spacing` data units (0:
    // automatic) in `tickLabels`, the x axis titled `xTitle` by the axis library; the line work
    // is left in xAxisPath for strokeAxisPath().
    void drawAxisBox(const QVRTextAttributes& tickLabels, float spacing,
                     const QString& xTitle = QStringLiteral(" "));
    void strokeAxisPath();

    // Sets the grid size and picture directly (the map's loaded pictures).
    void setImageSize(int rows, int columns) {
        nr_ = rows;
        nc_ = columns;
    }
    // The colour of one grid value: the one rule of setupNSImage and updateImagePlanes, so a
    // subclass with another colouring overrides only this.
    virtual QColor pixelColour(float value) const;
    // The colour of red, green and blue (0…255) as drawn: complemented when `inverted` is set.
    QColor shownColour(int red, int green, int blue) const;

private:
    std::shared_ptr<std::vector<float>> imageFloats_;
    std::shared_ptr<QByteArray> imageInts_;
    int nr_ = 0, nc_ = 0;
    int nShades_ = 64;
    int palette_ = 0;
    int floatOrIntData_ = 0; // 0: the grid is imageFloats
    float minValue_ = 0, maxValue_ = 0, scaleFactor_ = 1;
    float xZmax_ = 0, yZmax_ = 0, xZmin_ = 0, yZmin_ = 0;
    float zMin_ = 0, zMax_ = 0;
    float xminImage_ = 0, xmaxImage_ = 0, yminImage_ = 0, ymaxImage_ = 0, dxImage_ = 0,
          dyImage_ = 0;
    QImage anImage_;
    // The cut-out scaled to the map box, kept while picture, limits and size stay the same:
    // scaling a large picture is the costliest part of a repaint.
    struct scaledCutOut {
        qint64 pictureKey = 0;
        QRect source;
        QSize target;
        QImage image;
    };
    scaledCutOut cutOut_;
    bool showAxes_ = true, inverted_ = false, hideImage_ = false, useTopoValues_ = true;
};
