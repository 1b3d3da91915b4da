#!/usr/bin/python3
"""Writes the reference output that the Butterworth filter tests compare with.

Each case filters the samples of tests/data/sac/obspy_seism.sac with SciPy: butter(...,
output='sos') designs the filter, sosfilt runs one pass, and two passes are sosfilt forward,
then sosfilt over the reversed result, reversed back (both passes start at rest).

    apt-get install python3-scipy
    tools/makeFilterReference.py > tests/data/sac/filter_reference.txt
"""
import os
import struct
import sys

import numpy as np
from scipy.signal import butter, sosfilt

CASES = [  # kind, corner (Hz), passes, poles
    ("highpass", 1.0, 1, 4),
    ("highpass", 1.0, 2, 4),
    ("lowpass", 5.0, 1, 3),
    ("lowpass", 5.0, 2, 3),
    ("highpass", 0.5, 1, 1),
    ("lowpass", 20.0, 2, 10),
    ("highpass", 10.0, 2, 7),
]


def read_sac(path):
    data = open(path, "rb").read()
    delta = struct.unpack_from("<f", data, 0)[0]
    npts = struct.unpack_from("<i", data, 79 * 4)[0]
    samples = np.frombuffer(data, dtype="<f4", count=npts, offset=632)
    return delta, samples.astype(np.float64)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    delta, x = read_sac(os.path.join(here, "..", "tests", "data", "sac", "obspy_seism.sac"))
    out = sys.stdout
    out.write("# Butterworth reference output made by tools/makeFilterReference.py\n")
    for kind, corner, passes, poles in CASES:
        sos = butter(poles, corner, btype=kind, fs=1.0 / delta, output="sos")
        y = sosfilt(sos, x)
        if passes == 2:
            y = sosfilt(sos, y[::-1])[::-1]
        out.write("case %s %g %d %d %d\n" % (kind, corner, passes, poles, len(y)))
        for v in y:
            out.write("%.9g\n" % v)


if __name__ == "__main__":
    main()
