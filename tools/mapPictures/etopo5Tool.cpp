// Writes the classic ETOPO5 grid "etopo5.i2" from the netCDF relief of Debian's
// ferret-datasets: 2160 rows × 4320 columns of 16-bit signed metres in native byte order,
// row 0 at 90° N going south in 5' steps, column 0 at 0° E going east.
//
//   etopo5Tool /usr/share/ferret-vis/data/etopo5.cdf OUTPUT/etopo5.i2
//
// The source holds 2161 rows from −90 to +90 (both poles): the −90 row is dropped and the
// rest written north first. Every value is a whole number of metres within 16 bits.
#include <netcdf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

int fail(const char* what, int status) {
    std::fprintf(stderr, "etopo5Tool: %s: %s\n", what, nc_strerror(status));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: etopo5Tool SOURCE.cdf OUTPUT.i2\n");
        return 2;
    }
    constexpr std::size_t rows = 2160, columns = 4320;
    int file = 0, variable = 0, status = 0;
    if ((status = nc_open(argv[1], NC_NOWRITE, &file)) != NC_NOERR)
        return fail(argv[1], status);
    if ((status = nc_inq_varid(file, "ROSE", &variable)) != NC_NOERR)
        return fail("no ROSE variable", status);
    int dimensions[2] = {};
    int dimensionCount = 0;
    nc_inq_varndims(file, variable, &dimensionCount);
    std::size_t sourceRows = 0, sourceColumns = 0;
    if (dimensionCount != 2 || nc_inq_vardimid(file, variable, dimensions) != NC_NOERR ||
        nc_inq_dimlen(file, dimensions[0], &sourceRows) != NC_NOERR ||
        nc_inq_dimlen(file, dimensions[1], &sourceColumns) != NC_NOERR || sourceRows != rows + 1 ||
        sourceColumns != columns) {
        std::fprintf(stderr, "etopo5Tool: ROSE is not the 2161 x 4320 grid\n");
        return 1;
    }
    std::vector<float> heights(sourceRows * sourceColumns);
    if ((status = nc_get_var_float(file, variable, heights.data())) != NC_NOERR)
        return fail("reading ROSE", status);
    nc_close(file);

    std::vector<int16_t> grid(rows * columns);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t sourceRow = sourceRows - 1 - r; // north first; row 0 (−90°) is dropped
        for (std::size_t c = 0; c < columns; ++c)
            grid[r * columns + c] = int16_t(std::lround(heights[sourceRow * sourceColumns + c]));
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out || std::fwrite(grid.data(), sizeof(int16_t), grid.size(), out) != grid.size()) {
        std::fprintf(stderr, "etopo5Tool: cannot write %s\n", argv[2]);
        if (out)
            std::fclose(out);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
