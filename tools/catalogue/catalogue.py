#!/usr/bin/env python3
"""Builds the catalogue's table files from design.py and calibration.json.

    catalogue.py generate              writes catalogue/tables/*.csv
    catalogue.py calibrate RATE [SERIES...]
                                       fits the coil coefficients with vestra-rate
                                       (path to the program) and writes calibration.json;
                                       with series named, only their models
    catalogue.py report RATE           rates every model as its screen would at the
                                       default conditions (the coil with vestra-rate, the
                                       fan side with the screens' searches, selection.py)
                                       and prints the figures per model and per series,
                                       each model with the envelopes it misses
    catalogue.py check RATE            prints only the models outside their envelope (and
                                       the drops outside the circuits' window); exit
                                       status 1 when any model lies outside

The build reads only the committed CSV files; run `calibrate` after changing a coil or a
target in design.py, then `generate`, and commit all three.
"""

import json
import math
import os
import re
import subprocess
import sys

import design as D
import selection as S

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SCHEMA = os.path.join(ROOT, "catalogue", "schema.sql")
TABLES = os.path.join(ROOT, "catalogue", "tables")
CALIBRATION = os.path.join(HERE, "calibration.json")

COOLING = dict(taIn=27.0, rhIn=47.0, twIn=7.0, twOut=12.0)
HEATING = dict(taIn=20.0, twIn=70.0, twOut=60.0)


# ---------------------------------------------------------------------------------------
# Helpers

def lerp_by_size(pair, i, n):
    """The first value of a pair for the smallest size, the second for the largest."""
    a, b = pair
    return a if n == 1 else a + (b - a) * i / (n - 1)


def fan_curve(qfree, p0):
    """(VA, VB, VC) of the shared curve shape through (0, p0) and (qfree, 0)."""
    a = D.CURVE_SLOPE_SHARE
    return (-(1 - a) * p0 / qfree ** 2, -a * p0 / qfree, p0)


def curve_pressure(curve, q):
    va, vb, vc = curve
    return va * q * q + vb * q + vc


def flow_at_pressure(curve, p, extra_loss=None):
    """Flow in m3/h at which the curve (less an extra loss of the flow) gives p."""
    lo, hi = 0.0, 20000.0
    for _ in range(80):
        q = (lo + hi) / 2
        r = curve_pressure(curve, q) - (extra_loss(q) if extra_loss else 0)
        if r > p:
            lo = q
        else:
            hi = q
    return (lo + hi) / 2


def shutoff_for_working_point(q50, p0):
    """Free-delivery flow of the shared shape with shut-off p0 that gives q50 at 50 Pa."""
    a = D.CURVE_SLOPE_SHARE
    c = 1 - 50.0 / p0
    x = (-a + math.sqrt(a * a + 4 * (1 - a) * c)) / (2 * (1 - a))
    return q50 / x


def quadratic_fit(xs, ys):
    """Least-squares (a, b, c) of y = a x^2 + b x + c."""
    n = len(xs)
    s = [sum(x ** k for x in xs) for k in range(5)]
    t = [sum(y * x ** k for x, y in zip(xs, ys)) for k in range(3)]
    m = [[s[4], s[3], s[2], t[2]], [s[3], s[2], s[1], t[1]], [s[2], s[1], n, t[0]]]
    for i in range(3):
        pivot = m[i][i]
        m[i] = [v / pivot for v in m[i]]
        for j in range(3):
            if j != i:
                f = m[j][i]
                m[j] = [vj - f * vi for vj, vi in zip(m[j], m[i])]
    return m[0][3], m[1][3], m[2][3]


def rounded(x, digits=6):
    """A number with `digits` significant digits, as plain as it can be written."""
    if x == 0:
        return 0
    if isinstance(x, int):
        return x
    return float(f"{x:.{digits}g}")


# ---------------------------------------------------------------------------------------
# Models. Each model is a dict:
#   name, series, table
#   coil: geometry, pitch, rows, lengthMm, heightMm, header, tube
#   rate: constant set, series rule, screen, cooling and heating air flow (m3/s, None when
#         the duty is not calibrated), heating length factor, curAirN per duty
#   targets: cool, shr, heat (per m3/h) — missing duties are not calibrated
#   cooling_from: name of the model whose cooling coefficients this one copies
#   fields(cal): the table record, given the calibrated coefficients

MODELS = []


def add(model):
    MODELS.append(model)
    return model


def targets_for(rows, i, n, heater=False):
    t = D.HEATER_TARGETS if heater else D.TARGETS[rows]
    return dict(cool=lerp_by_size(t["cool"], i, n), shr=t["shr"], heat=lerp_by_size(t["heat"], i, n))


def coil_fields(m, cal):
    c = m["coil"]
    return dict(Modello=m["name"], Geom=c["geometry"], Passo=c["pitch"], LunBat=c["lengthMm"],
                AltBAt=c["heightMm"], NR=c["rows"], NC=cal["NC"])


def base_model(series, table, name, spec, length, height, rows, cool_flow, heat_flow, i, n,
               screen="standard", tube=0.0094, heater=False, **extra):
    return dict(
        name=name, series=series, table=table,
        coil=dict(geometry=spec["geometry"], pitch=spec["pitch"], rows=rows, lengthMm=length,
                  heightMm=height, header=spec["header"], tube=tube),
        rate=dict(set=spec["set"], rule=series if series in ("QUIVO", "DARNE") else "",
                  screen=screen, cool_flow=cool_flow, heat_flow=heat_flow,
                  length_factor=extra.pop("length_factor", 1.0),
                  cur_air_n=extra.pop("cur_air_n", (None, None))),
        targets=targets_for(rows, i, n, heater), **extra)


def rows_of(spec, size):
    """Rows of a size's coil: the series' own, or the fewer rows of its small sizes."""
    return spec.get("rows_of_size", {}).get(size, spec["rows"])


def fan_coil_variants(series, table, spec, size, i, n, qfree, make_fields, screen="standard"):
    """The base model and, where the range offers it, its HX / HX* pair: the HX unit is
    the same fan coil with the additional coil fitted (about 8 % less air), HX* is that
    additional 2-row heating coil. The coil is rated at the free delivery of the top
    speed, or where the series has a nominal share (the EC series, whose screens take the
    air flow as typed) at that share of it."""
    prefix = f"{series} {size}"
    rows = rows_of(spec, size)
    variants = [("", 1.0, rows)]
    if spec.get("hx"):
        variants += [("HX", 0.92, rows), ("HX*", 0.92, 2)]
    for suffix, share, rows in variants:
        q = qfree * share * spec.get("nominal_share", 1.0)
        m = base_model(series, table, prefix + suffix, spec, spec["_length"], spec["height"], rows,
                       q / 3600 if suffix != "HX*" else None, q / 3600, i, n, screen=screen)
        m["flow_share"] = share
        if suffix == "HX*":
            m["cooling_from"] = prefix + "HX"
        m["fields"] = make_fields(m, size, i, share)
        add(m)


# ---------------------------------------------------------------------------------------
# Series builders

def sound_at(top, share):
    """Sound power at a lower speed: about 50 log10 of the speed ratio, never below 30,
    in whole dB(A) as the maker's sound tests are published."""
    return round(max(30.0, top + 50 * math.log10(share)))


def build_miral(series, table, spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, pin) in enumerate(spec["sizes"]):
        spec["_length"] = length
        p0 = lerp_by_size(spec["shutoff"], i, n)

        def fields(m, size, i, share, qtop=qtop, lw=lw, pin=pin, p0=p0):
            def f(cal):
                r = coil_fields(m, cal)
                for k, s in enumerate(spec["speeds"], 1):
                    va, vb, vc = fan_curve(qtop * share * s, p0 * s * s)
                    r.update({f"V{k}A": rounded(va), f"V{k}B": rounded(vb), f"V{k}C": rounded(vc)})
                for k in range(1, len(spec["speeds"]) + 1):
                    r.update({f"F{k}C100": cal["C100"], f"C{k}C30": cal["CC30"], f"F{k}C30": cal["FC30"]})
                r["CC50"] = spec["header"]
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"LWA{k}"] = sound_at(lw, s)
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"PIN{k}"] = round(pin * s ** 1.5)
                return r
            return f

        fan_coil_variants(series, table, spec, size, i, n, qtop, fields)


