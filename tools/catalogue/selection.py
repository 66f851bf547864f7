"""The fan side of the selection screens' Calculate, worked on one catalogue record.

catalogue.py checks the data with these: what air flow a ducted unit settles at against
the duct, which EC steps bracket a typed air flow and what speed, control voltage,
absorbed power and sound power the program interpolates between them, and which control
signal an UMBRA unit needs. They follow the program's searches step by step, with its
scan limits, pass counts and tolerances, and round to single precision where it does, so
that a curve the program cannot search is caught here and not by a user.

A record is a dict of the table's fields (as catalogue.py writes them). Air flows are in
m3/h where a fan curve reads them and in m3/s where the program works in m3/s.
"""

import math
import struct

SPIGOT_AREA_M2 = 0.0314  # one 200 mm circular spigot
SEARCH_PASSES = 20


def f32(x):
    """x stored in single precision."""
    return struct.unpack("f", struct.pack("f", x))[0]


def cint(x):
    """Nearest integer, halves to even (as Python's round does)."""
    return int(round(x))


# ---------------------------------------------------------------------------------------
# Fan curves and duct accessories

def curve_of(rec, k):
    """(VA, VB, VC) of fan step k as the program holds them (single precision)."""
    return tuple(f32(rec[f"V{k}{c}"]) for c in "ABC")


def fan_static_pressure(q_m3h, curve):
    va, vb, vc = curve
    return va * q_m3h * q_m3h + vb * q_m3h + vc


def free_delivery_scan(curve):
    """The first of 50, 60 ... 2500 m3/h where the curve gives less than 0 Pa; None when
    it never does (the search then works between 0 and 2000 m3/h, wherever the curve
    crosses zero)."""
    for q in range(50, 2501, 10):
        if fan_static_pressure(q, curve) < 0:
            return float(q)
    return None


def fan_flow_at_pressure(p, curve):
    """Air flow (m3/h) at which the curve gives p Pa: bisection under the free-delivery
    scan, 20 passes, to 0.001 Pa compared in single precision; 0 when not found."""
    scanned = free_delivery_scan(curve)
    high, low = (2000.0 if scanned is None else scanned), 0.0
    p = f32(p)
    for _ in range(SEARCH_PASSES):
        q = f32((high + low) / 2)
        r = fan_static_pressure(q, curve)
        if f32(abs(p - r)) < f32(0.001):
            return q
        if r > p:
            low = q
        else:
            high = q
    return 0.0


def accessory_rows(table):
    """(Cost, Espo, on the spigots) of the rows of DPAcc or DPAccZOPH, single precision."""
    return [(f32(row["Cost"]), f32(row["Espo"]), row["OPZBoc"] == "S") for row in table]


def accessory_loss(row, rec, flow_m3s):
    """Loss in Pa of one accessory at an air flow in m3/s: Cost v^Espo with v through the
    outlet section, or through the spigots for an accessory fitted on them."""
    cost, espo, on_spigots = row
    area = rec["Bocche"] * f32(SPIGOT_AREA_M2) if on_spigots else f32(rec["Sezione"])
    v = f32(flow_m3s / area)
    return f32(cost * v ** espo)


def ticked_losses(rows, ticked, rec, flow_m3s):
    total = 0.0
    for i in sorted(ticked):
        total = f32(total + accessory_loss(rows[i], rec, flow_m3s))
    return total


def duct_flow_at_pressure(p, curve, rec=None, rows=(), ticked=()):
    """Air flow (m3/h) at which the curve, less the losses of the ticked accessories (row
    indices from 0), gives p Pa: bisection between 0 and 7000 m3/h, 20 passes, to 0.01
    Pa; 0 when not found."""
    high, low = 7000.0, 0.0
    p = f32(p)
    for _ in range(SEARCH_PASSES):
        q = f32((high + low) / 2)
        r = fan_static_pressure(q, curve)
        if ticked:
            r = f32(f32(r) - ticked_losses(rows, ticked, rec, f32(q / 3600)))
        if abs(p - r) < 0.01:
            return q
        if r > p:
            low = q
        else:
            high = q
    return 0.0


# ---------------------------------------------------------------------------------------
# Ducted units with fixed-speed taps

def ducted_working_point(rec, tap, pressure, rows=(), ticked=()):
    """Air flow (m3/s) of a ducted unit at a tap against an external pressure with the
    ticked accessories, or None when the screen rejects the point: no flow found, or not
    above a quarter of the first tap's free delivery."""
    flow = duct_flow_at_pressure(pressure, curve_of(rec, tap), rec, rows, ticked) / 3600
    low_free = duct_flow_at_pressure(0, curve_of(rec, 1)) / 3600
    if flow == 0 or f32(low_free / 4) >= flow:
        return None
    return flow


