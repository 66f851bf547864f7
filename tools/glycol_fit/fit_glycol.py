#!/usr/bin/python3
"""Fits the Fourier coefficient tables of the ethylene glycol property functions.

Each glycol property is, at a glycol share g (%) and a temperature t (degC),

    value = A(g) + B1(g) t + B2(g) t^2 + ...        (cp in J/(kg K); viscosity as
                                                     log10 of mPa s, up to t^5)

with A(g) a fixed fifth-degree polynomial and every Bk(g) a truncated Fourier series
a0/2 + sum_k [ak cos(k pi g / L) + bk sin(k pi g / L)] with a fixed number of harmonics N
and half-period L. This program finds the series from the reference grids in
reference_grids.csv (g = 0..60 step 10, t = -10, 0, 20, 40, 60, 80) in two steps:

1. Temperature. At every grid concentration the coefficients Bk are fitted to the
   grid row, with A(g) fixed (it alone gives the t = 0 column): a constrained least
   squares step that keeps every fitted value well inside the rounding interval of the
   printed value. For viscosity the rounding interval is taken in log10 space, where
   the fit is linear.
2. Concentration. For every coefficient the node values B(0), B(10) .. B(60) are
   interpolated by the smoothest trigonometric polynomial of the table's size: among all
   series with N harmonics through the seven nodes, the one with the least integral of
   the squared third derivative over a full period. It continues smoothly past 60 %
   and back round the period to 0 %, so the series has no ringing and the node values
   are kept exactly.

It then evaluates the series the way the engine does (single-precision partial sums,
pi = float(4 atan 1)) and refuses to write the header unless every grid value is
reproduced to the digits shown.

Usage (a Python 3 with numpy and scipy, e.g. Debian's /usr/bin/python3):
    python3 tools/glycol_fit/fit_glycol.py            write src/engine/glycol_coefficients.h
    python3 tools/glycol_fit/fit_glycol.py --report   also print the deviations from the grids
    python3 tools/glycol_fit/fit_glycol.py --check    compare with the committed header only
"""

import argparse
import csv
import math
import pathlib
import sys

try:
    import numpy as np
    from scipy.optimize import minimize
except ImportError:
    sys.exit("needs numpy and scipy (Debian: python3-numpy, python3-scipy; /usr/bin/python3)")

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
GRIDS = HERE / "reference_grids.csv"
HEADER = ROOT / "src" / "engine" / "glycol_coefficients.h"

# The fixed polynomials A(g), c0..c5, as the engine evaluates them.
POLY_A = {
    "cp": (4221.24, -8.81552, -0.434489, 0.00310911, 2.78747e-5, -2.6371e-7),
    "density": (1001.86, 2.12132, -0.0423041, 0.00105156, -1.14852e-5, 4.33288e-8),
    "conductivity": (0.574176, -0.00386928, 8.74643e-5, -2.73712e-6, 3.35989e-8,
                     -1.37783e-10),
    "viscosity": (0.248297, 0.0114403, 6.68495e-5, -4.20271e-7, -6.11731e-9, 7.42797e-11),
}

# The fourteen tables in the engine's order: name, property, power of t, N, L.
TABLES = [
    ("D1", "density", 1, 20, 65), ("D2", "density", 2, 20, 65), ("D3", "density", 3, 30, 65),
    ("C1", "cp", 1, 20, 65), ("C2", "cp", 2, 20, 65), ("C3", "cp", 3, 15, 65),
    ("K1", "conductivity", 1, 20, 65), ("K2", "conductivity", 2, 20, 65),
    ("K3", "conductivity", 3, 15, 65),
    ("V1", "viscosity", 1, 20, 70), ("V2", "viscosity", 2, 20, 70),
    ("V3", "viscosity", 3, 20, 70), ("V4", "viscosity", 4, 20, 70),
    ("V5", "viscosity", 5, 20, 70),
]
MAX_N = 30  # size of the coefficient arrays in the header, a0..a30

DEGREE = {"cp": 3, "density": 3, "conductivity": 3, "viscosity": 5}

# Share of the rounding interval a fitted grid value may use (the rest is headroom for
# the single-precision evaluation).
INTERVAL_SHARE = 0.9

# Order of the derivative whose square the concentration interpolant minimises.
SMOOTHNESS_ORDER = 3

PI_SINGLE = float(np.float32(4.0 * math.atan(1.0)))


# ---------------------------------------------------------------------------- data

def half_unit(text):
    """Half a unit of the last printed digit of a grid value."""
    decimals = len(text.split(".")[1]) if "." in text else 0
    return 0.5 * 10.0 ** -decimals


def read_grids(path):
    """{property: (temperatures, [(g, [printed values])])} from the CSV file."""
    grids = {}
    with open(path, newline="") as f:
        reader = csv.reader(line for line in f if not line.startswith("#"))
        header = next(reader)
        temperatures = np.array([float(x) for x in header[3:]])
        for row in reader:
            if not row:
                continue
            prop, _unit, g, *values = row
            grids.setdefault(prop, (temperatures, []))[1].append((float(g), values))
    return grids