def build_pelvo(spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, _) in enumerate(spec["sizes"]):
        spec["_length"] = length

        def fields(m, size, i, share, qtop=qtop, lw=lw):
            def f(cal):
                r = coil_fields(m, cal)
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"Qa{k}"] = round(qtop * share * s)
                for k in range(1, 4):
                    r.update({f"F{k}C100": cal["C100"], f"C{k}C30": cal["CC30"], f"F{k}C30": cal["FC30"]})
                r["CC50"] = spec["header"]
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"LWA{k}"] = sound_at(lw, s)
                return r
            return f

        fan_coil_variants("PELVO", "DatiPelvo", spec, size, i, n, qtop, fields)


def build_veld(spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, _) in enumerate(spec["sizes"]):
        qc = qtop / 3600
        qh = qc * spec["heating_flow_factor"]
        m = base_model("VELD", "DatiVELD", f"VELD {size}", spec, length, spec["height"],
                       rows_of(spec, size), qc, qh, i, n, cur_air_n=(spec["fx31"], spec["cx31"]))

        def f(cal, m=m, qc=qc, qh=qh, lw=lw):
            r = coil_fields(m, cal)
            for k, s in enumerate(spec["speeds"], 1):
                r[f"Qa{k}F"] = rounded(qc * s, 4)
            for k, s in enumerate(spec["speeds"], 1):
                r[f"Qa{k}C"] = rounded(qh * s, 4)
            r.update(C100=cal["C100"], CC30=cal["CC30"], FC30=cal["FC30"], FCC50=spec["header"],
                     CCC50=spec["header"], FX31=spec["fx31"], CX31=spec["cx31"])
            for k, s in enumerate(spec["speeds"], 1):
                r[f"LWA{k}"] = sound_at(lw, s)
                r[f"LPA{k}"] = sound_at(lw, s) - 8  # at 1 m, directivity 2
            return r

        m["fields"] = f
        add(m)


def build_wall(series, table, spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, _) in enumerate(spec["sizes"]):
        tube = spec.get("first_tube", 0.0094) if i == 0 else 0.0094
        m = base_model(series, table, f"{series} {size}", spec, length, spec["height"], spec["rows"],
                       qtop / 3600, qtop / 3600, i, n, tube=tube)

        def f(cal, m=m, qtop=qtop, lw=lw):
            r = coil_fields(m, cal)
            for k, s in enumerate(spec["speeds"], 1):
                r[f"QA{k}"] = round(qtop * s)
            for k in range(1, 4):
                r.update({f"F{k}C100": cal["C100"], f"C{k}C30": cal["CC30"], f"F{k}C30": cal["FC30"]})
            r.update(FCC50=spec["header"], CCC50=spec["header"])
            for k, s in enumerate(spec["speeds"], 1):
                r[f"LWA{k}"] = sound_at(lw, s)
            for k, s in enumerate(spec["speeds"], 1):
                r[f"LPA{k}"] = sound_at(lw, s) - 8
            return r

        m["fields"] = f
        add(m)


def build_cassette(series, table, spec, with_power):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, pin, rows, tube) in enumerate(spec["sizes"]):
        m = base_model(series, table, f"{series} {size}", spec, length, spec["height"], rows,
                       qtop / 3600, qtop / 3600, i, n, tube=tube)

        def f(cal, m=m, qtop=qtop, lw=lw, pin=pin, tube=tube):
            r = coil_fields(m, cal)
            r["Tubo"] = tube
            for k, s in enumerate(spec["speeds"], 1):
                r[f"QA{k}"] = round(qtop * s)
            r["F1C100"] = cal["C100"]
            for k in range(1, len(spec["speeds"]) + 1):
                r[f"C{k}C30"] = cal["CC30"]
                r[f"F{k}C30"] = cal["FC30"]
            r.update(FCC50=spec["header"], CCC50=spec["header"])
            for k, s in enumerate(spec["speeds"], 1):
                r[f"LWA{k}"] = sound_at(lw, s)
            if with_power:
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"PIN{k}"] = round(pin * s ** 1.5)
            return r

        m["fields"] = f
        add(m)


def ec_steps(spec, i, n, qfree7, p0_7, pfree7, lw7, share=1.0):
    """Fan curves, power curves, speeds and sound of the eight EC steps."""
    top = round(lerp_by_size(spec["top_speed"], i, n))
    r = {}
    for k, s in enumerate(D.EC_STEP_SPEED_SHARE):
        qf = qfree7 * share * s
        va, vb, vc = fan_curve(qf, p0_7 * s * s)
        r.update({f"V{k}A": rounded(va), f"V{k}B": rounded(vb), f"V{k}C": rounded(vc)})
    for k, s in enumerate(D.EC_STEP_SPEED_SHARE):
        qf = qfree7 * share * s
        pfree = pfree7 * (D.EC_POWER_BASE_SHARE + (1 - D.EC_POWER_BASE_SHARE) * s ** 3)
        r.update({f"P{k}A": 0, f"P{k}B": rounded(0.4 * pfree / qf), f"P{k}C": rounded(0.6 * pfree)})
    for k, s in enumerate(D.EC_STEP_SPEED_SHARE):
        r[f"G{k}"] = round(top * s)
    low = D.EC_STEP_SPEED_SHARE[0]
    sound = {f"LWA{k}": round(lw7 - D.EC_SOUND_SPAN_DB * (1 - s) / (1 - low))
             for k, s in enumerate(D.EC_STEP_SPEED_SHARE)}
    return r, sound


def build_fan_coil_ec(series, table, spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, ptop) in enumerate(spec["sizes"]):
        spec["_length"] = length
        p0 = lerp_by_size(spec["shutoff"], i, n)

        def fields(m, size, i, share, qtop=qtop, lw=lw, ptop=ptop, p0=p0):
            def f(cal):
                r = coil_fields(m, cal)
                steps, sound = ec_steps(spec, i, n, qtop, p0, ptop, lw, share)
                r.update(steps)
                r.update(F1C100=cal["C100"], C1C30=cal["CC30"], F1C30=cal["FC30"], CC50=spec["header"])
                r.update(sound)
                # The lowest flow the unit is offered for: below step 0's free delivery the
                # fan would run under its minimum speed.
                r["MinQa"] = int(round(0.7 * qtop * share * D.EC_STEP_SPEED_SHARE[0], -1))
                r["Nlog"] = spec["nlog"]
                return r
            return f

        fan_coil_variants(series, table, spec, size, i, n, qtop, fields, screen="other")


def build_umbra(spec):
    n = len(spec["sizes"])
    a0, a1 = spec["signal_speed"]
    for i, (size, length, qtop, lw, ptop) in enumerate(spec["sizes"]):
        spec["_length"] = length
        p0 = lerp_by_size(spec["shutoff"], i, n)

        def fields(m, size, i, share, qtop=qtop, lw=lw, ptop=ptop, p0=p0):
            def f(cal):
                qf = qtop * share
                a = D.CURVE_SLOPE_SHARE
                r = coil_fields(m, cal)
                r.update(F1C100=cal["C100"], C1C30=cal["CC30"], F1C30=cal["FC30"], CC50=spec["header"])
                # Fan: p = p0 s^2 - A p0 s Q / qf - (1 - A) p0 Q^2 / qf^2, s = a0 + a1 V.
                r.update(AK1=0, AK2=0, AK3=rounded(-(1 - a) * p0 / qf ** 2))
                r.update(BX1=0, BX2=rounded(-a * p0 / qf * a1), BX3=rounded(-a * p0 / qf * a0))
                r.update(CY1=rounded(p0 * a1 * a1), CY2=rounded(p0 * 2 * a0 * a1), CY3=rounded(p0 * a0 * a0))
                # Power: at free delivery ptop (0.25 s + 0.75 s^2), 60 % of it at shut-off.
                r.update(AA1=0, AA2=0, AA3=0)
                r.update(BB1=0, BB2=rounded(0.4 * ptop / qf * 0.75 * a1),
                         BB3=rounded(0.4 * ptop / qf * (0.25 + 0.75 * a0)))
                r.update(CC1=rounded(0.6 * ptop * 0.75 * a1 * a1),
                         CC2=rounded(0.6 * ptop * (0.25 * a1 + 0.75 * 2 * a0 * a1)),
                         CC3=rounded(0.6 * ptop * (0.25 * a0 + 0.75 * a0 * a0)))
                # Sound at the free delivery of the signal: lw + 50 log10(Q / qf), fitted.
                qs = [qf * (a0 + a1 * v / 10) for v in range(5, 101)]
                al = quadratic_fit(qs, [lw + 50 * math.log10(q / qf) for q in qs])
                r.update(AL1=rounded(al[0]), AL2=rounded(al[1]), AL3=rounded(al[2]))
                r["MinQa"] = int(round(spec["min_flow_share"] * qf, -1))
                # The largest flow the unit is offered for: the free delivery at 10 V, to
                # the whole m3/h below it, so that the fan still gives (just) 0 Pa there.
                r["MaxQa"] = max_flow_below_free_delivery(r, math.floor(qf))
                # The additional coil damps the fan noise at the outlet a little.
                r["KDB"] = -1.0 if m["name"].endswith(("HX", "HX*")) else 0.0
                return r
            return f

        fan_coil_variants("UMBRA", "DatiUmbra", spec, size, i, n, qtop, fields, screen="other")


