#include "seismogramFile.h"

#include <cstdio>

// Prints one line per seismogram of a SAC or miniSEED file: readWaveforms FILE
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: readWaveforms FILE\n");
        return 2;
    }
    const QVRResult<std::vector<SacObject>> read =
        seismogramFile::fromFile(QString::fromLocal8Bit(argv[1]));
    if (!read) {
        std::fprintf(stderr, "readWaveforms: %s\n", qPrintable(read.error()));
        return 1;
    }
    for (const SacObject& s : read.value())
        std::printf("%s %d\n", qPrintable(s.standardFileName()), s.npts());
    return 0;
}
