#!/usr/bin/env python3
"""Writes contestant folders of layout files for trying and timing ionveto-report.

usage: make-report-sample.py OUTDIR [FOLDERS [LAYOUTS]]   (default 30 folders, 5 layouts)

Each folder is named after a contestant number and holds LAYOUTS layout files
(Windows-1250, CR LF, as the program saves them) with two peaked spectra, one of
them with a ROI result that disagrees with its counts, the contestant's own
detector (the same in all their layouts), plus a text file that is no layout.
"""
import math
import os
import random
import sys


def spectrum(rng, centre, height, width):
    counts = {}
    for ch in range(0, 1001):
        v = height * math.exp(-((ch - centre) / width) ** 2 / 2)
        n = int(round(v + rng.random() * 2))
        if n > 0:
            counts[ch] = n
    return counts


def roi(counts, lo, hi):
    gross = sum(counts.get(c, 0) for c in range(lo, hi + 1))
    weighted = sum(c * counts.get(c, 0) for c in range(lo, hi + 1))
    return gross, (weighted / gross if gross else (lo + hi) / 2)


def section(name, number, counts, lo, hi, brutto, kozep):
    lines = [f"[{name}]", f"Spektrum={number}", f"ROI_Minimum={lo}", f"ROI_Maximum={hi}",
             f"ROI_Brutto={brutto}", f"ROI_Közép={kozep:.4f}"]
    lines += [f"Ch{c}={n}" for c, n in sorted(counts.items())]
    return lines


def layout(rng, user, index, wrong, folder):
    mass = 100 + 10 * index
    lines = ["[User]", f"Name={user}", "[Config]",
             f"REM0={user}. versenyző, {index + 1}. mérés: a csúcs középe jól látszik",
             "REM1=Megjegyzés: ő, ű, Ő, Ű is megmarad",
             "Type=" + ("Ismeretlen" if index % 2 else "Teszt"),
             f"B_terero={0.80 + 0.01 * index:.2f}", f"Mm={mass}", f"Mközép={mass}",
             "Blende_1=0.02", "Blende_2=0.02", "Blende_3=0.008", "Helyzet=0",
             "Preset=2000", "Összes=2000", "Detector=Active"]
    # Each contestant places the detector once, a little apart from the others.
    dx, dy = folder % 9 - 4, 2 * (folder % 5)
    lines += [f"DetPoint{k + 1}_{a}={v}" for k, (x, y) in enumerate([(236, 460), (237, 483), (238, 506)])
              for a, v in (("X", x + dx), ("Y", y + dy))]
    for s in (1, 2):
        counts = spectrum(rng, 300 + 80 * s + 10 * index, 150 + 40 * s, 12 + 3 * s)
        lo, hi = 250 + 80 * s, 420 + 80 * s
        brutto, kozep = roi(counts, lo, hi)
        if wrong and s == 2:
            brutto += 17   # a hand-edited result that its counts do not give
        lines += section(f"Spectrum{s}", s, counts, lo, hi, brutto, kozep)
    return "\r\n".join(lines) + "\r\n"


def main():
    out = sys.argv[1]
    folders = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    layouts = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    rng = random.Random(7)
    for f in range(folders):
        user = str(10 + f)
        d = os.path.join(out, user)
        os.makedirs(d, exist_ok=True)
        for i in range(layouts):
            text = layout(rng, user, i, wrong=(f % 7 == 3 and i == 0), folder=f)
            with open(os.path.join(d, f"meres{i + 1}.ini"), "wb") as fh:
                fh.write(text.encode("cp1250"))
        with open(os.path.join(d, "jegyzet.txt"), "wb") as fh:
            fh.write("Ez nem elrendezés.\r\n".encode("cp1250"))


if __name__ == "__main__":
    main()
