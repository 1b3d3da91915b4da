#pragma once

#include "qvr_graphics_export.h"

// A line drawn on the map from a position: eastValue and northValue, times scaleFactor points.
class QVR_GRAPHICS_EXPORT geoMapVector {
public:
    void setLatLonDepth(float lat, float lon, float depth) {
        lat_ = lat;
        lon_ = lon;
        depth_ = depth;
    }
    float lat() const { return lat_; }
    void setLat(float v) { lat_ = v; }
    float lon() const { return lon_; }
    void setLon(float v) { lon_ = v; }
    float depth() const { return depth_; }
    void setDepth(float v) { depth_ = v; }
    float scaleFactor() const { return scaleFactor_; }
    void setScaleFactor(float v) { scaleFactor_ = v; }
    int symbolType() const { return symbolType_; }
    void setSymbolType(int v) { symbolType_ = v; }
    int colorIndex() const { return colorIndex_; }
    void setColorIndex(int v) { colorIndex_ = v; }
    float alpha() const { return alpha_; }
    void setAlpha(float v) { alpha_ = v; }
    float northValue() const { return northValue_; }
    void setNorthValue(float v) { northValue_ = v; }
    float eastValue() const { return eastValue_; }
    void setEastValue(float v) { eastValue_ = v; }
    float downValue() const { return downValue_; }
    void setDownValue(float v) { downValue_ = v; }

private:
    float lat_ = 0, lon_ = 0, depth_ = 0;
    float scaleFactor_ = 0; // points per unit of the components
    int symbolType_ = 0, colorIndex_ = 0;
    float alpha_ = 1.0f;
    float northValue_ = 0, eastValue_ = 0, downValue_ = 0;
};
