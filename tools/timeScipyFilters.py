#!/usr/bin/python3
"""Times SciPy on the work of BM_HighAndLowPassMillionSamples in bench/sacBench.cpp.

The samples are the benchmark's own: 10^6 draws of the 32-bit Mersenne Twister seeded with 7,
each mapped to (r + 0.5) / 2^31 - 1 and rounded to 32-bit floats, so that both sides filter
the same numbers. The filters are the benchmark's too: a 4-pole Butterworth high pass at
0.5 Hz and then a 4-pole low pass at 10 Hz, 100 samples per second, each designed by
butter(..., output='sos') and run twice with sosfilt, forward and then over the reversed
result, reversed back (zero phase, both passes from rest).

Prints the medians of the runs in milliseconds, wall clock and CPU time (as the benchmark reports
both). Run it straight after the benchmark, in the same sitting, so that both figures see the
same load on the machine:

    apt-get install python3-scipy python3-numpy
    tools/timeScipyFilters.py [runs]
"""
import statistics
import sys
import time

import numpy as np
from scipy.signal import butter, sosfilt

SAMPLE_COUNT = 1000000
SAMPLE_RATE = 100.0


def benchmark_samples():
    # RandomState seeded with an integer runs the same initialisation as std::mt19937(7), and
    # full-range 32-bit draws are its raw outputs.
    raw = np.random.RandomState(7).randint(0, 2**32, size=SAMPLE_COUNT, dtype=np.uint32)
    uniform = (raw.astype(np.float64) + 0.5) / 2147483648.0 - 1.0
    return uniform.astype(np.float32).astype(np.float64)


def zero_phase(sos, x):
    y = sosfilt(sos, x)
    return sosfilt(sos, y[::-1])[::-1]


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 15
    x = benchmark_samples()
    high = butter(4, 0.5, btype="highpass", fs=SAMPLE_RATE, output="sos")
    low = butter(4, 10.0, btype="lowpass", fs=SAMPLE_RATE, output="sos")
    zero_phase(low, zero_phase(high, x))  # warm-up: the first call pays for loading code
    wall, cpu = [], []
    for _ in range(runs):
        start, start_cpu = time.perf_counter(), time.process_time()
        zero_phase(low, zero_phase(high, x))
        cpu.append(time.process_time() - start_cpu)
        wall.append(time.perf_counter() - start)
    print("SciPy high and low pass, 4 poles, 2 passes, %d samples, %d runs: median %.2f ms "
          "wall clock, %.2f ms CPU" % (SAMPLE_COUNT, runs, 1e3 * statistics.median(wall),
                                       1e3 * statistics.median(cpu)))


if __name__ == "__main__":
    main()