def max_flow_below_free_delivery(record, flow):
    """The largest whole flow (m3/h) from `flow` down at which UMBRA's fan at 10 V, with
    the coefficients as stored, still gives 0 Pa or more."""
    while S.umbra_pressure(record, flow, 10) < 0:
        flow -= 1
    return flow


def accessory_loss(accessories, section, spigots, index):
    _, cost, espo, on_spigots = accessories[index]
    area = spigots * 0.0314 if on_spigots else section
    return lambda q: cost * (q / 3600 / area) ** espo


def build_ducted(series, table, spec, accessories, ec):
    n = len(spec["sizes"])
    prefix = series.replace("BLDC", " EC")
    for i, (size, length, height, q50, lw) in enumerate(spec["sizes"]):
        p0 = lerp_by_size(spec["shutoff"], i, n)
        qfree = shutoff_for_working_point(q50, p0)
        section = rounded(q50 / 3600 / 3.5, 3)  # outlet at 3.5 m/s
        spigots = max(2, math.ceil(q50 / 400))
        top = fan_curve(qfree, p0)
        if ec:
            # The EC screen rates the coil at the typed air flow, the additional coil too.
            q_cool = q_hx = q50 * spec["nominal_share"]
        else:
            # The fixed-speed screen rates it at the working point of the top tap, with
            # the additional coil's loss when that coil is fitted.
            q_cool = q50
            q_hx = flow_at_pressure(top, 50, accessory_loss(accessories, section, spigots, 0))
        variants = (("", rows_of(spec, size), q_cool, q_cool), ("HX", 2, None, q_hx))
        for suffix, rows, qc, qh in variants:
            m = base_model(series, table, f"{prefix} {size}{suffix}", spec, length, height, rows,
                           qc / 3600 if qc else None, qh / 3600, i, n, screen="other")
            if suffix:
                m["cooling_from"] = f"{prefix} {size}"

            def f(cal, m=m, p0=p0, qfree=qfree, lw=lw, section=section, spigots=spigots, i=i):
                r = coil_fields(m, cal)
                if ec:
                    pfree7 = spec["power_per_ls"] * qfree / 3.6
                    steps, sound = ec_steps(spec, i, n, qfree, p0, pfree7, lw)
                    r.update(steps)
                else:
                    for k, s in enumerate(spec["taps"], 1):
                        va, vb, vc = fan_curve(qfree * s, p0 * s * s)
                        r.update({f"V{k}A": rounded(va), f"V{k}B": rounded(vb), f"V{k}C": rounded(vc)})
                r.update(C100=cal["C100"], CC30=cal["CC30"], FC30=cal["FC30"], FCC50=spec["header"],
                         CCC50=spec["header"])
                if ec:
                    r.update(sound)
                    r["MinQa"] = int(round(0.7 * qfree * D.EC_STEP_SPEED_SHARE[0], -1))
                    r["Nlog"] = spec["nlog"]
                else:
                    for k, s in enumerate(spec["taps"], 1):
                        r[f"LWA{k}"] = sound_at(lw, s)
                r.update(Sezione=section, Bocche=spigots)
                return r

            m["fields"] = f
            add(m)


def build_torva(spec):
    n = len(spec["sizes"])
    rows = []
    for i, (size, length, height, q4, lw4, h4, l4, motors) in enumerate(spec["sizes"]):
        for motor in motors:
            share = D.MOTOR_SPEED[motor] / D.MOTOR_SPEED["4p"]
            q = q4 * share
            name = f"TORVA {size} {motor}"  # the screen picks the motor by this ending
            m = base_model("TORVA", "DatiTorva", name, spec, length, height, spec["rows"],
                           q / 3600, q / 3600, i, n, heater=True)
            # One coil per size: the 4-pole rating sets the coefficients of all motors.
            m["coefficients_from"] = f"TORVA {size} 4p" if motor != "4p" else None

            def f(cal, m=m, q=q, lw4=lw4, share=share, h4=h4, l4=l4):
                r = coil_fields(m, cal)
                r.update(QA=round(q), F1C100=cal["C100"], C1C30=cal["CC30"], F1C30=cal["FC30"],
                         CC50=spec["header"])
                r["LWA1"] = sound_at(lw4, share)
                r["LPA1"] = r["LWA1"] - 21  # at 5 m, directivity 2
                # Mounting height and throw shrink with the jet's momentum (~ flow^2).
                r["Altezza"] = f"{h4 * share ** 0.8:.1f}"
                r["Lancio"] = f"{l4 * share:.0f}"
                return r

            m["fields"] = f
            rows.append(m)
    for m in sorted(rows, key=lambda m: m["name"].lower()):
        add(m)


def build_torvaec(spec):
    n = len(spec["sizes"])
    a0, a1 = 0.1, 0.09
    for i, (size, length, height, q10, lw10, p10, n10) in enumerate(spec["sizes"]):
        m = base_model("TORVAEC", "DatiTorvaEC", f"TORVAEC {size}", spec, length, height,
                       spec["rows"], q10 / 3600, q10 / 3600, i, n, heater=True)

        def f(cal, m=m, q10=q10, lw10=lw10, p10=p10, n10=n10):
            r = coil_fields(m, cal)
            r.update(F1C100=cal["C100"], C1C30=cal["CC30"], F1C30=cal["FC30"], CC50=spec["header"])
            r.update(VRA=0, VRB=rounded(n10 * a1), VRC=rounded(n10 * a0))
            r.update(QAA=0, QAB=rounded(q10 / n10), QAC=0)
            e = spec["power_exponent"]
            r.update(PAK=rounded(p10 / n10 ** e), PAN=e)
            speeds = [n10 * (a0 + a1 * v / 10) for v in range(15, 101)]
            lw = quadratic_fit(speeds, [lw10 - 3 + 50 * math.log10(s / n10) for s in speeds])
            r.update(LWA=rounded(lw[0]), LWB=rounded(lw[1]), LWC=rounded(lw[2]))
            return r

        m["fields"] = f
        add(m)


def build_darne(spec):
    n = len(spec["sizes"])
    for i, (size, length, qtop, lw, potnom) in enumerate(spec["sizes"]):
        prefix = f"DARNE {size}"
        # The four-pipe unit's heating coil has two rows like its cooling coil: with one,
        # the small sizes' heating water would run too slowly even in a single circuit
        # (about 2 kPa at 70/60 degC).
        variants = (("", spec["rows"], True, True), ("-4T", 2, True, True), ("-4T*", 2, False, True))
        for suffix, rows, cool, heat in variants:
            q = qtop / 3600
            m = base_model("DARNE", "DatiDARNE", prefix + suffix, spec, length, spec["height"], rows,
                           q if cool else None, q if heat else None, i, n,
                           length_factor=spec["heating_length"])
            if suffix == "-4T*":
                m["cooling_from"] = prefix + "-4T"

            def f(cal, m=m, qtop=qtop, lw=lw, potnom=potnom, rows=rows):
                r = coil_fields(m, cal)
                for k, s in enumerate(spec["speeds"], 1):
                    r[f"QA{k}"] = round(qtop * s)
                for k in range(1, 5):
                    r[f"C{k}C30"] = cal["CC30"]
                    r[f"F{k}C30"] = cal["FC30"]
                r.update(F1C100=cal["C100"], FCC50=spec["header"], CCC50=spec["header"])
                r["LWA1"] = 0  # natural convection: the fan is off
                for k, s in enumerate(spec["speeds"], 2):
                    r[f"LWA{k}"] = sound_at(lw, s)
                # Fan off the unit is a radiator: its output at 50 K and the exponent; the
                # water side's drop at the nominal flow (10 K) follows from the circuits.
                share = {3: 1.0, 2: 0.7, 1: 0.45}[rows]
                r.update(PotNom=round(potnom * share), Espon=spec["convection_exponent"],
                         DPNom=cal.get("DPNom", 2.0), DeltaL=spec["heating_length"])
                return r

            m["fields"] = f
            add(m)