def poly_a(prop, g):
    c = POLY_A[prop]
    return sum(c[i] * g ** i for i in range(6))


# ------------------------------------------------------------ step 1: temperature

def fit_row(prop, g, temperatures, printed):
    """Coefficients B1..Bm at one concentration, from one grid row."""
    m = DEGREE[prop]
    values = np.array([float(x) for x in printed])
    halves = np.array([half_unit(x) for x in printed])
    if prop == "cp":  # the bracket is in J/(kg K)
        values, halves = values * 1000.0, halves * 1000.0
    if prop == "viscosity":  # the fit is in log10 of mPa s
        lo, hi = np.log10(values - halves), np.log10(values + halves)
        centre, width = np.log10(values), (hi - lo) / 2
    else:
        centre, width = values, halves
    a = poly_a(prop, g)
    # Columns scaled by 80^k so the unknowns are of similar size.
    scale = 80.0 ** np.arange(1, m + 1)
    design = np.vstack([temperatures ** k for k in range(1, m + 1)]).T / scale
    use = temperatures != 0  # at t = 0 only A(g) counts
    design, centre, width = design[use], centre[use], width[use]

    def residual(c):
        return (a + design @ c - centre) / width

    start = np.linalg.lstsq(design / width[:, None], (centre - a) / width, rcond=None)[0]
    if np.max(np.abs(residual(start))) > INTERVAL_SHARE:
        cons = [{"type": "ineq", "fun": lambda c: INTERVAL_SHARE - residual(c)},
                {"type": "ineq", "fun": lambda c: INTERVAL_SHARE + residual(c)}]
        res = minimize(lambda c: np.sum(residual(c) ** 2), start, method="SLSQP",
                       constraints=cons, options={"ftol": 1e-14, "maxiter": 500})
        if not res.success or np.max(np.abs(residual(res.x))) > INTERVAL_SHARE + 1e-9:
            sys.exit(f"{prop} at {g} %: no fit in t within the rounding of the grid row")
        start = res.x
    return start / scale


# ---------------------------------------------------------- step 2: concentration

def fourier_basis(g, n, half_period):
    """Rows [1/2, cos(x1), sin(x1), .. cos(xN), sin(xN)] with x = k pi g / L as the
    engine forms it (k and pi single, g single, in double arithmetic)."""
    g = np.atleast_1d(np.asarray(g, dtype=np.float32)).astype(np.float64)
    cols = [np.full_like(g, 0.5)]
    for k in range(1, n + 1):
        x = float(np.float32(k)) * PI_SINGLE * g / float(np.float32(half_period))
        cols += [np.cos(x), np.sin(x)]
    return np.vstack(cols).T


def smoothest_series(nodes, node_values, n, half_period):
    """The trigonometric polynomial with n harmonics through the nodes whose
    SMOOTHNESS_ORDER-th derivative has the least mean square over the period."""
    phi = fourier_basis(nodes, n, half_period)
    k = np.repeat(np.arange(1, n + 1), 2)
    weight = np.concatenate([[0.0], (k * math.pi / half_period) ** (2 * SMOOTHNESS_ORDER)])
    # Normalise so the system is well scaled; the constant term carries no penalty.
    weight /= weight[-1]
    size = 2 * n + 1
    kkt = np.zeros((size + len(nodes), size + len(nodes)))
    kkt[:size, :size] = 2 * np.diag(weight)
    kkt[:size, size:] = phi.T
    kkt[size:, :size] = phi
    rhs = np.concatenate([np.zeros(size), node_values])
    solution = np.linalg.solve(kkt, rhs)[:size]
    a = np.zeros(MAX_N + 1)
    b = np.zeros(MAX_N + 1)
    a[0] = solution[0]
    a[1:n + 1] = solution[1::2]
    b[1:n + 1] = solution[2::2]
    return a, b


# ------------------------------------------------- evaluation as the engine does it

def evaluate_series(a, b, n, half_period, g):
    """GlycolFourierTable::Evaluate: single-precision partial sums."""
    g32 = np.float32(g)
    total = np.float32(0)
    for k in range(1, n + 1):
        x = float(np.float32(k)) * PI_SINGLE * float(g32) / float(np.float32(half_period))
        total = np.float32(float(total) + a[k] * math.cos(x) + b[k] * math.sin(x))
    return float(np.float32(a[0] / 2 + float(total)))


def evaluate_property(prop, coeffs, t, g):
    """The glycol function of the engine, in the grid's unit (viscosity in mPa s)."""
    t32, g32 = float(np.float32(t)), float(np.float32(g))
    c = POLY_A[prop]
    a = c[0]
    for i in range(1, 6):
        a += c[i] * g32 ** i
    a = float(np.float32(a))
    bs = [evaluate_series(*coeffs[name], n, half_period, g32)
          for name, p, _power, n, half_period in TABLES if p == prop]
    # The whole sum is formed in double from the single-precision terms.
    total = a + bs[0] * t32
    for k, bk in enumerate(bs[1:], start=2):
        total += bk * t32 ** k
    if prop == "cp":
        return float(np.float32(total / 1000))
    if prop == "viscosity":
        return 10.0 ** float(np.float32(total))
    return total


