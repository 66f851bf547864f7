"""Design parameters of the Vestra catalogue, one block per product series.

Everything an engineer would set by hand lives here: the sizes of each range, the coil
of each size, the air flows at the top speed, the fan shut-off pressures, the speed
steps, the sound power and the absorbed power at the top speed, and the rating targets
that the calibration matches with vestra-rate. catalogue.py turns these into the model
records; the coil coefficients (air-side coefficients, bypass coefficient, circuits)
come from calibration.json, which `catalogue.py calibrate` writes.

Units follow the catalogue fields: coil length and height in mm, air flows in m3/h
unless a field says otherwise, pressures in Pa, sound power in dB(A), power in W.

Rating targets are per m3/h of air at the screens' default conditions: cooling with air
at 27 degC / 47 % and water 7/12 degC, heating with air at 20 degC and water 70/60 degC.
"""

# Fan curve shape shared by every fixed-speed curve: p = p0 (1 - A x - (1 - A) x^2) with
# x = Q / Qfree, so the curve falls monotonically from the shut-off pressure p0 to zero
# at the free-delivery flow Qfree. Lower speeds follow the fan laws (Q ~ n, p ~ n^2).
CURVE_SLOPE_SHARE = 0.3

# Targets by coil depth: (cooling W per m3/h, sensible share, heating W per m3/h). The
# smallest size of a range gets the first value of a pair, the largest the second.
TARGETS = {
    3: {"cool": (5.6, 5.1), "shr": 0.74, "heat": (7.9, 7.3)},
    2: {"cool": (4.9, 4.5), "shr": 0.78, "heat": (7.2, 6.9)},
    1: {"cool": (4.2, 4.2), "shr": 0.82, "heat": (6.9, 6.8)},
}
# Unit heaters: larger faces at higher velocity; targets at the fastest motor.
HEATER_TARGETS = {"cool": (4.4, 4.1), "shr": 0.80, "heat": (6.8, 6.3)}

# Water pressure drops, kPa. A fan coil's circuits are chosen so that every drop it is
# rated for (cooling at 7/12 degC, heating at 70/60 degC) lies inside this window, as far
# from both ends as the whole number of circuits allows. The heating drop of a coil is
# about half its cooling drop: circuits aimed at the cooling drop alone (near 18 kPa)
# leave the small sizes' heating drop at 3-4 kPa, too little for a balancing valve to
# work against. The window sits inside the catalogue envelope below with a margin.
DROP_WINDOW_KPA = (6.0, 45.0)
# A small coil may have no whole number of circuits that fits the window (one circuit
# gives too high a cooling drop, two too low a heating drop). Its rating targets may then
# give way: the cooling per m3/h down to cool_share of its target and never below cool,
# the heating up to heat_share of its target and never above heat, both bounds inside
# the envelope below with a margin.
DROP_TRADE_LIMITS = dict(cool_share=0.88, cool=4.2, heat_share=1.12, heat=8.2)
# The unit heaters' circuits are chosen for a cooling drop near this value instead (their
# heating drop has no envelope of its own).
UNIT_HEATER_COOLING_DROP_KPA = 18.0
UNIT_HEATER_SERIES = ("TORVA", "TORVAEC", "Q70")

# What every model must meet at the default conditions, rated at its top speed (the EC
# series at their nominal flow, KELM and ZOPH at their working point against 50 Pa);
# `catalogue.py check` flags every model outside. Capacities in W per m3/h of air, drops
# in kPa.
ENVELOPE = dict(cool=(4.0, 6.7), shr=(0.70, 0.90), heat=(6.7, 8.4), drop=(5.0, 50.0))
UNIT_HEATER_ENVELOPE = dict(heat=(4.0, 11.0), air=(1000.0, 10000.0))
# Q70 sizes with the 4-pole motor leave at temperatures at least this far apart (K).
Q70_LEAVING_AIR_APART_K = 0.5

# The fan side, checked with the screens' own searches (selection.py): the EC units'
# absorbed power at the working point per l/s of air and the control voltage they are
# set to; the loss of each accessory of a ducted unit at its nominal flow (a plenum or a
# spigot outlet a few Pa, a filter or the additional coil a few tens).
FAN_ENVELOPE = dict(power_per_ls=(0.1, 0.5), signal=(0.5, 10.0), accessory_loss=(2.0, 60.0))
# The ducted units are checked against this external pressure, with no accessory, with
# the additional coil (HX models) and with each accessory alone.
DUCT_PRESSURE_PA = 50.0
# UMBRA is checked over its flow window (MinQa to MaxQa in equal steps) at these
# external pressures.
UMBRA_CHECK_FLOWS = 11
UMBRA_CHECK_PRESSURES_PA = (0, 10, 20, 30, 40, 50)