# ---------------------------------------------------------------------------------------
# EC steps: the bracket of a typed air flow and the interpolation between its steps

def step_power(rec, k, q_m3s):
    q = 3600 * q_m3s
    return f32(rec[f"P{k}A"]) * q * q + f32(rec[f"P{k}B"]) * q + f32(rec[f"P{k}C"])


class Bracket:
    """The steps that bracket a flow: the upper step (None when no step exceeds the flow)
    with its flow, the lower step with its flow, and the flow of the last step looked at."""

    def __init__(self):
        self.up, self.q_up, self.low, self.q_low, self.last = None, 0.0, 0, 0.0, 0.0


def ducted_ec_bracket(rec, pressure, q_m3s, ref, lower_flow=0.0):
    """EC ducted units: steps 0..7 at a pressure; a step above 0 that gives no more than
    a third of the step-1 free delivery is passed over. The lower flow carries over from
    the model's previous search."""
    b = Bracket()
    b.q_low = lower_flow
    third = f32(ref / 3)
    for s in range(8):
        q = f32(fan_flow_at_pressure(pressure, curve_of(rec, s)) / 3600)
        b.last = q
        if s >= 1 and third >= q:
            continue
        if q < q_m3s:
            b.low, b.q_low = s, q
        elif q > q_m3s:
            b.up, b.q_up = s, q
            break
    return b


def fan_coil_ec_bracket(rec, pressure, q_m3s, q_min):
    """EC fan coils: steps 0..7 at a pressure; a step above 0 must give more than a third
    of the step-1 free delivery to take part."""
    b = Bracket()
    third = f32(q_min / 3)
    for k in range(8):
        q = f32(fan_flow_at_pressure(pressure, curve_of(rec, k)) / 3600)
        b.last = q
        if not (q > third or k == 0):
            continue
        if q < q_m3s:
            b.low, b.q_low = k, q
        if q > q_m3s:
            b.up, b.q_up = k, q
            break
    return b


def interpolated(b, q_m3s, at_up, at_low):
    """A per-step quantity at the flow: straight between the two steps, or from zero at
    zero flow when the flow lies below step 0's."""
    if b.up > 0:
        return at_up - (at_up - at_low) * (b.q_up - q_m3s) / (b.q_up - b.q_low)
    return at_up - at_up * (b.q_up - q_m3s) / b.q_up


def control_voltage(speed, rec, step):
    """0.5 V at 100 rpm, 9 V at the nominal speed of the step the voltage refers to."""
    return f32((speed - 100) / (rec[f"G{step}"] - 100) * 8.5 + 0.5)


def ducted_ec_point(rec, q_m3h, pressure, rows=(), ticked=()):
    """The working point of an EC ducted unit at a typed air flow against an external
    pressure with the ticked accessories: dict(step, speed, vin, power, sound, floor) or
    a text saying why the screen gives no row."""
    q = f32(q_m3h / 3600)
    required = f32(pressure + ticked_losses(rows, ticked, rec, q)) if ticked else f32(pressure)
    if required < 0:
        return "negative required pressure"
    ref = f32(fan_flow_at_pressure(0, curve_of(rec, 1)) / 3600)
    free = ducted_ec_bracket(rec, 0, q, ref)
    if free.up is None:
        return "no step above the flow at 0 Pa"

    def at(b):
        g_up, g_low = rec[f"G{b.up}"], rec[f"G{b.low}"] if b.up > 0 else 0
        speed = cint(interpolated(b, q, g_up, g_low))
        sound = f32(interpolated(b, q, rec[f"LWA{b.up}"], rec[f"LWA{b.low}"] if b.up > 0 else 0))
        power = interpolated(b, q, step_power(rec, b.up, b.q_up),
                             step_power(rec, b.low, b.q_low) if b.up > 0 else 0)
        return speed, sound, power

    free_speed, free_sound, _ = at(free)
    work = ducted_ec_bracket(rec, required, q, ref, free.q_low)
    if f32(ref / 3) >= (work.q_up if work.up is not None else work.last):
        return f"working flow not above a third of step 1's free delivery at {required:.0f} Pa"
    if work.up is None:
        return f"no step above the flow at {required:.0f} Pa"
    speed, sound, power = at(work)
    if required > 0:
        sound = f32(free_sound + rec["Nlog"] * math.log10(speed / free_speed))
    floor = f32(rec["LWA0"] - 3) > sound
    if floor:
        sound = f32(rec["LWA0"] - 3)
    if speed < 150:
        return f"fan speed {speed} rpm below 150"
    step = max(1, work.up)
    return dict(step=work.up, speed=speed, vin=control_voltage(speed, rec, step), power=power,
                sound=sound, floor=floor, required=required)


