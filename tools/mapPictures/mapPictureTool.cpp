// Makes the map's background pictures from the public-domain imagery of Marble's data
// (Debian package marble-qt-data), at the exact pixel sizes the map view expects:
//
//   mapPictureTool MARBLE_EARTH_FOLDER OUTPUT_FOLDER [ETOPO5_GRID]
//
// The "wide" pictures span longitude −180…360: the world, then its first half again, so that
// any map window in that range is one cut-out. Blue Marble feeds the three colour pictures;
// the grey SRTM relief tiles (a 16 × 8 grid of 675-pixel tiles, north at the top) feed the
// relief picture (unless the ETOPO5 grid is given: then that picture is the grid coloured with
// the topography scale) and the western United States crop.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include "colorScales.h"

#include <cstdio>

namespace {

// The world picture (−180…180, north up) widened to span −180…360 at width × height.
QImage widened(const QImage& world, int width, int height) {
    const int worldWidth = width * 360 / 540;
    const QImage scaled =
        world.scaled(worldWidth, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage wide(width, height, QImage::Format_RGB32);
    QPainter painter(&wide);
    painter.drawImage(0, 0, scaled);
    painter.drawImage(worldWidth, 0, scaled, 0, 0, width - worldWidth, height);
    return wide;
}

QImage reliefMosaic(const QDir& earth) {
    constexpr int tile = 675, columns = 16, rows = 8;
    QImage mosaic(columns * tile, rows * tile, QImage::Format_RGB32);
    mosaic.fill(Qt::black);
    QPainter painter(&mosaic);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QString path =
                earth.filePath(QString::asprintf("srtm/3/%06d/%06d_%06d.jpg", r, r, c));
            const QImage piece(path);
            if (piece.isNull()) {
                std::fprintf(stderr, "mapPictureTool: missing relief tile %s\n", qPrintable(path));
                return {};
            }
            painter.drawImage(c * tile, r * tile, piece);
        }
    }
    return mosaic;
}

// The ETOPO5 grid (2160 × 4320 heights, north first, 0° E at the left) as a world picture
// from −180° in the topography colours.
QImage topographyPicture(const QString& path) {
    constexpr int rows = 2160, columns = 4320;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < qint64(rows) * columns * 2)
        return {};
    const QByteArray bytes = file.readAll();
    const auto* heights = reinterpret_cast<const int16_t*>(bytes.constData());
    QImage world(columns, rows, QImage::Format_RGB32);
    for (int r = 0; r < rows; ++r) {
        auto* line = reinterpret_cast<QRgb*>(world.scanLine(r));
        for (int c = 0; c < columns; ++c) {
            // Column 0 of the picture is −180°, which is column 2160 of the grid.
            const int16_t h =
                heights[std::size_t(r) * columns + std::size_t((c + columns / 2) % columns)];
            int red = 0, green = 0, blue = 0, alpha = 0;
            getTopoColorValues(float(h), 0, &red, &green, &blue, &alpha);
            line[c] = qRgb(red, green, blue);
        }
    }
    return world;
}

bool save(const QImage& image, const QDir& out, const char* name, const char* format) {
    QImageWriter writer(out.filePath(QString::fromLatin1(name)), format);
    if (qstrcmp(format, "tiff") == 0)
        writer.setCompression(1); // LZW
    else
        writer.setQuality(90);
    if (!writer.write(image)) {
        std::fprintf(stderr, "mapPictureTool: cannot write %s: %s\n", name,
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: mapPictureTool MARBLE_EARTH_FOLDER OUTPUT_FOLDER [ETOPO5_GRID]\n");
        return 2;
    }
    const QDir earth(QString::fromLocal8Bit(argv[1]));
    QDir out(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("."));

    QImageReader::setAllocationLimit(0);
    const QImage blueMarble(earth.filePath(QStringLiteral("bluemarble/bluemarble.jpg")));
    const QImage relief = reliefMosaic(earth);
    if (blueMarble.isNull() || relief.isNull()) {
        std::fprintf(stderr, "mapPictureTool: the Marble imagery is incomplete in %s\n", argv[1]);
        return 1;
    }

    bool ok = save(widened(blueMarble, 3072, 1024), out, "nasa_satellite_wide.tif", "tiff");
    ok = save(widened(blueMarble, 8100, 2700), out, "natural_wide.jpg", "jpeg") && ok;
    ok = save(widened(blueMarble, 3600, 1200), out, "living_earth_wide.jpg", "jpeg") && ok;
    const QImage topography =
        argc == 4 ? topographyPicture(QString::fromLocal8Bit(argv[3])) : QImage();
    ok = save(widened(topography.isNull() ? relief : topography, 10800, 3600), out,
              "noaa_image_wide.jpg", "jpeg") &&
         ok;

    // The western United States, −130…−105 by 30…52, from the relief mosaic (north up,
    // 30 pixels a degree).
    const double perDegree = relief.width() / 360.0;
    const QRect west(int((-130 + 180) * perDegree), int((90 - 52) * perDegree), int(25 * perDegree),
                     int(22 * perDegree));
    const QImage westernUS = relief.copy(west)
                                 .scaled(613, 540, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_Grayscale8);
    ok = save(westernUS, out, "wusGray.tif", "tiff") && ok;
    return ok ? 0 : 1;
}