def q70_pressure_drop(heat, length, height, rows, circuits, header, friction):
    """The Q70 screen's water pressure-drop term (kPa) at 70/60 degC, with water at its
    65 degC mean (980.5 kg/m3, 0.433 mPa s) and 9.4 mm tubes at 25 mm pitch."""
    d, rho, mu = 0.0094, 980.5, 0.000433
    flow = heat * 0.86 / 10 / 3.6e6
    velocity = flow / ((d / 2) ** 2 * circuits * 3.14)
    tubes = round(height / 25 * rows)
    t = tubes / circuits
    run = (t - 1) * 0.3 + t * length / 1000 + header * height / 1000
    reynolds = d * velocity * rho / mu
    return friction / reynolds ** 0.25 * run / d * velocity ** 2 / 2


def q70_output_4p(spec, length, height, qa4):
    """Heating output (W) of a Q70 size with its 4-pole motor at 70/60 degC and 20 degC
    air: the air rises by the coil's effectiveness times the 45 K between the mean water
    and the air (design.py); 0.2895 / 0.86 W per m3/h and K is the air's heat capacity
    the screen uses for the leaving air."""
    v = qa4 / (length / 1000 * height / 1000)
    ntu = spec["ntu_2ms"] * (v / 2.0) ** -0.4
    rise = (1 - math.exp(-ntu)) * 45.0
    return rise * 0.2895 / 0.86 * qa4 * 3600


def build_q70(spec):
    """Q70 is not rated on its coil: its output comes from PTN and Y1 directly. Its
    circuits are chosen for a water drop near 15 kPa with the 4-pole motor."""
    for i, (size, length, height, qa4, lw4, exponent) in enumerate(spec["sizes"]):
        y1 = 1 - 1 / exponent
        heat4 = q70_output_4p(spec, length, height, qa4)
        circuits = min(range(1, 41), key=lambda c: abs(math.log(q70_pressure_drop(
            heat4, length, height, spec["rows"], c, spec["header"], spec["friction"]) / 15)))
        for digit, share, dlw in spec["motors"]:
            qa = qa4 * share
            # Output at 70/60 degC and 20 degC air: PTN (45/60)^n; the slower motors' by
            # the flow exponent from the 4-pole output.
            heat = heat4 * share ** spec["output_flow_exponent"]
            ptn = heat / (45 / 60) ** exponent
            hmin, hmax = spec["mounting"][i]
            add(dict(name=f"Q70 {size}-{digit}", series="Q70", table="DatiQ70", q70=True,
                     q70_heat=heat, q70_flow=qa,
                     q70_drop=q70_pressure_drop(heat, length, height, spec["rows"], circuits,
                                                spec["header"], spec["friction"]),
                     fields=lambda cal, size=size, digit=digit, qa=qa, ptn=ptn, y1=y1,
                     lw=lw4 + dlw, length=length, height=height, circuits=circuits,
                     hmin=hmin, hmax=hmax, share=share: dict(
                         Modello=f"Q70 {size}-{digit}", QA=rounded(qa, 4), PTN=round(ptn),
                         Y1=rounded(y1, 4), NR=spec["rows"], NC=circuits, C50=spec["friction"],
                         CC50=spec["header"], AltBat=height, LunBat=length, LWA=lw,
                         AieraMin=f"{hmin:.1f}", AieraMax=f"{hmax * share ** 0.5:.1f}")))


def build_all():
    MODELS.clear()
    build_q70(D.Q70)
    build_veld(D.VELD)
    build_ducted("KELM", "DatiKELM", D.KELM, D.KELM_ACCESSORIES, ec=False)
    build_ducted("ZOPH", "DatiZOPH", D.ZOPH, D.ZOPH_ACCESSORIES, ec=False)
    build_cassette("QUIVO", "DatiQUIVO", D.QUIVO, with_power=True)
    build_cassette("BRISK", "DatiBRISK", D.BRISK, with_power=False)
    build_wall("LUMO", "DatiLUMO", D.LUMO)
    build_torvaec(D.TORVAEC)
    build_torva(D.TORVA)
    build_wall("NARTE", "DatiNARTE", D.NARTE)
    build_darne(D.DARNE)
    build_ducted("KELMBLDC", "DatiKELMBLDC", D.KELMBLDC, D.KELM_ACCESSORIES, ec=True)
    build_ducted("ZOPHBLDC", "DatiZOPHBLDC", D.ZOPHBLDC, D.ZOPH_ACCESSORIES, ec=True)
    build_fan_coil_ec("PELVOEC", "DatiPelvoEC", D.PELVOEC)
    build_fan_coil_ec("MIRALEC", "DatiMIRALEC", D.MIRALEC)
    build_umbra(D.UMBRA)
    build_miral("MIRALP", "DatiMIRALP", D.MIRALP)
    build_pelvo(D.PELVO)
    build_miral("MIRAL", "DatiMIRAL", D.MIRAL)
    return MODELS


# ---------------------------------------------------------------------------------------
# Rating with vestra-rate

class Rater:
    def __init__(self, program):
        self.program = program
        self.calls = 0

    def __call__(self, model, duty, cal, air_flow=None):
        c, r = model["coil"], model["rate"]
        cooling = duty == "cooling"
        desc = dict(constantSet=r["set"], screen=r["screen"], duty=duty,
                    geometry=c["geometry"], pitch=c["pitch"], rows=c["rows"], circuits=cal["NC"],
                    lengthMm=c["lengthMm"], heightMm=c["heightMm"], tubeDiam=c["tube"],
                    headerFactor=c["header"], airCoef=cal["FC30"] if cooling else cal["CC30"],
                    airFlow=air_flow or (r["cool_flow"] if cooling else r["heat_flow"]))
        desc.update(COOLING if cooling else HEATING)
        if r["rule"]:
            desc["series"] = r["rule"]
        if cooling:
            desc["bypassCoef"] = cal["C100"]
        else:
            desc["lengthFactor"] = r["length_factor"]
        n = r["cur_air_n"][0 if cooling else 1]
        if n is not None:
            desc["curAirN"] = n
        self.calls += 1
        out = subprocess.run([self.program, "-"], input=json.dumps(desc), capture_output=True,
                             text=True)
        if out.returncode != 0:
            raise RuntimeError(f"{model['name']} {duty}: {out.stderr.strip()} <- {json.dumps(desc)}")
        return json.loads(out.stdout)


def per_m3h(result, key, flow_m3s):
    value = result.get(key)
    return None if value is None else value / (flow_m3s * 3600)


def bisect_log(f, target, lo, hi, rising=True, iterations=40, tolerance=0.002):
    """x in [lo, hi] (log scale) with f(x) = target, f rising (or falling) in x.

    A solve that does not converge gives None. That happens at the extremes (an air-side
    coefficient so large that the coil would heat the air past the water, or so small that
    the search bounds miss), so the search first walks up from lo in steps of 1.5 to
    bracket the target with converged ratings, then bisects inside the bracket, taking a
    None there as lying beyond the target."""
    def beyond(y):
        return y is None or (y >= target if rising else y <= target)

    below, x = None, lo
    while x < hi:
        y = f(x)
        if y is None and below is None:
            x *= 1.5  # the very smallest values may not converge either
            continue
        if y is not None and abs(y - target) <= tolerance * abs(target):
            return x
        if beyond(y):
            break
        below, x = x, x * 1.5
    else:
        return hi
    if below is None:
        return lo
    a, b = below, x
    for _ in range(iterations):
        x = math.sqrt(a * b)
        y = f(x)
        if y is not None and abs(y - target) <= tolerance * abs(target):
            return x
        if beyond(y):
            b = x
        else:
            a = x
    return math.sqrt(a * b)