# ---------------------------------------------------------------------------------------
# Fan coils with fixed-speed fans. sizes: (size, coil length mm, top air flow m3/h, top
# sound power dB(A), top absorbed power W). For the series with fan curves the top air
# flow is the free delivery at 0 Pa; for PELVO it is the catalogue flow Qa3.
#
# rows_of_size: the small sizes whose coil has fewer rows than the range's. A small
# size's 3-row coil has no whole number of circuits for both water drops: in two
# circuits its heating water runs too slowly (under 5 kPa at 70/60 degC), in one the 24
# or more tubes in series take the cooling drop past 45 kPa at 7/12 degC. Two rows in one
# circuit meet both. The HX unit keeps its base unit's coil.

MIRAL = dict(
    set="S4", geometry=2, pitch=3, rows=3, height=200, header=1.2, shutoff=(45, 80),
    speeds=(0.58, 0.78, 1.0), hx=True, rows_of_size={20: 2, 30: 2},
    sizes=[(20, 400, 330, 45, 34), (30, 500, 450, 48, 42), (40, 650, 600, 51, 55),
           (50, 800, 780, 54, 70), (60, 950, 950, 56, 86), (70, 1100, 1150, 58, 104),
           (80, 1300, 1400, 60, 125), (90, 1500, 1650, 62, 148)],
)

MIRALP = dict(
    set="S4", geometry=2, pitch=2, rows=3, height=225, header=1.2, shutoff=(50, 85),
    speeds=(0.45, 0.56, 0.67, 0.78, 0.89, 1.0), hx=True, rows_of_size={20: 2},
    sizes=[(20, 450, 350, 46, 36), (30, 600, 500, 49, 46), (40, 750, 680, 52, 60),
           (50, 950, 880, 55, 76), (60, 1150, 1100, 57, 95), (70, 1350, 1350, 60, 118)],
)

PELVO = dict(
    set="S4", geometry=3, pitch=2, rows=3, height=200, header=1.0,
    speeds=(0.55, 0.77, 1.0), hx=True, rows_of_size={20: 2, 30: 2},
    sizes=[(20, 400, 300, 44, 0), (30, 500, 420, 47, 0), (40, 650, 560, 50, 0),
           (50, 800, 720, 53, 0), (60, 950, 900, 55, 0), (70, 1100, 1100, 57, 0),
           (80, 1300, 1350, 60, 0)],
)

# VELD: flows in m3/s in the table (cooling; heating runs 4 % higher with the damper
# open); the air-side velocity exponents FX31 / CX31 replace the geometry's.
VELD = dict(
    set="S8", geometry=2, pitch=3, rows=3, height=250, header=1.0,
    speeds=(0.6, 0.8, 1.0), heating_flow_factor=1.04, fx31=0.62, cx31=0.60,
    rows_of_size={20: 2},
    sizes=[(20, 500, 360, 47, 0), (30, 700, 540, 50, 0), (40, 900, 760, 53, 0),
           (50, 1150, 1000, 56, 0)],
)

# High-wall units; NARTE's smallest model has 7 mm tubes (0.0064 m inside).
LUMO = dict(
    set="S5", geometry=2, pitch=2, rows=2, height=225, header=1.0,
    speeds=(0.62, 0.8, 1.0),
    sizes=[(20, 600, 400, 44, 0), (30, 700, 520, 46, 0), (40, 800, 650, 49, 0),
           (50, 950, 800, 51, 0), (60, 1100, 950, 53, 0)],
)
NARTE = dict(
    set="S5", geometry=2, pitch=1, rows=2, height=200, header=1.0,
    speeds=(0.6, 0.8, 1.0), first_tube=0.0064,
    sizes=[(20, 550, 330, 42, 0), (30, 650, 450, 45, 0), (40, 750, 580, 48, 0),
           (50, 900, 720, 50, 0), (60, 1050, 880, 52, 0)],
)

