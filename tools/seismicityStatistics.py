#!/usr/bin/env python3
"""Gutenberg-Richter figures of a catalogue file, worked out apart from the program.

    seismicityStatistics.py FILE [--min-mag M] [--max-mag M]

FILE is a USGS GeoJSON feed (.geojson/.json) or a USGS CSV feed (.csv). Prints
events, mc, n_above_mc, b, b_error and a, one "name value" a line, as
`Quorvel --print statistics` does; the tests keep these numbers as expected values.

Magnitudes are binned from their decimal text (Decimal, halves away from zero), so the
0.1 bins do not depend on binary fractions; events without a magnitude are left out.
"""
import argparse
import csv
import json
import math
from collections import Counter
from decimal import ROUND_HALF_UP, Decimal

TENTH = Decimal("0.1")


def read_magnitudes(path):
    if path.lower().endswith(".csv"):
        with open(path, newline="", encoding="utf-8") as f:
            return [Decimal(row["mag"]) for row in csv.DictReader(f) if row["mag"].strip()]
    with open(path, encoding="utf-8") as f:
        feed = json.load(f, parse_float=Decimal, parse_int=Decimal)
    features = feed["features"] if "features" in feed else [feed]
    return [ft["properties"]["mag"] for ft in features
            if ft["properties"].get("mag") is not None]


def figures(magnitudes):
    bins = Counter(m.quantize(TENTH, rounding=ROUND_HALF_UP) for m in magnitudes)
    out = {"events": len(magnitudes), "mc": math.nan, "n_above_mc": 0,
           "b": math.nan, "b_error": math.nan, "a": math.nan}
    if not bins:
        return out
    most = max(bins.values())
    mc = min(b for b, n in bins.items() if n == most)  # ties: the smallest magnitude
    above = [float(m) for m in magnitudes if m.quantize(TENTH, rounding=ROUND_HALF_UP) >= mc]
    n = len(above)
    out["mc"] = float(mc)
    out["n_above_mc"] = n
    if n < 2:
        return out
    mean = sum(above) / n
    b = math.log10(math.e) / (mean - (float(mc) - 0.05))
    out["b"] = b
    out["b_error"] = 2.30 * b * b * math.sqrt(sum((m - mean) ** 2 for m in above) / (n * (n - 1)))
    out["a"] = math.log10(n) + b * float(mc)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--min-mag", type=Decimal)
    parser.add_argument("--max-mag", type=Decimal)
    args = parser.parse_args()
    magnitudes = [m for m in read_magnitudes(args.file)
                  if (args.min_mag is None or m >= args.min_mag)
                  and (args.max_mag is None or m <= args.max_mag)]
    f = figures(magnitudes)

    def fixed(value, decimals):
        return "nan" if math.isnan(value) else f"{value:.{decimals}f}"

    print(f"events {f['events']}")
    print(f"mc {fixed(f['mc'], 2)}")
    print(f"n_above_mc {f['n_above_mc']}")
    print(f"b {fixed(f['b'], 3)}")
    print(f"b_error {fixed(f['b_error'], 3)}")
    print(f"a {fixed(f['a'], 3)}")


if __name__ == "__main__":
    main()
