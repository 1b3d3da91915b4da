#pragma once

#include "qvr_graphics_export.h"

// One symbol of the map, normally one earthquake: a circle of radius 12 × symbolSize points
// filled with the map's colour number colorIndex (none when negative) at opacity alpha.
class QVR_GRAPHICS_EXPORT geoMapPoint {
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
    float symbolSize() const { return symbolSize_; }
    void setSymbolSize(float v) { symbolSize_ = v; }
    int symbolType() const { return symbolType_; }
    void setSymbolType(int v) { symbolType_ = v; }
    int colorIndex() const { return colorIndex_; }
    void setColorIndex(int v) { colorIndex_ = v; }
    float alpha() const { return alpha_; }
    void setAlpha(float v) { alpha_ = v; }

private:
    float lat_ = 0;   // degrees
    float lon_ = 0;   // degrees
    float depth_ = 0; // km, carried, not drawn
    float symbolSize_ = 0;
    int symbolType_ = 0; // carried: every symbol is a circle
    int colorIndex_ = 0;
    float alpha_ = 1.0f;
};