# Four-way cassettes: the coil runs round the fan, so it is long and low. sizes: (size,
# coil length, top flow, top sound, top power, rows, tube inner diameter m).
QUIVO = dict(
    set="S2", geometry=1, pitch=2, height=175, header=1.5,
    speeds=(0.5, 0.65, 0.82, 1.0),
    sizes=[(20, 1500, 620, 44, 38, 2, 0.0072), (30, 1500, 760, 48, 52, 3, 0.0072),
           (40, 1700, 900, 51, 66, 3, 0.0072), (50, 2400, 1350, 52, 80, 2, 0.0088),
           (60, 2400, 1650, 55, 105, 3, 0.0088), (70, 2700, 1950, 58, 130, 3, 0.0088)],
)
BRISK = dict(
    set="S3", geometry=2, pitch=3, height=200, header=1.5,
    speeds=(0.55, 0.78, 1.0),
    sizes=[(20, 1400, 550, 45, 0, 2, 0.0088), (30, 1600, 800, 48, 0, 3, 0.0088),
           (40, 2200, 1100, 50, 0, 2, 0.0088), (50, 2400, 1500, 53, 0, 3, 0.0088),
           (60, 2700, 1900, 56, 0, 3, 0.0088)],
)

# ---------------------------------------------------------------------------------------
# EC fan coils: eight fan steps at the nominal speeds G0..G7 (rpm); the free-delivery flow
# and the shut-off pressure scale with the fan laws. sizes: (size, coil length, free flow
# at step 7 m3/h, sound power at step 7, absorbed power at step 7 at free delivery W).

EC_STEP_SPEED_SHARE = (0.30, 0.40, 0.50, 0.60, 0.70, 0.80, 0.90, 1.0)
# Absorbed power at free delivery of a step: the motor and its electronics draw a base
# share at any speed, the fan the rest (~ n^3). Along one step's curve the power rises
# from 60 % at shut-off to 100 % at free delivery.
EC_POWER_BASE_SHARE = 0.15
# Sound power of the steps: the step-7 value less this many dB at step 0, in proportion
# to the speed below step 7 (EC fans at low speed are quieter than the 50 log n law of
# the same fan would say, the motor's own noise remaining).
EC_SOUND_SPAN_DB = 13.0
# The EC screens rate a unit at the air flow the engineer types, and a unit is chosen to
# run below its top step: its nominal flow, at which the coil is rated and the catalogue
# is checked, is this share of the step-7 free delivery (between steps 5 and 6, where the
# unit still has speed in reserve).
EC_FAN_COIL_NOMINAL_SHARE = 0.85

MIRALEC = dict(
    set="S4", geometry=2, pitch=3, rows=3, height=200, header=1.2, shutoff=(60, 95),
    top_speed=(1450, 1150), hx=True, nlog=50, rows_of_size={20: 2, 30: 2},
    nominal_share=EC_FAN_COIL_NOMINAL_SHARE,
    sizes=[(20, 400, 340, 44, 20), (30, 500, 460, 47, 26), (40, 650, 620, 50, 34),
           (50, 800, 800, 53, 44), (60, 950, 980, 55, 54), (70, 1100, 1180, 57, 66),
           (80, 1300, 1420, 59, 80)],
)
PELVOEC = dict(
    set="S4", geometry=3, pitch=2, rows=3, height=200, header=1.0, shutoff=(55, 90),
    top_speed=(1400, 1100), hx=True, nlog=50, rows_of_size={20: 2, 30: 2},
    nominal_share=EC_FAN_COIL_NOMINAL_SHARE,
    sizes=[(20, 400, 320, 43, 19), (30, 500, 440, 46, 25), (40, 650, 580, 49, 32),
           (50, 800, 750, 52, 41), (60, 950, 930, 54, 51), (70, 1100, 1130, 56, 62),
           (80, 1300, 1380, 59, 76)],
)

# UMBRA: the fan speed follows the 0-10 V signal as n / n10 = 0.1 + 0.09 V; the fan,
# power and sound polynomials in the signal follow from that and the fan laws. The
# shut-off stays at or below 100 Pa so that the 0.01 V signal scan cannot step over the
# 0.1 Pa band the screen looks for. The nominal flow (8.3 V against 0 Pa) is the share of
# the 10 V free delivery; the smallest offered flow the share min_flow_share of it.
UMBRA = dict(
    set="S4", geometry=2, pitch=2, rows=3, height=225, header=1.2, shutoff=(60, 100),
    hx=True, signal_speed=(0.1, 0.09), min_flow_share=0.2, rows_of_size={20: 2},
    nominal_share=EC_FAN_COIL_NOMINAL_SHARE,
    sizes=[(20, 450, 360, 44, 18), (30, 600, 520, 47, 24), (40, 750, 700, 50, 31),
           (50, 950, 900, 53, 40), (60, 1150, 1120, 55, 50), (70, 1350, 1380, 58, 62)],
)