# ---------------------------------------------------------------------------- fit

def fit_all(grids):
    coeffs = {}
    for prop, (temperatures, rows) in grids.items():
        nodes = np.array([g for g, _ in rows])
        node_b = np.array([fit_row(prop, g, temperatures, printed) for g, printed in rows])
        for name, p, power, n, half_period in TABLES:
            if p == prop:
                a, b = smoothest_series(nodes, node_b[:, power - 1], n, half_period)
                coeffs[name] = (a, b)
    return coeffs


def deviations(grids, coeffs):
    """{property: (largest |fit - grid|, where, largest share of the half unit, where)},
    "where" being (g, t, printed value, fitted value)."""
    out = {}
    for prop, (temperatures, rows) in grids.items():
        worst = (0.0, None, 0.0, None)
        for g, printed in rows:
            for t, text in zip(temperatures, printed):
                fit = evaluate_property(prop, coeffs, t, g)
                dev = abs(fit - float(text))
                share = dev / half_unit(text)
                where = (g, t, text, fit)
                if dev > worst[0]:
                    worst = (dev, where, worst[2], worst[3])
                if share > worst[2]:
                    worst = (worst[0], worst[1], share, where)
        out[prop] = worst
    return out


# ------------------------------------------------------------------------- header

def format_array(values, n, indent):
    """{v0, v1, ..} with 17 significant digits, wrapped to the project's 100 columns."""
    items = [f"{v:.17g}" for v in values[:n + 1]]
    lines, line = [], indent + "{"
    for i, item in enumerate(items):
        piece = item + ("," if i < len(items) - 1 else "}")
        if len(line) + len(piece) + 1 > 96 and line.strip() != "{":
            lines.append(line.rstrip())
            line = indent + " "
        line += piece + " "
    lines.append(line.rstrip())
    return "\n".join(lines)


def render_header(coeffs):
    lines = [
        "// Fourier coefficients of the ethylene glycol property fits (tables D1 .. V5).",
        "//",
        "// GENERATED FILE, committed to the repository: do not edit by hand. It is written",
        "// by tools/glycol_fit/fit_glycol.py from the reference property grids in",
        "// tools/glycol_fit/reference_grids.csv; see tools/glycol_fit/README.md to",
        "// regenerate it.",
        "#pragma once",
        "#include <array>",
        "// clang-format off",
        "namespace vestra::glycol_data {",
        "struct FourierCoefficients {",
        "  int n;",
        "  int halfPeriod;",
        "  std::array<double, 31> a;  // a0..aN",
        "  std::array<double, 31> b;  // b[0] unused, b1..bN",
        "};",
        "inline constexpr std::array<FourierCoefficients, 14> kCoefficients{{",
    ]
    for name, _prop, _power, n, half_period in TABLES:
        a, b = coeffs[name]
        b = b.copy()
        b[0] = 0.0
        lines.append(f"    {{{n}, {half_period},")
        lines.append(format_array(a, n, "     ") + ",")
        lines.append(format_array(b, n, "     ") + f"}},  // {name}")
    lines += ["}};", "}  // namespace vestra::glycol_data", "// clang-format on", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--report", action="store_true",
                        help="print the largest deviation from each grid")
    parser.add_argument("--check", action="store_true",
                        help="do not write; fail if the committed header differs")
    args = parser.parse_args()

    grids = read_grids(GRIDS)
    coeffs = fit_all(grids)
    devs = deviations(grids, coeffs)
    if args.report or args.check:
        units = {"cp": "kJ/(kg K)", "density": "kg/m3", "conductivity": "W/(m K)",
                 "viscosity": "mPa s"}
        for prop, (worst, at, share, share_at) in devs.items():
            print(f"{prop}: largest |fit - grid| {worst:.3g} {units[prop]}"
                  f" at g = {at[0]:g} %, t = {at[1]:g} degC (grid {at[2]}, fit {at[3]:.7g});"
                  f" largest share of half a unit of the last digit {share:.3f}"
                  f" (g = {share_at[0]:g} %, t = {share_at[1]:g} degC)")
    bad = [prop for prop, (_w, _at, share, _sat) in devs.items() if share > 1.0]
    if bad:
        sys.exit("grid values not reproduced: " + ", ".join(bad))

    text = render_header(coeffs)
    if args.check:
        current = HEADER.read_text() if HEADER.exists() else ""
        if current != text:
            sys.exit(f"{HEADER} differs from what the fit produces")
        print(f"{HEADER} is up to date")
        return
    HEADER.write_text(text)
    print(f"wrote {HEADER}")


if __name__ == "__main__":
    main()