def tube_count(coil):
    """Tubes of the coil, as the rating counts them: 25 mm tube pitch, every row."""
    return max(1, round(coil["heightMm"] / 25 * coil["rows"]))


def circuits_near_drop(m, cal, cool, fit_cooling, fit_heating, rate):
    """Unit heaters: of the neighbours of the estimate in cal, the circuits whose cooling
    drop (heating only: heating drop) lies nearest its target, in ratio."""
    target_drop = D.UNIT_HEATER_COOLING_DROP_KPA if cool else D.UNIT_HEATER_COOLING_DROP_KPA / 2

    def drop_with(circuits):
        cal["NC"] = circuits
        if cool:
            fit_cooling()
            return rate(m, "cooling", cal)["pressureDropTerm"]
        fit_heating()
        return rate(m, "heating", cal)["pressureDropTerm"]

    estimate = cal["NC"]
    drop = drop_with(estimate)
    estimate = max(1, round(estimate * (drop / target_drop) ** (1 / 2.75)))
    scored = []
    for circuits in range(max(1, estimate - 1), estimate + 2):
        d = drop_with(circuits)
        scored.append((abs(math.log(d / target_drop)), circuits))
    return min(scored)[1]


def window_margin(drops):
    """How far inside the drop window the worst of the drops lies, in log ratio (negative
    outside it)."""
    lo, hi = D.DROP_WINDOW_KPA
    return min(min(math.log(d / lo), math.log(hi / d)) for d in drops.values())


def circuits_inside_window(m, cal, aim, cool, heat, fit_cooling, fit_heating, rate):
    """Fan coils, cassettes and ducted units: the circuits that put every drop the coil is
    rated for deepest inside the drop window, between 1 circuit and one per tube. The
    heating drop sets the lower end (it is the smaller one), the cooling drop the upper
    end; a heating-only coil has both ends to itself.

    One circuit more or less changes the drops by a factor of 3 (two or three circuits)
    to 7 (one or two), more than the window allows between the two drops of a small
    coil. Where no whole number of circuits fits, the coil is rated with a little less
    cooling (less water, a lower cooling drop) or a little more heating (more water, a
    higher heating drop), within DROP_TRADE_LIMITS and only as far as the window needs;
    of the circuits on either side of the gap, the one that comes nearer the window, and
    then the one that needs the smaller change. `aim` (the rating targets the fits use)
    is left at the targets chosen."""
    lo, hi = D.DROP_WINDOW_KPA
    most = tube_count(m["coil"])
    nominal = dict(aim)
    drops_of = {}

    def drops_with(circuits, cool_aim=None, heat_aim=None):
        key = (circuits, cool_aim, heat_aim)
        if key not in drops_of:
            cal["NC"] = circuits
            aim.update(cool=cool_aim or nominal["cool"], heat=heat_aim or nominal["heat"])
            drops = {}
            if cool:
                fit_cooling()
                drops["cool"] = rate(m, "cooling", cal)["pressureDropTerm"]
            if heat:
                fit_heating()
                drops["heat"] = rate(m, "heating", cal)["pressureDropTerm"]
            drops_of[key] = drops
        return drops_of[key]

    def margin(circuits):
        return window_margin(drops_with(circuits))

    # From the estimate, one correction towards the window's middle (in log ratio) by
    # the geometric mean of the drops; then climb while a neighbour does better. The
    # margin rises and then falls with the circuits, so the climb ends at the best.
    estimate = min(most, max(1, cal["NC"]))
    drops = drops_with(estimate).values()
    mean = math.exp(sum(math.log(d) for d in drops) / len(drops))
    best = min(most, max(1, round(estimate * (mean / math.sqrt(lo * hi)) ** (1 / 2.75))))
    while True:
        neighbours = [c for c in (best - 1, best + 1) if 1 <= c <= most]
        better = max(neighbours, key=margin, default=best)
        if margin(better) <= margin(best):
            break
        best = better
    if margin(best) >= 0:
        aim.update(nominal)
        return best

    limits = D.DROP_TRADE_LIMITS
    least_cool = max(limits["cool"], limits["cool_share"] * nominal["cool"])
    most_heat = min(limits["heat"], limits["heat_share"] * nominal["heat"])

    def traded(circuits):
        """(margin, change of the targets in log ratio, cooling and heating targets)."""
        cool_aim, heat_aim = nominal["cool"], nominal["heat"]
        drops = drops_with(circuits)
        # The drops go about as the water flow to the power 1.75, the water flow as the
        # capacity; a few corrections land just inside the window.
        for _ in range(4):
            if cool and drops["cool"] > hi and cool_aim > least_cool:
                cool_aim = max(least_cool, cool_aim * (0.99 * hi / drops["cool"]) ** (1 / 1.75))
            elif heat and drops["heat"] < lo and heat_aim < most_heat:
                heat_aim = min(most_heat, heat_aim * (1.01 * lo / drops["heat"]) ** (1 / 1.75))
            else:
                break
            drops = drops_with(circuits, cool_aim, heat_aim)
        change = abs(math.log(cool_aim / nominal["cool"])) + abs(math.log(heat_aim / nominal["heat"]))
        return window_margin(drops), change, cool_aim, heat_aim

    options = {c: traded(c) for c in (best - 1, best, best + 1) if 1 <= c <= most}
    best = max(options, key=lambda c: (min(0.0, round(options[c][0], 3)), -options[c][1],
                                       options[c][0]))
    aim.update(cool=options[best][2], heat=options[best][3])
    return best


def calibrate_model(rate, m, cal_of):
    c, r = m["coil"], m["rate"]
    t = dict(m["targets"])  # the circuits' choice may trade a little capacity, see below
    cal = dict(NC=1, FC30=10.0, C100=1.0, CC30=10.0)
    if m.get("cooling_from"):
        donor = cal_of[m["cooling_from"]]
        cal.update(FC30=donor["FC30"], C100=donor["C100"])
    cool = r["cool_flow"] is not None and not m.get("cooling_from") and t.get("cool")
    heat = r["heat_flow"] is not None and t.get("heat")
    # First estimate of the circuits from the cooling (or heating) water flow at ~1 m/s.
    q = r["cool_flow"] or r["heat_flow"]
    watts = (t["cool"] if cool else t["heat"]) * q * 3600
    water = watts / (4190 * 1000 * (5 if cool else 10))
    cal["NC"] = max(1, round(water / (3.14 * (c["tube"] / 2) ** 2 * 1.0)))

    def fit_cooling():
        cal["FC30"] = bisect_log(
            lambda a: per_m3h(rate(m, "cooling", dict(cal, FC30=a)), "totalW", r["cool_flow"]),
            t["cool"], 0.05, 2000)
        def shr(b):
            res = rate(m, "cooling", dict(cal, C100=b))
            return None if res.get("totalW") in (None, 0) else res["sensibleW"] / res["totalW"]
        top = shr(0.0)
        cal["C100"] = 0.0 if top is not None and top <= t["shr"] else rounded(
            bisect_log(shr, t["shr"], 0.01, 50, rising=False), 4)

    def fit_heating():
        cal["CC30"] = bisect_log(
            lambda a: per_m3h(rate(m, "heating", dict(cal, CC30=a)), "capacityW", r["heat_flow"]),
            t["heat"], 0.05, 2000)

    # Circuits: the water-side drop falls as ~ circuits^-2.75 (velocity and length), so
    # each step changes it by a factor 2 to 7.
    if m["series"] in D.UNIT_HEATER_SERIES:
        cal["NC"] = circuits_near_drop(m, cal, cool, fit_cooling, fit_heating, rate)
    else:
        cal["NC"] = circuits_inside_window(m, cal, t, cool, heat, fit_cooling, fit_heating, rate)
        for duty in ("cool", "heat"):
            if t[duty] != m["targets"][duty]:
                print(f"{m['name']:<16} {duty}ing rated at {t[duty]:.2f} W per m3/h instead of "
                      f"{m['targets'][duty]:.2f} to bring the drops inside the window",
                      file=sys.stderr)
    if heat:
        fit_heating()
    if cool:
        fit_cooling()
    for key in ("FC30", "CC30"):
        cal[key] = rounded(cal[key], 5)
    if m["series"] == "DARNE":
        # Water-side drop at the radiator's nominal flow (nominal output, 10 K).
        nominal = dict(cal)
        res = rate(m, "heating", nominal)
        if res.get("pressureDropTerm") is not None and res.get("waterFlow"):
            potnom = m["fields"](dict(cal, DPNom=0))["PotNom"]
            q_nom = potnom / 4.186 / 10 / 1e6
            cal["DPNom"] = rounded(res["pressureDropTerm"] * (q_nom / res["waterFlow"]) ** 1.75, 3)
    return cal