# ---------------------------------------------------------------------------------------
# Ducted units. sizes: (size, coil length, coil height, air flow at the top tap or step
# against 50 Pa m3/h, top sound power). The HX variant carries a 2-row additional
# heating coil; its pressure loss is accessory row 1. The EC units' nominal flow, at
# which their coil is rated, is nominal_share of the top step's flow against 50 Pa: the
# rest is the fan's reserve for the accessories (the additional coil among them).

KELM = dict(
    set="S6", geometry=3, pitch=2, rows=3, header=1.5, shutoff=(260, 320),
    taps=(0.72, 0.87, 1.0),
    sizes=[(20, 500, 300, 550, 54), (30, 650, 300, 800, 57), (40, 800, 350, 1100, 60),
           (50, 950, 350, 1400, 62), (60, 1100, 400, 1800, 64), (70, 1300, 400, 2300, 66),
           (80, 1500, 450, 2900, 68), (90, 1700, 500, 3600, 70)],
)
# ZOPH's seven taps span a narrow speed range, so that even the first tap still works
# against 50 Pa (its shut-off is 0.7^2 of the top tap's).
ZOPH = dict(
    set="S7", geometry=2, pitch=3, rows=3, header=1.5, shutoff=(150, 180),
    taps=(0.70, 0.75, 0.80, 0.85, 0.90, 0.95, 1.0),
    sizes=[(20, 550, 250, 450, 50), (30, 700, 250, 650, 53), (40, 850, 275, 900, 56),
           (50, 1000, 300, 1200, 59), (60, 1200, 300, 1550, 62), (70, 1400, 325, 2000, 65)],
)
KELMBLDC = dict(
    set="S7", geometry=3, pitch=3, rows=3, header=1.5, shutoff=(240, 290), nlog=50,
    top_speed=(1800, 1350), power_per_ls=0.30, nominal_share=0.8,
    sizes=[(20, 500, 300, 500, 55), (30, 650, 300, 750, 58), (40, 800, 350, 1000, 61),
           (50, 950, 350, 1300, 63), (60, 1100, 400, 1650, 65), (70, 1300, 400, 2000, 68)],
)
# ZOPHBLDC's smallest size has a 2-row coil: at its nominal flow the 3-row coil's heating
# water would run too slowly (under 6 kPa) in the fewest circuits that keep the cooling
# drop under 45 kPa.
ZOPHBLDC = dict(
    set="S7", geometry=2, pitch=3, rows=3, header=1.5, shutoff=(130, 155), nlog=50,
    top_speed=(1600, 1200), power_per_ls=0.22, nominal_share=0.8,
    rows_of_size={20: 2},
    sizes=[(20, 550, 250, 450, 51), (30, 700, 250, 650, 54), (40, 850, 275, 900, 57),
           (50, 1000, 300, 1200, 60), (60, 1200, 300, 1550, 63), (70, 1400, 325, 1950, 66)],
)

# Accessory pressure losses: (caption, Cost, Espo, fitted on the spigots). The velocity
# is the outlet's (or the spigots') at the unit's air flow.
KELM_ACCESSORIES = [
    ("HX", 4.0, 1.8, False),      # additional 2-row heating coil
    ("KB/R", 1.6, 2.0, False),    # return plenum with grille
    ("KB/RO", 2.1, 2.0, False),   # return plenum with filter, bottom inlet
    ("TU", 1.2, 2.0, True),       # circular spigot outlet
    ("LQ5", 3.5, 1.6, False),     # G4 filter
    ("VDN A", 1.8, 2.0, True),    # supply plenum, insulated, spigots
    ("VDN M", 2.4, 2.0, True),    # supply plenum with volume damper, spigots
    ("VX50", 5.0, 1.5, False),    # F7 filter
]
ZOPH_ACCESSORIES = [
    ("YHX", 3.5, 1.8, False),     # additional 2-row heating coil
    ("VKB", 1.4, 2.0, False),     # return plenum
    ("VKBT", 1.9, 2.0, False),    # return plenum with filter
    ("VKR", 1.1, 2.0, True),      # spigot outlet
    ("Y50", 3.2, 1.6, False),     # G4 filter
    ("Y50T", 4.4, 1.5, False),    # M5 filter
    ("NW", 1.6, 2.0, True),       # supply plenum, spigots
    ("JOL", 2.0, 2.0, True),      # supply plenum with damper
    ("EB", 0.8, 2.0, False),      # electric heater battery
    ("EV", 2.6, 2.0, False),      # motorised shut-off damper
]

