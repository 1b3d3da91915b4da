#include "flinnEngdahl.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace flinnEngdahlTables {
extern const unsigned char names_asc_data[];
extern const std::size_t names_asc_size;
extern const unsigned char quadsidx_asc_data[];
extern const std::size_t quadsidx_asc_size;
extern const unsigned char nesect_asc_data[];
extern const std::size_t nesect_asc_size;
extern const unsigned char nwsect_asc_data[];
extern const std::size_t nwsect_asc_size;
extern const unsigned char sesect_asc_data[];
extern const std::size_t sesect_asc_size;
extern const unsigned char swsect_asc_data[];
extern const std::size_t swsect_asc_size;
extern const unsigned char gr_to_sr_txt_data[];
extern const std::size_t gr_to_sr_txt_size;
extern const unsigned char seismic_region_names_txt_data[];
extern const std::size_t seismic_region_names_txt_size;
} // namespace flinnEngdahlTables

namespace {

constexpr int geographicRegionCount = 757;
constexpr int seismicRegionCount = 50;
constexpr int latitudeRows = 91;      // 0 … 90 degrees
constexpr int longitudeColumns = 180; // 0 … 179 degrees
const char* const unknownGeographicName = "UNKNOWN REGION";
const char* const unknownSeismicName = "Unknown Region";

enum quadrant { northEast, northWest, southEast, southWest };

QByteArray embedded(const unsigned char* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

QList<int> integersIn(const QByteArray& text) {
    QList<int> numbers;
    for (const QByteArray& word : text.simplified().split(' ')) {
        bool ok = false;
        const int n = word.toInt(&ok);
        if (ok)
            numbers.append(n);
    }
    return numbers;
}

// The data lines of a tab-separated table, without its '#' comment lines.
QList<QList<QByteArray>> tableRows(const QByteArray& text) {
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        rows.append(line.split('\t'));
    }
    return rows;
}

// The tables, parsed once from the compiled-in files. After construction nothing changes,
// so reading them from several threads is safe.
struct regionTables {
    std::array<std::string, geographicRegionCount + 1> geographicNames;
    std::array<std::string, seismicRegionCount + 1> seismicNames;
    std::array<int, geographicRegionCount + 1> seismicOfGeographic{};
    // Geographic region of each one-degree cell: [quadrant][|latitude|][|longitude|].
    std::array<uint16_t, 4 * latitudeRows * longitudeColumns> cells{};

    regionTables() {
        using namespace flinnEngdahlTables;
        geographicNames.fill(unknownGeographicName);
        seismicNames.fill(unknownSeismicName);

        const QList<QByteArray> names = embedded(names_asc_data, names_asc_size).split('\n');
        for (int n = 1; n <= geographicRegionCount && n - 1 < names.size(); ++n)
            geographicNames[n] = names.at(n - 1).trimmed().toStdString();

        for (const auto& row : tableRows(embedded(gr_to_sr_txt_data, gr_to_sr_txt_size))) {
            const int greg = row.value(0).trimmed().toInt();
            const int sreg = row.value(1).trimmed().toInt();
            if (greg >= 1 && greg <= geographicRegionCount && sreg >= 1 &&
                sreg <= seismicRegionCount)
                seismicOfGeographic[greg] = sreg;
        }
        for (const auto& row :
             tableRows(embedded(seismic_region_names_txt_data, seismic_region_names_txt_size))) {
            const int sreg = row.value(0).trimmed().toInt();
            if (sreg >= 1 && sreg <= seismicRegionCount && row.size() > 1)
                seismicNames[sreg] = row.at(1).trimmed().toStdString();
        }

        const QList<int> pairsPerRow = integersIn(embedded(quadsidx_asc_data, quadsidx_asc_size));
        const QByteArray sections[4] = {
            embedded(nesect_asc_data, nesect_asc_size), embedded(nwsect_asc_data, nwsect_asc_size),
            embedded(sesect_asc_data, sesect_asc_size), embedded(swsect_asc_data, swsect_asc_size)};
        for (int q = 0; q < 4; ++q)
            fillQuadrant(q, integersIn(sections[q]), pairsPerRow);
    }

    // A section file lists, row by row, (longitude, region) pairs: each region runs from its
    // longitude to the next pair's, the last one to 180.
    void fillQuadrant(int q, const QList<int>& numbers, const QList<int>& pairsPerRow) {
        qsizetype next = 0;
        for (int lat = 0; lat < latitudeRows; ++lat) {
            const int pairs = int(pairsPerRow.value(q * latitudeRows + lat));
            for (int p = 0; p < pairs; ++p) {
                const qsizetype at = next + 2 * p;
                const int from = numbers.value(at);
                const int region = numbers.value(at + 1);
                const int to = p + 1 < pairs ? numbers.value(at + 2) : longitudeColumns;
                for (int lon = std::max(from, 0); lon < std::min(to, longitudeColumns); ++lon)
                    cells[cellIndex(q, lat, lon)] = uint16_t(region);
            }
            next += 2 * qsizetype(pairs);
        }
    }

    static std::size_t cellIndex(int q, int lat, int lon) {
        return (std::size_t(q) * latitudeRows + std::size_t(lat)) * longitudeColumns +
               std::size_t(lon);
    }
};

const regionTables& tables() {
    static const regionTables t;
    return t;
}

} // namespace

void fe_lookup(float latitude, int, float longitude, int, int* geographicRegion,
               int* seismicRegion) {
    int greg = 0;
    if (latitude >= -90.0f && latitude <= 90.0f && std::isfinite(longitude)) {
        // Longitudes wrap into (-180, 180]: the date line itself belongs to the east side,
        // whose last cell of each row runs up to 180°, as the published test points have it.
        double lon = std::fmod(double(longitude) + 180.0, 360.0);
        if (lon < 0)
            lon += 360.0;
        lon -= 180.0;
        if (lon == -180.0)
            lon = 180.0;
        const bool north = latitude >= 0.0f;
        const bool east = lon >= 0.0;
        const int q = north ? (east ? northEast : northWest) : (east ? southEast : southWest);
        const int row = std::min(int(std::fabs(latitude)), latitudeRows - 1);
        const int column = std::min(int(std::fabs(lon)), longitudeColumns - 1);
        greg = tables().cells[regionTables::cellIndex(q, row, column)];
    }
    if (geographicRegion)
        *geographicRegion = greg;
    if (seismicRegion)
        *seismicRegion =
            greg >= 1 && greg <= geographicRegionCount ? tables().seismicOfGeographic[greg] : 0;
}

void fe_region(const int* geographicRegion, const char** geographicName, const int* seismicRegion,
               const char** seismicName) {
    const regionTables& t = tables();
    if (geographicName) {
        const int g = geographicRegion ? *geographicRegion : 0;
        *geographicName = g >= 1 && g <= geographicRegionCount ? t.geographicNames[g].c_str()
                                                               : unknownGeographicName;
    }
    if (seismicName) {
        const int s = seismicRegion ? *seismicRegion : 0;
        *seismicName =
            s >= 1 && s <= seismicRegionCount ? t.seismicNames[s].c_str() : unknownSeismicName;
    }
}