def calibrate(program, series=()):
    """Fits every model, or only the models of the named series (the others keep their
    coefficients from calibration.json)."""
    rate = Rater(program)
    models = build_all()
    unknown = set(series) - {m["series"] for m in models}
    if unknown:
        raise SystemExit(f"no such series: {', '.join(sorted(unknown))}")
    cal_of = load_calibration() if series else {}
    for m in models:
        if m.get("q70") or m.get("coefficients_from") or (series and m["series"] not in series):
            continue
        cal_of[m["name"]] = calibrate_model(rate, m, cal_of)
        print(f"{m['name']:<16} {cal_of[m['name']]}", file=sys.stderr)
    for m in models:
        if m.get("coefficients_from"):
            cal_of[m["name"]] = dict(cal_of[m["coefficients_from"]])
    with open(CALIBRATION, "w") as out:
        json.dump(cal_of, out, indent=1, sort_keys=True)
        out.write("\n")
    print(f"{rate.calls} ratings", file=sys.stderr)


# ---------------------------------------------------------------------------------------
# Table files

def schema_columns():
    text = open(SCHEMA).read()
    tables = {}
    for name, body in re.findall(r"CREATE TABLE (\w+) \((.*?)\);", text, re.S):
        tables[name] = [re.sub(r"\W", "", c.strip().split()[0]) for c in body.split(",")]
    return tables


def csv_cell(value):
    if value is None:
        return ""
    if isinstance(value, str):
        return '"' + value.replace('"', '""') + '"' if ("," in value or '"' in value or value == "") else value
    if isinstance(value, float):
        text = repr(rounded(value))
        return text[:-2] if text.endswith(".0") else text
    return str(value)


def write_table(name, columns, rows):
    with open(os.path.join(TABLES, name + ".csv"), "w", newline="\n") as out:
        out.write(",".join(columns) + "\n")
        for row in rows:
            missing = [c for c in columns if c not in row]
            extra = [k for k in row if k not in columns]
            if missing or extra:
                raise SystemExit(f"{name} {row.get('Modello')}: missing {missing} extra {extra}")
            out.write(",".join(csv_cell(row[c]) for c in columns) + "\n")


def load_calibration():
    if not os.path.exists(CALIBRATION):
        return {}
    return json.load(open(CALIBRATION))


DEFAULT_CAL = dict(NC=2, FC30=10.0, C100=1.0, CC30=10.0)  # a model not yet calibrated

ACCESSORIES_OF = {"KELM": D.KELM_ACCESSORIES, "KELMBLDC": D.KELM_ACCESSORIES,
                  "ZOPH": D.ZOPH_ACCESSORIES, "ZOPHBLDC": D.ZOPH_ACCESSORIES}


def accessory_table(accessories):
    return [dict(Cost=c, Espo=e, OPZBoc="S" if s else "") for _, c, e, s in accessories]


def generate():
    cal_of = load_calibration()
    columns = schema_columns()
    tables = {name: [] for name in columns}
    for m in build_all():
        cal = cal_of.get(m["name"], DEFAULT_CAL)
        tables[m["table"]].append(m["fields"](cal))
    tables["versione"] = [dict(versione=D.VERSION)]
    tables["DPAcc"] = accessory_table(D.KELM_ACCESSORIES)
    tables["DPAccZOPH"] = accessory_table(D.ZOPH_ACCESSORIES)
    os.makedirs(TABLES, exist_ok=True)
    for name, rows in tables.items():
        write_table(name, columns[name], rows)
    print(f"{sum(len(r) for r in tables.values())} records in {len(tables)} tables", file=sys.stderr)


# ---------------------------------------------------------------------------------------
# Report and envelope check

def outside(label, value, bounds, digits):
    """"label value < lo" or "label value > hi", or None inside the bounds."""
    lo, hi = bounds
    if value < lo:
        return f"{label} {value:.{digits}f} < {lo:g}"
    if value > hi:
        return f"{label} {value:.{digits}f} > {hi:g}"
    return None


def coil_figures(rate, m, cal, air_m3s=None, cooling_donor=None):
    """What vestra-rate gives for the model at the default conditions, at its rating flow
    or at air_m3s: air (m3/h), and where the model is rated for the duty, cooling total
    (W), sensible share, cooling drop (kPa), heating (W), heating drop (kPa).
    cooling_donor (model, coefficients) rates the cooling of a model that shows another
    model's cooling at the same air flow."""
    r = m["rate"]
    cool_flow = air_m3s if air_m3s and r["cool_flow"] else r["cool_flow"]
    heat_flow = air_m3s if air_m3s and r["heat_flow"] else r["heat_flow"]
    f = dict(air=(cool_flow or heat_flow) * 3600)
    if cooling_donor and heat_flow:
        donor, donor_cal = cooling_donor
        c = rate(donor, "cooling", donor_cal, heat_flow)
        f.update(cool=c["totalW"], shr=c["sensibleW"] / c["totalW"], dpc=c["pressureDropTerm"],
                 cool_air=heat_flow * 3600)
    elif cool_flow and not m.get("cooling_from"):
        c = rate(m, "cooling", cal, cool_flow)
        f.update(cool=c["totalW"], shr=c["sensibleW"] / c["totalW"], dpc=c["pressureDropTerm"],
                 cool_air=cool_flow * 3600)
    if heat_flow and m["targets"].get("heat") is not None:
        h = rate(m, "heating", cal, heat_flow)
        f.update(heat=h["capacityW"], dph=h["pressureDropTerm"], heat_air=heat_flow * 3600)
    return f


def q70_figures(m, rec):
    """A unit heater rated from its nominal output as the screen rates it, at 70/60 degC
    and 20 degC air: output, leaving air (degC), air flow (m3/h)."""
    y1, ptn = rec["Y1"], rec["PTN"]
    heat = ((10 / (10 * ptn)) ** y1 * 45 * ptn / 60) ** (1 / (1 - y1))
    leaving = HEATING["taIn"] + heat * 0.86 / (rec["QA"] * 0.2895 * 3600)
    return dict(air=rec["QA"] * 3600, heat=heat, dph=m["q70_drop"], leaving=leaving)


def envelope_breaches(m, f):
    """The envelopes the model misses, as short texts ("DPh 3.4 < 5"); empty when it
    meets them all. Unit heaters have an envelope of their own."""
    out = []

    def inside(label, value, bounds, digits):
        miss = outside(label, value, bounds, digits)
        if miss:
            out.append(miss)

    if m["series"] in D.UNIT_HEATER_SERIES:
        e = D.UNIT_HEATER_ENVELOPE
        inside("QA", f["air"], e["air"], 0)
        if "heat" not in f:
            out.append("no heating")
        else:
            inside("PH/QA", f["heat"] / f.get("heat_air", f["air"]), e["heat"], 2)
        return out
    e = D.ENVELOPE
    if "cool" in f:
        inside("PT/QA", f["cool"] / f["cool_air"], e["cool"], 2)
        inside("PS/PT", f["shr"], e["shr"], 2)
        inside("DPc", f["dpc"], e["drop"], 2)
    if "heat" not in f:
        out.append("no heating")
    else:
        inside("PH/QA", f["heat"] / f["heat_air"], e["heat"], 2)
        inside("DPh", f["dph"], e["drop"], 2)
    return out