# ---------------------------------------------------------------------------------------
# Unit heaters. TORVA sizes: (size, coil length, coil height, air flow with the 4-pole
# motor m3/h, sound power 4-pole, mounting height and throw with the 4-pole motor m,
# motors offered). Fewer poles run faster: the flow scales with the motor speed.

MOTOR_SPEED = {"4p": 1400, "6p": 920, "8p": 690, "10p": 550}

TORVA = dict(
    set="S1", geometry=1, pitch=4, rows=2, header=1.0,
    sizes=[(20, 500, 450, 2500, 62, 4.5, 16, ("4p", "6p", "8p")),
           (30, 600, 550, 3600, 64, 5.5, 20, ("4p", "6p", "8p")),
           (40, 700, 650, 5000, 66, 6.5, 24, ("4p", "6p", "8p", "10p")),
           (50, 800, 750, 6600, 68, 7.5, 28, ("4p", "6p", "8p", "10p")),
           (60, 900, 850, 8800, 70, 8.5, 33, ("4p", "6p", "8p", "10p"))],
)

# TORVAEC: speed n = n10 (0.1 + 0.09 V) over the 1.5-10 V signal; flow ~ n; absorbed power
# PAK n^PAN. sizes: (size, coil length, coil height, flow at 10 V m3/h, sound at 10 V,
# power at 10 V W, speed at 10 V rpm).
TORVAEC = dict(
    set="S1", geometry=1, pitch=4, rows=2, header=1.0, power_exponent=2.6,
    sizes=[(20, 550, 500, 2300, 61, 120, 1400), (30, 650, 600, 3300, 63, 170, 1350),
           (40, 800, 700, 4700, 65, 250, 1300), (50, 900, 800, 6100, 67, 340, 1250),
           (60, 1000, 900, 7600, 69, 440, 1200)],
)

# Q70: rated by its nominal output PTN (W at 60 K between mean water and air, 10 K water
# drop) and exponent n = 1 / (1 - Y1). sizes: (size, coil length, coil height, 4-pole air
# flow m3/s, 4-pole sound power, exponent n of the size's heating test). Slower motors
# move less air; the output falls with the flow to the power 0.45.
#
# With the 4-pole motor the air rises by eps (mean water - air), eps = 1 - exp(-NTU) of
# the 2-row coil, NTU = ntu_2ms (v / 2 m/s)^-0.4 at the size's face velocity v (the air
# side's transfer grows as v^0.6, the air's heat capacity as v). The larger sizes' fans
# push the air faster through the coil for a longer throw, so they leave cooler: from
# about 41 degC (size 20) to 38.6 degC (size 50) at 70/60 degC and 20 degC air.
Q70 = dict(
    rows=2, header=1.2, friction=0.3164, output_flow_exponent=0.45, ntu_2ms=0.58,
    motors=(("8", 0.48, -13), ("6", 0.64, -8), ("4", 1.0, 0)),
    mounting=((2.5, 5.0), (3.0, 6.5), (3.5, 8.0), (4.0, 9.5)),
    sizes=[(20, 700, 600, 0.68, 66, 1.12), (30, 850, 700, 1.10, 67, 1.10),
           (40, 1000, 800, 1.75, 69, 1.13), (50, 1150, 950, 2.70, 70, 1.09)],
)

# ---------------------------------------------------------------------------------------
# DARNE, radiator plus fan: four fan speeds (Super Min, Min, Med, Max) and natural
# convection with the fan off. Four-pipe units come as a "4T" cooling coil and its "4T*"
# heating coil, both of two rows. sizes: (size, coil length, top flow m3/h, top sound,
# nominal output at 50 K with the fan off W).
DARNE = dict(
    set="S9", geometry=3, pitch=2, rows=3, height=150, header=1.0, heating_length=1.15,
    speeds=(0.35, 0.55, 0.77, 1.0), convection_exponent=1.3,
    sizes=[(20, 600, 200, 44, 360), (30, 800, 290, 46, 500), (40, 1000, 380, 48, 640),
           (50, 1200, 470, 50, 780)],
)

VERSION = "2026.12"
