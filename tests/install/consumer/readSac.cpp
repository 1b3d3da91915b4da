#include "SacObject.h"

#include <cstdio>

// Prints a few header values of a SAC file, one "name value" a line: readSac FILE.sac
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: readSac FILE.sac\n");
        return 2;
    }
    SacObject seismogram;
    if (!seismogram.InitWithContentsOfFile(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "readSac: %s\n", qPrintable(seismogram.errorString()));
        return 1;
    }
    std::printf("station %s\n", qPrintable(seismogram.kstnm()));
    std::printf("npts %d\n", seismogram.npts());
    std::printf("delta %g\n", double(seismogram.delta()));
    std::printf("gcarc %.3f\n", double(seismogram.gcarc()));
    std::printf("origin %s\n", qPrintable(seismogram.oTimeString()));
    std::printf("region %s\n", qPrintable(seismogram.flinnEngdahlGeographicRegion()));
    return 0;
}