def outside_drop_window(m, f):
    """The drops of a fan coil, cassette or ducted unit that lie inside the envelope but
    outside the window its circuits were chosen for (no margin left)."""
    if m["series"] in D.UNIT_HEATER_SERIES:
        return []
    lo, hi = D.DROP_WINDOW_KPA
    return [f"{label} {f[key]:.1f}" for key, label in (("dpc", "DPc"), ("dph", "DPh"))
            if key in f and not lo <= f[key] <= hi]


# The fan side: what the screens' searches (selection.py) make of each record.

def sound_misses(m, rec):
    """Sound fields that are not whole dB(A), and speeds whose sound power is not above
    the next slower one's. TORVAEC's LWA is a coefficient of its sound polynomial, DARNE's
    LWA1 the silence of natural convection."""
    if m["series"] == "TORVAEC":
        return []
    out = []
    fields = [k for k in rec if re.fullmatch(r"L[WP]A\d*", k)]
    broken = [f"{k} {rec[k]:g}" for k in fields if float(rec[k]) != round(float(rec[k]))]
    if broken:
        out.append("not whole dB: " + ", ".join(broken))
    steps = sorted(int(k[3:]) for k in fields if re.fullmatch(r"LWA\d+", k))
    if m["series"] == "DARNE":
        steps = [k for k in steps if k >= 2]
    falls = [f"LWA{b} {rec[f'LWA{b}']:g} <= LWA{a} {rec[f'LWA{a}']:g}"
             for a, b in zip(steps, steps[1:]) if rec[f"LWA{b}"] <= rec[f"LWA{a}"]]
    if falls:
        out.append("sound not rising with speed: " + ", ".join(falls))
    return out


def top_sound(m, rec):
    """Sound power at the top speed (dB(A)): the table's, UMBRA's at 10 V and MaxQa."""
    if m["series"] == "UMBRA":
        point = S.umbra_point(rec, rec["MaxQa"], 0)
        return point["sound"] if isinstance(point, dict) else None
    values = [rec[k] for k in rec if re.fullmatch(r"LWA\d*", k)]
    return max(values) if values and m["series"] != "TORVAEC" else None


def ec_step_misses(rec):
    """EC steps whose curve the free-delivery search cannot find (no zero pressure below
    2500 m3/h, or no flow at 0 Pa) and nominal speeds that do not rise with the step."""
    out = []
    for k in range(8):
        curve = S.curve_of(rec, k)
        if S.free_delivery_scan(curve) is None:
            out.append(f"step {k} still above 0 Pa at 2500 m3/h")
        elif S.fan_flow_at_pressure(0, curve) == 0:
            out.append(f"step {k}: no flow found at 0 Pa")
        if k and rec[f"G{k}"] <= rec[f"G{k - 1}"]:
            out.append(f"G{k} {rec[f'G{k}']} <= G{k - 1} {rec[f'G{k - 1}']}")
    return out


def ec_point_misses(label, point, q_m3h, misses):
    """The misses of an EC working point (a text when the screen gives no row); the
    absorbed power per l/s of air, or None."""
    if isinstance(point, str):
        misses.append(f"{label}: {point}")
        return None
    e = D.FAN_ENVELOPE
    per_ls = point["power"] / (q_m3h / 3.6)
    for miss in (outside(f"{label} W/(l/s)", per_ls, e["power_per_ls"], 2),
                 outside(f"{label} Vin", point["vin"], e["signal"], 2)):
        if miss:
            misses.append(miss)
    return per_ls


def describe_ec(label, point, per_ls):
    return (f"{label}: step {point['step']} {point['speed']} rpm {point['vin']:.1f} V "
            f"{per_ls:.2f} W/(l/s) LW {point['sound']:.1f}")


def accessory_rows_of(series):
    return S.accessory_rows(accessory_table(ACCESSORIES_OF[series]))


def accessory_misses(m, rec, flow_m3s, misses):
    """The loss of every accessory at the unit's nominal flow; the range of the losses."""
    accessories = ACCESSORIES_OF[m["series"]]
    losses = [S.accessory_loss(row, rec, flow_m3s) for row in accessory_rows_of(m["series"])]
    for (caption, *_), loss in zip(accessories, losses):
        miss = outside(f"{caption} loss", loss, D.FAN_ENVELOPE["accessory_loss"], 1)
        if miss:
            misses.append(miss + " Pa")
    return min(losses), max(losses)


def ducted_fan(m, rec, misses):
    """KELM, ZOPH: the working point of the top tap against the duct pressure, with the
    additional coil for an HX model, and with each accessory; the coil's air flow."""
    p, spec = D.DUCT_PRESSURE_PA, getattr(D, m["series"])
    top, rows = len(spec["taps"]), accessory_rows_of(m["series"])
    hx = m["name"].endswith("HX")
    flow = S.ducted_working_point(rec, top, p, rows, {0} if hx else ())
    label = f"{p:g} Pa" + (" with HX" if hx else "")
    if flow is None:
        misses.append(f"{label}: no working point at tap {top}")
        return None, f"{label}: no working point"
    text = f"{label}: tap {top} at {flow * 3600:.0f} m3/h, LW {rec[f'LWA{top}']:g}"
    if not hx:
        lo, hi = accessory_misses(m, rec, flow, misses)
        text += f"; accessories {lo:.0f}-{hi:.0f} Pa"
        for i, (caption, *_) in enumerate(ACCESSORIES_OF[m["series"]]):
            if S.ducted_working_point(rec, top, p, rows, {i}) is None:
                misses.append(f"{label} with {caption}: no working point")
    return flow, text


def ducted_ec_fan(m, rec, misses, stats):
    """KELMBLDC, ZOPHBLDC at the nominal flow: the working point against 0 Pa and the
    duct pressure (with the additional coil for an HX model), the steps, the accessories."""
    q = (m["rate"]["cool_flow"] or m["rate"]["heat_flow"]) * 3600
    p, rows = D.DUCT_PRESSURE_PA, accessory_rows_of(m["series"])
    misses.extend(ec_step_misses(rec))
    hx = m["name"].endswith("HX")
    duties = [("0 Pa", 0.0, ()), (f"{p:g} Pa", p, ())]
    if hx:
        duties.append((f"{p:g} Pa with HX", p, {0}))
    text = ""
    for label, pressure, ticked in duties:
        point = S.ducted_ec_point(rec, q, pressure, rows, ticked)
        per_ls = ec_point_misses(label, point, q, misses)
        if per_ls is not None:
            stats["per_ls"].append(per_ls)
            stats["vin"].append(point["vin"])
            text = describe_ec(label, point, per_ls)
    if not hx:
        lo, hi = accessory_misses(m, rec, q / 3600, misses)
        text += f"; accessories {lo:.0f}-{hi:.0f} Pa"
    return text


def fan_coil_ec_fan(m, rec, misses, stats):
    """MIRALEC, PELVOEC at the nominal flow against 0 Pa (the screen's default), and at
    the smallest flow offered; the steps."""
    q = (m["rate"]["cool_flow"] or m["rate"]["heat_flow"]) * 3600
    misses.extend(ec_step_misses(rec))
    point = S.fan_coil_ec_point(rec, q, 0)
    per_ls = ec_point_misses("0 Pa", point, q, misses)
    text = ""
    if per_ls is not None:
        stats["per_ls"].append(per_ls)
        stats["vin"].append(point["vin"])
        text = describe_ec("0 Pa", point, per_ls)
    if not 0 < rec["MinQa"] < q:
        misses.append(f"MinQa {rec['MinQa']} not between 0 and the nominal {q:.0f} m3/h")
    low = S.fan_coil_ec_point(rec, rec["MinQa"], 0)
    if isinstance(low, str):
        misses.append(f"MinQa {rec['MinQa']} m3/h at 0 Pa: {low}")
    else:
        text += f"; MinQa {rec['MinQa']} at {low['vin']:.1f} V"
    return text