def fan_coil_ec_point(rec, q_m3h, pressure):
    """The working point of an EC fan coil at a typed air flow against an external
    pressure: dict(step, speed, vin, power, sound) or a text saying why the screen gives
    no row."""
    q = f32(q_m3h / 3600)
    if rec["MinQa"] / 3600 > q:
        return f"below its minimum flow {rec['MinQa']} m3/h"
    q_min = f32(fan_flow_at_pressure(0, curve_of(rec, 1)) / 3600)

    def at(b):
        r = b.q_up - q
        g_up = rec[f"G{b.up}"]
        if b.up > 0:
            span = b.q_up - b.q_low
            speed = cint(g_up - r * (g_up - rec[f"G{b.low}"]) / span)
            p_up = step_power(rec, b.up, b.q_up)
            power = p_up - (p_up - step_power(rec, b.low, b.q_low)) * r / span
            sound = rec[f"LWA{b.up}"] - (rec[f"LWA{b.up}"] - rec[f"LWA{b.low}"]) * r / span
        else:
            speed = cint(g_up - r * g_up / b.q_up)
            p_up = step_power(rec, 0, b.q_up)
            power = p_up - r * p_up / b.q_up
            sound = 55 * math.log10(speed / g_up) + rec["LWA0"]
        return speed, f32(sound), power

    free = fan_coil_ec_bracket(rec, 0, q, q_min)
    work = fan_coil_ec_bracket(rec, pressure, q, q_min)
    if f32(q_min / 3) >= work.last:
        return f"working flow not above a third of step 1's free delivery at {pressure:g} Pa"
    if work.up is None:
        return f"no step above the flow at {pressure:g} Pa"
    speed, sound, power = at(work)
    if pressure > 0:
        if free.up is None:
            return "no step above the flow at 0 Pa"
        free_speed, free_sound, _ = at(free)
        sound = f32(free_sound + rec["Nlog"] * math.log10(speed / free_speed))
    sound = max(sound, 28.0)
    if speed < 150:
        return f"fan speed {speed} rpm below 150"
    step = work.up or 1
    return dict(step=work.up, speed=speed, vin=control_voltage(speed, rec, step), power=power,
                sound=sound)


# ---------------------------------------------------------------------------------------
# UMBRA: fan, power and sound as polynomials in the 0-10 V signal

def umbra_poly(rec, name, v):
    return f32(rec[f"{name}1"]) * v * v + f32(rec[f"{name}2"]) * v + f32(rec[f"{name}3"])


def umbra_pressure(rec, q_m3h, v):
    return (umbra_poly(rec, "AK", v) * q_m3h * q_m3h + umbra_poly(rec, "BX", v) * q_m3h
            + umbra_poly(rec, "CY", v))


def umbra_power(rec, q_m3h, v):
    return (umbra_poly(rec, "AA", v) * q_m3h * q_m3h + umbra_poly(rec, "BB", v) * q_m3h
            + umbra_poly(rec, "CC", v))


def umbra_point(rec, q_m3h, pressure):
    """The control signal of an UMBRA unit for a typed air flow against an external
    pressure: dict(vin, power, free, sound), where power is None when no signal from 10 V
    down to 0.5 V meets the pressure within 0.1 Pa and free and sound are None when no
    flow up to MaxQa brings the pressure at that signal below 1 Pa; or a text saying why
    the screen skips the model."""
    q, p = f32(q_m3h), f32(pressure)
    if not rec["MinQa"] <= q <= rec["MaxQa"]:
        return "outside its flow window"
    if umbra_pressure(rec, q, 10) < p:
        return "no pressure reserve at 10 V"
    v, step, vin = f32(10), f32(-0.01), None
    while v >= 0.5:
        if abs(p - umbra_pressure(rec, q, v)) < 0.1:
            vin = v
            break
        v = f32(v + step)
    if vin is None:
        return dict(vin=v, power=None, free=None, sound=None)
    free, scan = None, q
    while scan <= rec["MaxQa"]:
        if umbra_pressure(rec, scan, vin) < 1:
            free = scan
            break
        scan = f32(scan + 1)
    sound = None
    if free is not None:
        sound = f32(f32(rec["AL1"]) * free * free + f32(rec["AL2"]) * free + f32(rec["AL3"]))
        sound = f32(sound + rec["KDB"])
    return dict(vin=vin, power=umbra_power(rec, q, vin), free=free, sound=sound)
