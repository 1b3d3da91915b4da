#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>

// How far apart two pictures of the same size and 32-bit format are: the pixels that differ
// and the largest difference of one channel.
struct pictureDifference {
    int pixels = 0;
    int largest = 0;
};

inline pictureDifference differenceOf(const QImage& a, const QImage& b) {
    pictureDifference d;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (rowA[x] == rowB[x])
                continue;
            ++d.pixels;
            for (int shift : {0, 8, 16, 24})
                d.largest = std::max(d.largest, std::abs(int((rowA[x] >> shift) & 0xff) -
                                                         int((rowB[x] >> shift) & 0xff)));
        }
    }
    return d;
}