def umbra_fan(m, rec, misses, stats):
    """UMBRA: at the nominal flow against 0 Pa, then over its flow window against 0 to 50
    Pa: wherever the fan at 10 V has the pressure in reserve (at 0 Pa over the whole
    window, against 50 Pa at least at its smallest flow) the signal scan must end on a
    signal within the screen's range, and the sound scan on a free flow up to MaxQa."""
    q = (m["rate"]["cool_flow"] or m["rate"]["heat_flow"]) * 3600
    lo, hi = rec["MinQa"], rec["MaxQa"]
    if not lo < q <= hi:
        misses.append(f"nominal {q:.0f} m3/h outside the window {lo}..{hi}")
    text = ""
    point = S.umbra_point(rec, q, 0)
    if not isinstance(point, str) and point["power"] is not None:
        per_ls = ec_point_misses("0 Pa", point, q, misses)
        stats["per_ls"].append(per_ls)
        text = f"0 Pa: {point['vin']:.1f} V {per_ls:.2f} W/(l/s)"
        text += f" LW {point['sound']:.1f}" if point["sound"] is not None else ""
    signals, failures, count = [], [], 0
    for j in range(D.UMBRA_CHECK_FLOWS):
        flow = lo + (hi - lo) * j / (D.UMBRA_CHECK_FLOWS - 1)
        for pressure in D.UMBRA_CHECK_PRESSURES_PA:
            point = S.umbra_point(rec, flow, pressure)
            count += 1
            at = f"{flow:.0f} m3/h {pressure:g} Pa"
            if isinstance(point, str):
                if pressure == 0 or j == 0:
                    failures.append(f"{at}: {point}")
            elif point["power"] is None:
                failures.append(f"{at}: no signal from 10 down to 0.5 V")
            elif point["sound"] is None:
                failures.append(f"{at}: no free flow up to MaxQa")
            else:
                signals.append(point["vin"])
                miss = outside(f"{at}: Vin", point["vin"], D.FAN_ENVELOPE["signal"], 2)
                if miss:
                    failures.append(miss)
    if failures:
        misses.append(f"{len(failures)} of {count} window points: " + "; ".join(failures[:3]))
    if signals:
        stats["vin"].extend(signals)
        text += f"; window {min(signals):.2f}-{max(signals):.2f} V"
    return text


def assessed_models(program):
    """Every model with its figures at the screens' defaults: the coil's (vestra-rate),
    the fan side's (selection.py), and "misses", the envelopes it misses."""
    rate = Rater(program)
    cal_of = load_calibration()
    models = build_all()
    by_name = {m["name"]: m for m in models}
    out = []
    for m in models:
        cal = cal_of.get(m["name"], DEFAULT_CAL)
        rec = m["fields"](cal)
        misses, stats, fan = [], dict(per_ls=[], vin=[]), ""
        series = m["series"]
        if m.get("q70"):
            f = q70_figures(m, rec)
            fan = f"leaving {f['leaving']:.1f} degC"
        elif series in ("KELM", "ZOPH"):
            flow, fan = ducted_fan(m, rec, misses)
            donor = by_name.get(m.get("cooling_from"))
            f = coil_figures(rate, m, cal, flow,
                             (donor, cal_of.get(donor["name"], DEFAULT_CAL)) if donor else None)
        else:
            f = coil_figures(rate, m, cal)
            if series in ("KELMBLDC", "ZOPHBLDC"):
                fan = ducted_ec_fan(m, rec, misses, stats)
            elif series in ("MIRALEC", "PELVOEC"):
                fan = fan_coil_ec_fan(m, rec, misses, stats)
            elif series == "UMBRA":
                fan = umbra_fan(m, rec, misses, stats)
        f["misses"] = envelope_breaches(m, f) + misses + sound_misses(m, rec)
        f["fan"], f["stats"], f["sound"] = fan, stats, top_sound(m, rec)
        out.append((m, f))
    q70_leaving_misses(out)
    return out


def q70_leaving_misses(assessed):
    """Unit heaters of different sizes leave at different temperatures: each Q70 size's
    leaving air with the 4-pole motor must differ from every other size's."""
    fastest = [(m, f) for m, f in assessed if m.get("q70") and m["name"].endswith("-4")]
    for m, f in fastest:
        near = [o["name"] for o, g in fastest if o is not m
                and abs(g["leaving"] - f["leaving"]) < D.Q70_LEAVING_AIR_APART_K]
        if near:
            f["misses"].append(
                f"leaves within {D.Q70_LEAVING_AIR_APART_K:g} K of {', '.join(near)}")


def report(program):
    series = {}
    breaches = 0
    print(f"{'model':<16} {'air m3/h':>8} {'PT W':>6} {'PS/PT':>6} {'DPc kPa':>7} {'PH W':>6} "
          f"{'DPh kPa':>7} {'PT/QA':>6} {'PH/QA':>6}  fan side | outside the envelope")
    for m, f in assessed_models(program):
        s = series.setdefault(m["series"], dict(n=0, air=[], cool=[], heat=[], dpc=[], dph=[],
                                                per_ls=[], vin=[], sound=[], leaving=[]))
        s["n"] += 1
        s["air"].append(f["air"])
        for key in ("cool", "heat", "dpc", "dph"):
            if key in f:
                s[key].append(f[key])
        s["per_ls"] += f["stats"]["per_ls"]
        s["vin"] += f["stats"]["vin"]
        if f["sound"] is not None:
            s["sound"].append(f["sound"])
        if "leaving" in f and m["name"].endswith("-4"):
            s["leaving"].append(f["leaving"])
        line = f"{m['name']:<16} {f['air']:8.0f} "
        if "cool" in f:
            line += f"{f['cool']:6.0f} {f['shr']:6.2f} {f['dpc']:7.1f} "
        else:
            line += f"{'':>6} {'':>6} {'':>7} "
        line += f"{f['heat']:6.0f} {f['dph']:7.1f} " if "heat" in f else f"{'':>6} {'':>7} "
        line += f"{f['cool'] / f['cool_air']:6.2f} " if "cool" in f else f"{'':>6} "
        line += f"{f['heat'] / f.get('heat_air', f['air']):6.2f}" if "heat" in f else f"{'':>6}"
        line += f"  {f['fan']}" if f["fan"] else ""
        breaches += bool(f["misses"])
        print((line + (" | " + ", ".join(f["misses"]) if f["misses"] else "")).rstrip())
    print()

    def span(v, width=6, digits=0):
        return (f"{min(v):{width}.{digits}f} - {max(v):{width}.{digits}f}" if v
                else f"{'-':>{2 * width + 3}}")

    print(f"{'series':<9} {'models':>6} {'air flow m3/h':>15} {'cooling W':>15} {'heating W':>15} "
          f"{'DPc kPa':>11} {'DPh kPa':>11}")
    for name, s in series.items():
        print(f"{name:<9} {s['n']:6d} {span(s['air'])} {span(s['cool'])} {span(s['heat'])} "
              f"{span(s['dpc'], 4, 1)} {span(s['dph'], 4, 1)}")
    print()
    print(f"{'series':<9} {'LW top dB(A)':>13} {'W/(l/s)':>11} {'signal V':>11} "
          f"{'leaving 4p degC':>15}")
    for name, s in series.items():
        print(f"{name:<9} {span(s['sound'], 5, 1)} {span(s['per_ls'], 4, 2)} "
              f"{span(s['vin'], 4, 1)} {span(s['leaving'], 5, 1)}")
    print()
    print(f"{breaches} models outside the envelope")


def check(program):
    """Prints every model outside its envelope and every drop without the margin of the
    circuits' window; the exit status is 1 when a model lies outside."""
    outside_lines, tight, count = [], [], 0
    for m, f in assessed_models(program):
        count += 1
        loose = outside_drop_window(m, f)
        if f["misses"]:
            outside_lines.append(f"{m['name']:<16} {', '.join(f['misses'])}")
        elif loose:
            tight.append(f"{m['name']:<16} {', '.join(loose)}")
    lo, hi = D.DROP_WINDOW_KPA
    for line in outside_lines:
        print(line)
    if tight:
        print(f"inside the envelope, but a drop outside {lo:g}..{hi:g} kPa:")
        for line in tight:
            print("  " + line)
    print(f"{count} models, {len(outside_lines)} outside the envelope")
    return 1 if outside_lines else 0


def main(argv):
    if len(argv) >= 2 and argv[1] == "generate":
        generate()
    elif len(argv) >= 3 and argv[1] == "calibrate":
        calibrate(argv[2], argv[3:])
    elif len(argv) == 3 and argv[1] == "report":
        report(argv[2])
    elif len(argv) == 3 and argv[1] == "check":
        return check(argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
