#!/usr/bin/python3
"""The report documents of the Vestra catalogue, made from the catalogue tables.

Run with Debian's /usr/bin/python3: it needs python3-pil (the pictures) and python3-docx
(the tender texts and the report template), both Debian packages.

    /usr/bin/python3 tools/documents/make_documents.py           # writes the documents
    /usr/bin/python3 tools/documents/make_documents.py --check   # compares, exit 1 on a difference

What it writes, from catalogue/tables/Dati*.csv (sizes, coil length and height, rows):

    catalogue/documents/FotoW/*.png         a picture per model family
    catalogue/documents/dimensionali/*.png  a dimensional drawing per casing, with each size's table
    catalogue/documents/schemi/*.png        a wiring diagram per fan type
    catalogue/documents/descrizioni/*.docx  the tender text per series, Italian and English
    resources/report/intest.docx            the report template (header with the logo, page number)
    catalogue/tables/DocXModello.csv        the document rows of every series code, ITA and ENG

The output is deterministic: the pictures are byte-identical from run to run, and the DOCX
files carry fixed dates, both in their core properties and in their zip entries. A file
is replaced only when its content changes, and never half-written under its final name.
"""

import argparse
import csv
import io
import math
import os
import re
import sys
import tempfile
import zipfile
from dataclasses import dataclass, field
from pathlib import Path

try:
    from PIL import Image, ImageDraw, ImageFont
    import docx
    from docx.enum.section import WD_ORIENT
    from docx.enum.text import WD_ALIGN_PARAGRAPH
    from docx.oxml import OxmlElement
    from docx.oxml.ns import qn
    from docx.shared import Cm, Pt, RGBColor
except ImportError as missing:  # the Debian packages, not a virtual environment's
    sys.exit(f"make_documents.py: {missing}; run it with /usr/bin/python3 "
             "(apt-get install python3-pil python3-docx)")

ROOT = Path(__file__).resolve().parents[2]
TABLES = ROOT / "catalogue" / "tables"
LOGO = ROOT / "resources" / "pictures" / "logo@2x.png"
FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")

# Where each output goes, relative to the checkout.
PHOTO_DIR = Path("catalogue/documents/FotoW")
DRAWING_DIR = Path("catalogue/documents/dimensionali")
WIRING_DIR = Path("catalogue/documents/schemi")
TEXT_DIR = Path("catalogue/documents/descrizioni")
TEMPLATE = Path("resources/report/intest.docx")
DOC_TABLE = Path("catalogue/tables/DocXModello.csv")

# The DOCX files are dated once, so that a rerun leaves them as they are.
DOCX_DATE = "2026-12-01T00:00:00Z"
ZIP_DATE = (2026, 12, 1, 0, 0, 0)

MAKER = "Oska S.p.A."
MAKER_ADDRESS = "Via dell'Industria 12 - 40100 Bologna (BO) - Italia - www.oska.example"

# Oska's blue and the casing colours of the pictures.
BLUE = (31, 78, 121)
RED = (200, 72, 52)
INK = (40, 44, 52)


def fail(message):
    sys.exit(f"make_documents.py: {message}")


# ---------------------------------------------------------------------------------------
# The catalogue: sizes per series from the Dati tables.

@dataclass
class Size:
    name: str          # the base model, e.g. "MIRAL 40"
    number: int        # 40
    length_mm: float   # LunBat, finned length
    height_mm: float   # AltBAt, finned height
    rows: int          # NR
    circuits: int      # NC
    extra_rows: int = 0  # the additional heating coil (HX*, 4T*, ducted HX), 0 when none


def read_table(file_name):
    path = TABLES / file_name
    try:
        with open(path, newline="") as handle:
            records = list(csv.DictReader(handle))
    except OSError as error:
        fail(f"{path}: {error.strerror}")
    if not records:
        fail(f"{path}: no models")
    return path, records


def field_value(path, record, name):
    """A numeric field, found without regard to case (Q70 spells AltBat, the others AltBAt)."""
    for key, value in record.items():
        if key.lower() == name.lower():
            try:
                return float(value)
            except (TypeError, ValueError):
                fail(f"{path}: model {record.get('Modello')!r}, field {key}: "
                     f"{value!r} is not a number")
    fail(f"{path}: no field {name}")


def read_sizes(file_name, ducted=False):
    """The sizes of a table, in size order. The variants of a size (HX, HX*, 4T, 4T*,
    motor poles) fold into it; an additional coil's rows come from its starred model (or,
    for the ducted units, from the HX model, which is that coil)."""
    path, records = read_table(file_name)
    sizes = {}
    extra = {}
    for record in records:
        name = record.get("Modello", "")
        match = re.search(r"\s(\d+)", name)  # the size follows the range's name: "Q70 20-8"
        if not match:
            fail(f"{path}: model {name!r} has no size number")
        number = int(match.group(1))
        variant = name[match.end():].strip()
        rows = int(field_value(path, record, "NR"))
        if variant.startswith(("HX*", "-4T*")) or (variant == "HX" and ducted):
            extra[number] = rows
            continue
        if variant.startswith(("HX", "-4T")):
            continue
        if number in sizes:  # another motor of the same size
            continue
        base = name[:match.end()]
        sizes[number] = Size(base, number, field_value(path, record, "LunBat"),
                             field_value(path, record, "AltBAt"), rows,
                             int(field_value(path, record, "NC")))
    for number, rows in extra.items():
        if number in sizes:
            sizes[number].extra_rows = rows
    return [sizes[n] for n in sorted(sizes)]


# ---------------------------------------------------------------------------------------
# What each series is. A family is one row of the report's model list: its name in each
# language, its picture, its casing (dimensional drawing) and its wiring diagram.

@dataclass
class Family:
    key: str                 # file-name stem of its picture and drawing
    model: dict              # ITA / ENG: the name in the report's model list, after the
                             # series code; "{range}" stands for the sizes, "20-90"
    short: dict              # ITA / ENG: the one-line description
    picture: str             # FotoW file
    casing: str              # casing kind, see CASINGS
    table: str               # Dati table the sizes come from
    wiring: str              # schemi file


@dataclass
class Series:
    code: str                # CurrentSeries
    kind: str                # fancoil, cassette, wall, ducted, heater, q70, radiator
    fan: str                 # fixed, ec
    speeds: int              # fixed-speed steps (taps), 0 for EC
    families: list = field(default_factory=list)
    text_key: str = ""       # tender-text file stem


def fam(key, ita, eng, ita_short, eng_short, picture, casing, table, wiring):
    return Family(key, {"ITA": ita, "ENG": eng}, {"ITA": ita_short, "ENG": eng_short},
                  picture, casing, table, wiring)


SERIES = [
    Series("MIRAL", "fancoil", "fixed", 3, [
        fam("MIRAL", "con mobile", "with cabinet",
            "Ventilconvettore a pavimento con mobile",
            "Floor-standing fan coil with cabinet",
            "miral_cabinet.png", "cabinet", "DatiMIRAL.csv", "wiring_fancoil_3speed.png"),
        fam("MIRAL_IN", "da incasso", "concealed",
            "Ventilconvettore da incasso senza mobile",
            "Concealed fan coil without cabinet",
            "fancoil_concealed.png", "concealed", "DatiMIRAL.csv", "wiring_fancoil_3speed.png"),
    ]),
    Series("MIRALP", "fancoil", "fixed", 6, [
        fam("MIRALP", "con mobile", "with cabinet",
            "Ventilconvettore a pavimento con mobile, motore a 6 velocità",
            "Floor-standing fan coil with cabinet, 6-speed motor",
            "miralp_cabinet.png", "cabinet_tall", "DatiMIRALP.csv",
            "wiring_fancoil_6speed.png"),
        fam("MIRALP_IN", "da incasso", "concealed",
            "Ventilconvettore da incasso senza mobile, motore a 6 velocità",
            "Concealed fan coil without cabinet, 6-speed motor",
            "fancoil_concealed.png", "concealed", "DatiMIRALP.csv",
            "wiring_fancoil_6speed.png"),
    ]),
    Series("PELVO", "fancoil", "fixed", 3, [
        fam("PELVO", "verticale", "vertical",
            "Ventilconvettore con mobile per installazione verticale",
            "Fan coil with cabinet for vertical installation",
            "pelvo_vertical.png", "cabinet_low", "DatiPelvo.csv", "wiring_fancoil_3speed.png"),
        fam("PELVO_O", "orizzontale", "horizontal",
            "Ventilconvettore con mobile per installazione a soffitto",
            "Fan coil with cabinet for ceiling installation",
            "pelvo_ceiling.png", "ceiling", "DatiPelvo.csv", "wiring_fancoil_3speed.png"),
    ]),
    Series("MIRALEC", "fancoil", "ec", 0, [
        fam("MIRALEC", "Miral EC {range}", "Miral EC {range}",
            "Ventilconvettore a pavimento con mobile, ventilatore EC 0-10 V",
            "Floor-standing fan coil with cabinet, EC fan 0-10 V",
            "miral_cabinet.png", "cabinet", "DatiMIRALEC.csv", "wiring_fancoil_ec.png"),
        fam("PELVOEC", "Pelvo EC {range}", "Pelvo EC {range}",
            "Ventilconvettore con mobile, ventilatore EC 0-10 V",
            "Fan coil with cabinet, EC fan 0-10 V",
            "pelvo_vertical.png", "cabinet_low", "DatiPelvoEC.csv", "wiring_fancoil_ec.png"),
    ]),
    Series("UMBRA", "fancoil", "ec", 0, [
        fam("UMBRA", "con mobile", "with cabinet",
            "Ventilconvettore ad alta efficienza con mobile, motore EC a segnale 0-10 V",
            "High-efficiency fan coil with cabinet, EC motor with 0-10 V signal",
            "umbra_cabinet.png", "cabinet_tall", "DatiUmbra.csv", "wiring_fancoil_ec.png"),
        fam("UMBRA_IN", "da incasso", "concealed",
            "Ventilconvettore ad alta efficienza da incasso, motore EC a segnale 0-10 V",
            "High-efficiency concealed fan coil, EC motor with 0-10 V signal",
            "fancoil_concealed.png", "concealed", "DatiUmbra.csv", "wiring_fancoil_ec.png"),
    ]),
    Series("VELD", "fancoil", "fixed", 3, [
        fam("VELD", "{range}", "{range}",
            "Ventilconvettore con mobile e serranda di regolazione",
            "Fan coil with cabinet and control damper",
            "veld_cabinet.png", "cabinet_veld", "DatiVELD.csv", "wiring_fancoil_3speed.png"),
    ]),
    Series("LUMO", "wall", "fixed", 3, [
        fam("LUMO", "a parete alta", "high wall",
            "Ventilconvettore a parete alta",
            "High-wall fan coil",
            "wall_lumo.png", "wall", "DatiLUMO.csv", "wiring_fancoil_3speed.png"),
    ]),
    Series("NARTE", "wall", "fixed", 3, [
        fam("NARTE", "a parete alta", "high wall",
            "Ventilconvettore a parete alta compatto",
            "Compact high-wall fan coil",
            "wall_narte.png", "wall_compact", "DatiNARTE.csv", "wiring_fancoil_3speed.png"),
    ]),
    Series("QUIVO", "cassette", "fixed", 4, [
        fam("QUIVO", "a 4 vie", "4-way",
            "Cassetta ad acqua a quattro vie per controsoffitto",
            "Four-way water cassette for false ceilings",
            "cassette_4way.png", "cassette4", "DatiQUIVO.csv", "wiring_cassette_4speed.png"),
    ]),
    Series("BRISK", "cassette", "fixed", 3, [
        fam("BRISK", "a 2 vie", "2-way",
            "Cassetta ad acqua a due vie per controsoffitto",
            "Two-way water cassette for false ceilings",
            "cassette_2way.png", "cassette2", "DatiBRISK.csv", "wiring_cassette_3speed.png"),
    ]),
    Series("KELM", "ducted", "fixed", 3, [
        fam("KELM", "{range}", "{range}",
            "Unità termoventilante canalizzabile, motore a 3 velocità",
            "Ducted air handling unit, 3-speed motor",
            "ducted_kelm.png", "ducted", "DatiKELM.csv", "wiring_ducted_3tap.png"),
    ]),
    Series("ZOPH", "ducted", "fixed", 7, [
        fam("ZOPH", "{range}", "{range}",
            "Unità canalizzabile ribassata, motore a 7 velocità",
            "Low-profile ducted unit, 7-speed motor",
            "ducted_zoph.png", "ducted_low", "DatiZOPH.csv", "wiring_ducted_7tap.png"),
    ]),
    Series("KELMBLDC", "ducted", "ec", 0, [
        fam("KELMBLDC", "{range}", "{range}",
            "Unità termoventilante canalizzabile, ventilatore EC brushless 0-10 V",
            "Ducted air handling unit, brushless EC fan 0-10 V",
            "ducted_kelm.png", "ducted", "DatiKELMBLDC.csv", "wiring_ducted_ec.png"),
    ]),
    Series("ZOPHBLDC", "ducted", "ec", 0, [
        fam("ZOPHBLDC", "{range}", "{range}",
            "Unità canalizzabile ribassata, ventilatore EC brushless 0-10 V",
            "Low-profile ducted unit, brushless EC fan 0-10 V",
            "ducted_zoph.png", "ducted_low", "DatiZOPHBLDC.csv", "wiring_ducted_ec.png"),
    ]),
    Series("TORVA", "heater", "fixed", 1, [
        fam("TORVA", "{range}", "{range}",
            "Aerotermo ad acqua con motore a 4, 6, 8 o 10 poli",
            "Water unit heater with 4, 6, 8 or 10-pole motor",
            "heater_torva.png", "heater", "DatiTorva.csv", "wiring_heater_1ph.png"),
    ]),
    Series("TORVAEC", "heater", "ec", 0, [
        fam("TORVAEC", "{range}", "{range}",
            "Aerotermo ad acqua con ventilatore EC 0-10 V",
            "Water unit heater with EC fan 0-10 V",
            "heater_torva.png", "heater", "DatiTorvaEC.csv", "wiring_heater_ec.png"),
    ]),
    Series("Q70", "q70", "fixed", 1, [
        fam("Q70", "{range}", "{range}",
            "Aerotermo industriale ad acqua calda, motore trifase",
            "Industrial hot-water unit heater, three-phase motor",
            "heater_q70.png", "heater_q70", "DatiQ70.csv", "wiring_heater_3ph.png"),
    ]),
    Series("DARNE", "radiator", "fixed", 4, [
        fam("DARNE", "{range}", "{range}",
            "Radiatore ventilato a pavimento, anche in versione a 4 tubi",
            "Fan-assisted floor radiator, also in four-pipe version",
            "darne.png", "radiator", "DatiDARNE.csv", "wiring_darne_4speed.png"),
    ]),
]
for _series in SERIES:
    _series.text_key = _series.code


def series_codes_of_program():
    """The series codes the program knows, read from the traits records."""
    path = ROOT / "src" / "screens" / "series_traits.cpp"
    try:
        text = path.read_text()
    except OSError as error:
        fail(f"{path}: {error.strerror}")
    return sorted(set(re.findall(r'\.code\s*=\s*"([^"]+)"', text)))


# ---------------------------------------------------------------------------------------
# Casings: the outer dimensions of each kind from its coil. Every allowance is the room
# the casing needs beside the coil (side compartments for the controls and the water
# connections, the fan section under the coil, the drain tray), the same for all sizes of
# a range, so the sizes differ by their coils only.

def round5(x):
    return int(5 * round(x / 5.0))


def connection(size):
    """Water connection of the coil, by the coil's face: the larger faces carry more
    water at the same velocity in the tubes."""
    face = size.length_mm * size.height_mm / 1e6  # m2
    if face < 0.16:
        return '1/2"'
    if face < 0.40:
        return '3/4"'
    if face < 0.75:
        return '1"'
    return '1 1/4"'


@dataclass
class Casing:
    letters: list           # the dimension letters of the table, in order
    meaning: dict           # letter -> (ITA, ENG)
    dims: callable          # Size -> dict letter -> mm


def casing_fancoil(side, under, depth, grille_margin):
    return Casing(["A", "B", "H", "P"],
                  {"A": ("larghezza", "width"), "B": ("griglia", "grille"),
                   "H": ("altezza", "height"), "P": ("profondità", "depth")},
                  lambda s: {"A": round5(s.length_mm + side), "B": round5(s.length_mm - grille_margin),
                             "H": round5(s.height_mm + under), "P": depth})


CASINGS = {
    # A floor cabinet: the controls' compartment on the right, the connections' on the
    # left, the fan deck and the drain tray under the coil.
    "cabinet": casing_fancoil(240, 360, 220, 60),
    "cabinet_tall": casing_fancoil(260, 395, 230, 60),
    "cabinet_low": casing_fancoil(220, 330, 215, 60),
    "cabinet_veld": casing_fancoil(270, 380, 240, 60),
    # Without the cabinet the chassis is the coil's frame and the fan deck only.
    "concealed": Casing(["A", "H", "P"],
                        {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                         "P": ("profondità", "depth")},
                        lambda s: {"A": round5(s.length_mm + 140), "H": round5(s.height_mm + 320),
                                   "P": 200}),
    # Lying under the ceiling: the coil stands across the air stream, the fans behind it.
    "ceiling": Casing(["A", "H", "P"],
                      {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                       "P": ("profondità", "depth")},
                      lambda s: {"A": round5(s.length_mm + 220), "H": 215,
                                 "P": round5(s.height_mm + 330)}),
    "wall": Casing(["A", "H", "P"],
                   {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                    "P": ("profondità", "depth")},
                   lambda s: {"A": round5(s.length_mm + 200), "H": round5(s.height_mm + 75),
                              "P": 215}),
    "wall_compact": Casing(["A", "H", "P"],
                           {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                            "P": ("profondità", "depth")},
                           lambda s: {"A": round5(s.length_mm + 180),
                                      "H": round5(s.height_mm + 80), "P": 200}),
    # The cassette's coil runs round its fan: a quarter of the finned length per side, plus
    # the fan's clearance; the panel laps the false-ceiling opening.
    "cassette4": Casing(["A", "B", "H"],
                        {"A": ("lato corpo", "body side"), "B": ("lato pannello", "panel side"),
                         "H": ("altezza corpo", "body height")},
                        lambda s: {"A": round5(s.length_mm / 4 + 200),
                                   "B": round5(s.length_mm / 4 + 275),
                                   "H": round5(s.height_mm + 110)}),
    # A two-way cassette: the coil in two straight banks along the long sides.
    "cassette2": Casing(["A", "B", "C", "H"],
                        {"A": ("lunghezza corpo", "body length"),
                         "B": ("lunghezza pannello", "panel length"),
                         "C": ("larghezza pannello", "panel width"),
                         "H": ("altezza corpo", "body height")},
                        lambda s: {"A": round5(s.length_mm / 2 + 300),
                                   "B": round5(s.length_mm / 2 + 400), "C": 700,
                                   "H": round5(s.height_mm + 110)}),
    # Ducted units: the fan section behind the coil sets the depth; the outlet is the
    # coil's face.
    "ducted": Casing(["A", "B", "H", "P"],
                     {"A": ("larghezza", "width"), "B": ("bocca di mandata", "supply outlet"),
                      "H": ("altezza", "height"), "P": ("profondità", "depth")},
                     lambda s: {"A": round5(s.length_mm + 250), "B": round5(s.length_mm),
                                "H": round5(s.height_mm + 100), "P": 650}),
    "ducted_low": Casing(["A", "B", "H", "P"],
                         {"A": ("larghezza", "width"), "B": ("bocca di mandata", "supply outlet"),
                          "H": ("altezza", "height"), "P": ("profondità", "depth")},
                         lambda s: {"A": round5(s.length_mm + 220), "B": round5(s.length_mm),
                                    "H": round5(s.height_mm + 70), "P": 560}),
    "heater": Casing(["A", "H", "P"],
                     {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                      "P": ("profondità", "depth")},
                     lambda s: {"A": round5(s.length_mm + 110), "H": round5(s.height_mm + 110),
                                "P": 380}),
    "heater_q70": Casing(["A", "H", "P"],
                         {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                          "P": ("profondità", "depth")},
                         lambda s: {"A": round5(s.length_mm + 130),
                                    "H": round5(s.height_mm + 130), "P": 450}),
    # The radiator's heating length runs 15 % past the coil's (DeltaL), inside the casing.
    "radiator": Casing(["A", "H", "P"],
                       {"A": ("larghezza", "width"), "H": ("altezza", "height"),
                        "P": ("profondità", "depth")},
                       lambda s: {"A": round5(s.length_mm * 1.15 + 200), "H": 600, "P": 130}),
}


# ---------------------------------------------------------------------------------------
# Drawing helpers.

def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    try:
        return ImageFont.truetype(str(FONT_DIR / name), size)
    except OSError:
        fail(f"{FONT_DIR / name}: font not found (apt-get install fonts-dejavu-core)")


def png_bytes(image, colours):
    """The picture as a palette PNG: a fixed number of colours keeps the files small, and
    the median-cut palette is a function of the pixels alone, so reruns are identical."""
    if image.mode != "RGB":
        image = image.convert("RGB")
    paletted = image.quantize(colors=colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    out = io.BytesIO()
    paletted.save(out, format="PNG", optimize=True)
    return out.getvalue()


def shade(colour, factor):
    if factor >= 1:
        return tuple(int(c + (255 - c) * (factor - 1)) for c in colour)
    return tuple(int(c * factor) for c in colour)


class Scene:
    """A 3/4 view in oblique projection: x to the right, y up, z away from the viewer.
    Drawn at twice the size and reduced, for smooth edges."""

    SCALE = 2

    def __init__(self, width, height, kx=0.55, ky=0.38):
        self.image = Image.new("RGB", (width * self.SCALE, height * self.SCALE), "white")
        self.draw = ImageDraw.Draw(self.image)
        self.kx, self.ky = kx, ky
        self.s = 1.0
        self.ox = self.oy = 0.0
        self.size = (width, height)

    def fit(self, box_w, box_h, box_d, margin=0.12, extra_top=0.0, extra_bottom=0.0):
        """Scale and place a box of the given size centred in the picture."""
        w, h = self.size
        span_x = box_w + box_d * self.kx
        span_y = box_h + box_d * abs(self.ky) + extra_top + extra_bottom
        self.s = min(w * (1 - 2 * margin) / span_x, h * (1 - 2 * margin) / span_y) * self.SCALE
        self.ox = (w * self.SCALE - span_x * self.s) / 2
        top = (h * self.SCALE - span_y * self.s) / 2 + extra_top * self.s
        if self.ky >= 0:
            self.oy = top + (box_h + box_d * self.ky) * self.s
        else:
            self.oy = top + box_h * self.s

    def p(self, x, y, z):
        return (self.ox + (x + z * self.kx) * self.s, self.oy - (y + z * self.ky) * self.s)

    def poly(self, points, fill, outline=INK, width=3):
        pts = [self.p(*q) for q in points]
        self.draw.polygon(pts, fill=fill)
        if outline is not None and width > 0:
            self.draw.line(pts + [pts[0]], fill=outline, width=width, joint="curve")

    def line(self, a, b, colour=INK, width=2):
        self.draw.line([self.p(*a), self.p(*b)], fill=colour, width=width)

    def box(self, x, y, z, w, h, d, colour, outline=INK, width=3, faces="fts"):
        """A box from (x, y, z) of size w, h, d: front flat, top lighter, side darker."""
        if "s" in faces:
            self.poly([(x + w, y, z), (x + w, y, z + d), (x + w, y + h, z + d), (x + w, y + h, z)],
                      shade(colour, 0.78), outline, width)
        if "t" in faces and self.ky > 0:
            self.poly([(x, y + h, z), (x + w, y + h, z), (x + w, y + h, z + d), (x, y + h, z + d)],
                      shade(colour, 1.12), outline, width)
        if "b" in faces and self.ky < 0:
            self.poly([(x, y, z), (x + w, y, z), (x + w, y, z + d), (x, y, z + d)],
                      shade(colour, 0.92), outline, width)
        if "f" in faces:
            self.poly([(x, y, z), (x + w, y, z), (x + w, y + h, z), (x, y + h, z)], colour,
                      outline, width)

    def front_rect(self, x, y, w, h, fill, z=0.0, outline=INK, width=2):
        self.poly([(x, y, z), (x + w, y, z), (x + w, y + h, z), (x, y + h, z)], fill, outline, width)

    def top_rect(self, x, z, w, d, y, fill, outline=INK, width=2):
        self.poly([(x, y, z), (x + w, y, z), (x + w, y, z + d), (x, y, z + d)], fill, outline, width)

    def side_rect(self, x, z, y, d, h, fill, outline=INK, width=2):
        self.poly([(x, y, z), (x, y, z + d), (x, y + h, z + d), (x, y + h, z)], fill, outline, width)

    def shadow(self, x, z, w, d, y=0.0):
        """A soft floor shadow under a standing unit."""
        cx, cy = self.p(x + w / 2, y, z + d / 2)
        rx = (w / 2 + d * self.kx / 2) * self.s * 1.08
        ry = max(d * self.ky * self.s * 0.9, 12)
        for i, tone in enumerate((246, 240, 234)):
            f = 1 - i * 0.12
            self.draw.ellipse([cx - rx * f, cy - ry * f, cx + rx * f, cy + ry * f],
                              fill=(tone, tone, tone + 2))

    def result(self):
        w, h = self.size
        return self.image.resize((w, h), Image.LANCZOS)


CASE = (236, 238, 240)       # painted white casing
STEEL = (206, 210, 214)      # galvanised sheet
DARK = (70, 76, 86)          # grilles, openings
COPPER = (196, 120, 72)
TRAY = (150, 160, 170)


# ---------------------------------------------------------------------------------------
# Product pictures. Proportions follow a middle size of the range.

def grille_slats_top(sc, x0, x1, z0, z1, y, n, colour=DARK):
    sc.top_rect(x0, z0, x1 - x0, z1 - z0, y, shade(colour, 1.6), width=2)
    for i in range(1, n):
        z = z0 + (z1 - z0) * i / n
        sc.line((x0 + 4, y, z), (x1 - 4, y, z), colour, 3)


def louvres_front(sc, x0, x1, y0, y1, n, colour=DARK, z=0.0):
    sc.front_rect(x0, y0, x1 - x0, y1 - y0, shade(colour, 1.7), z=z, width=2)
    for i in range(1, n):
        y = y0 + (y1 - y0) * i / n
        sc.line((x0 + 3, y, z), (x1 - 3, y, z), colour, 3)
        sc.line((x0 + 3, y - (y1 - y0) / n * 0.35, z), (x1 - 3, y - (y1 - y0) / n * 0.35, z),
                shade(colour, 2.2), 2)


def knob(sc, x, y, z, r, colour=DARK):
    cx, cy = sc.p(x, y, z)
    r *= sc.s
    sc.draw.ellipse([cx - r, cy - r * 0.55, cx + r, cy + r * 0.55], fill=shade(colour, 1.5),
                    outline=colour, width=2)


def picture_cabinet(w, h, d, accent=BLUE, display=False, front_inlet=True, damper=False,
                    flap_share=0.2, legs=True):
    """A floor cabinet: outlet grille on top, controls under a flap at the right, air
    inlet low on the front, feet."""
    sc = Scene(600, 450)
    sc.fit(w, h, d, margin=0.1)
    sc.shadow(0, 0, w, d)
    foot = 0.07 * h if legs else 0
    if legs:
        for x in (0.03 * w, w - 0.13 * w):
            sc.box(x, 0, 0.1 * d, 0.1 * w, foot, 0.8 * d, (90, 96, 104), width=2)
    body_h = h - foot
    sc.box(0, foot, 0, w, body_h, d, CASE)
    top = foot + body_h
    flap_w = flap_share * w
    grille_slats_top(sc, 0.05 * w, w - flap_w - 0.03 * w, 0.18 * d, 0.82 * d, top, 9)
    # The controls' flap and its knobs.
    sc.top_rect(w - flap_w, 0.12 * d, flap_w - 0.04 * w, 0.76 * d, top, shade(CASE, 0.9))
    for i in range(3):
        knob(sc, w - flap_w + (0.2 + 0.3 * i) * (flap_w - 0.04 * w), top, 0.5 * d, 0.022 * w)
    if display:
        sc.front_rect(w - 0.2 * w, top - 0.13 * h, 0.14 * w, 0.07 * h, (30, 36, 44), width=2)
        sc.front_rect(w - 0.185 * w, top - 0.115 * h, 0.05 * w, 0.04 * h, (80, 200, 120), width=0)
    if front_inlet:
        louvres_front(sc, 0.06 * w, 0.94 * w, foot + 0.06 * h, foot + 0.28 * h, 6, DARK)
    if damper:
        knob(sc, 0.12 * w, top - 0.1 * h, 0, 0.04 * w, accent)
    # Maker's strip.
    sc.front_rect(0.06 * w, top - 0.09 * h, 0.22 * w, 0.03 * h, accent, width=0)
    sc.line((0, top - 0.02 * h, 0), (w, top - 0.02 * h, 0), shade(CASE, 0.75), 2)
    return sc.result()


def picture_concealed(w, h, d):
    """A fan coil without cabinet: the coil above, the fan scrolls below on the drain
    tray, the connections on the side."""
    sc = Scene(600, 450)
    sc.fit(w, h, d, margin=0.1)
    sc.shadow(0, 0, w, d)
    tray_h = 0.08 * h
    sc.box(0, 0, 0, w, h, d, STEEL)
    # Coil: fins as fine vertical lines on the upper front.
    cx0, cx1, cy0, cy1 = 0.12 * w, 0.92 * w, 0.5 * h, 0.95 * h
    sc.front_rect(cx0, cy0, cx1 - cx0, cy1 - cy0, (184, 190, 196))
    n = 60
    for i in range(1, n):
        x = cx0 + (cx1 - cx0) * i / n
        sc.line((x, cy0 + 2, 0), (x, cy1 - 2, 0), (150, 156, 164), 2)
    # Fan scrolls on the fan deck.
    fans = 3
    for i in range(fans):
        fx = 0.12 * w + (0.8 * w) * (i + 0.5) / fans
        cx, cy = sc.p(fx, 0.27 * h, 0)
        r = min(0.1 * w, 0.17 * h) * sc.s
        sc.draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=DARK, outline=INK, width=3)
        sc.draw.ellipse([cx - 0.55 * r, cy - 0.55 * r, cx + 0.55 * r, cy + 0.55 * r],
                        fill=(110, 116, 126), outline=INK, width=2)
        for k in range(8):
            a = k * math.pi / 4
            sc.draw.line([cx + 0.2 * r * math.cos(a), cy + 0.2 * r * math.sin(a),
                          cx + 0.52 * r * math.cos(a + 0.5), cy + 0.52 * r * math.sin(a + 0.5)],
                         fill=(70, 76, 86), width=2)
    # Drain tray along the front.
    sc.box(0, tray_h * 0.2, -0.12 * d, w, tray_h, 0.12 * d, TRAY, width=2, faces="ft")
    # Electrical box on the right, water connections on the left side.
    sc.box(w - 0.07 * w, 0.05 * h, 0.25 * d, 0.07 * w, 0.35 * h, 0.5 * d, shade(STEEL, 0.95),
           width=2)
    for i, y in enumerate((0.62 * h, 0.82 * h)):
        cx, cy = sc.p(0.06 * w, y, 0)
        r = 0.02 * w * sc.s
        sc.draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=COPPER, outline=INK, width=2)
    return sc.result()


def picture_ceiling(w, h, d):
    """A cabinet fan coil under the ceiling: outlet louvres at the front, inlet beneath."""
    sc = Scene(600, 450, kx=0.55, ky=-0.3)
    sc.fit(w, h, d, margin=0.12)
    sc.box(0, 0, 0, w, h, d, CASE, faces="fsb")
    # Ceiling line behind it.
    sc.line((-0.05 * w, h, 0), (w * 1.05, h, 0), (200, 200, 200), 2)
    # Inlet grille on the underside (seen from below).
    x0, x1, z0, z1 = 0.06 * w, 0.78 * w, 0.35 * d, 0.9 * d
    sc.top_rect(x0, z0, x1 - x0, z1 - z0, 0, shade(DARK, 1.7))
    for i in range(1, 10):
        z = z0 + (z1 - z0) * i / 10
        sc.line((x0 + 3, 0, z), (x1 - 3, 0, z), DARK, 2)
    louvres_front(sc, 0.05 * w, 0.78 * w, 0.2 * h, 0.82 * h, 5)
    sc.front_rect(0.82 * w, 0.3 * h, 0.13 * w, 0.4 * h, shade(CASE, 0.9))
    knob(sc, 0.885 * w, 0.5 * h, 0, 0.025 * w)
    sc.front_rect(0.05 * w, 0.87 * h, 0.2 * w, 0.06 * h, BLUE, width=0)
    return sc.result()


def picture_wall(w, h, d, accent=BLUE, band=True):
    """A high-wall unit: intake grille on top, outlet flap along the bottom front."""
    sc = Scene(600, 450)
    sc.fit(w, h, d, margin=0.1)
    sc.box(0, 0.22 * h, 0.1 * d, w, 0.78 * h, 0.9 * d, CASE, width=3)
    # Lower part sloping back: the outlet and its flap.
    sc.poly([(0, 0.22 * h, 0.1 * d), (w, 0.22 * h, 0.1 * d), (w, 0, 0.45 * d), (0, 0, 0.45 * d)],
            shade(CASE, 0.86))
    sc.poly([(0.04 * w, 0.16 * h, 0.2 * d), (0.96 * w, 0.16 * h, 0.2 * d),
             (0.96 * w, 0.05 * h, 0.38 * d), (0.04 * w, 0.05 * h, 0.38 * d)], DARK, width=2)
    sc.line((0.04 * w, 0.11 * h, 0.28 * d), (0.96 * w, 0.11 * h, 0.28 * d), (150, 156, 164), 3)
    # Intake slots on top.
    grille_slats_top(sc, 0.04 * w, 0.96 * w, 0.3 * d, 0.85 * d, h, 8)
    if band:
        sc.front_rect(0, 0.36 * h, w, 0.05 * h, shade(CASE, 0.93), z=0.1 * d, width=0)
    # Display and the maker's mark.
    sc.front_rect(0.8 * w, 0.52 * h, 0.1 * w, 0.1 * h, (36, 42, 52), z=0.1 * d, width=2)
    sc.front_rect(0.82 * w, 0.55 * h, 0.03 * w, 0.04 * h, (80, 200, 120), z=0.1 * d, width=0)
    sc.front_rect(0.08 * w, 0.55 * h, 0.16 * w, 0.05 * h, accent, z=0.1 * d, width=0)
    return sc.result()


def picture_cassette(side_x, side_z, ways, panel_h=40, body_h=260):
    """A cassette seen from below: the square or long panel, the return grille in the
    middle and the supply slots along its sides; the body above in the ceiling void."""
    sc = Scene(600, 450, kx=0.55, ky=-0.42)
    w, d = side_x, side_z
    sc.fit(w, panel_h + body_h, d, margin=0.1)
    # Body above the panel, then the ceiling plane cut away at the panel's edge.
    inset = 0.08
    sc.box(inset * w, panel_h, inset * d, (1 - 2 * inset) * w, body_h, (1 - 2 * inset) * d,
           STEEL, faces="fs")
    sc.box(0, 0, 0, w, panel_h, d, CASE, faces="fsb")
    # Return grille: a square of fine squares.
    gx0, gx1 = 0.3 * w, 0.7 * w
    gz0, gz1 = 0.3 * d, 0.7 * d
    sc.top_rect(gx0, gz0, gx1 - gx0, gz1 - gz0, 0, (222, 225, 228))
    for i in range(1, 12):
        x = gx0 + (gx1 - gx0) * i / 12
        z = gz0 + (gz1 - gz0) * i / 12
        sc.line((x, 0, gz0), (x, 0, gz1), (160, 166, 174), 2)
        sc.line((gx0, 0, z), (gx1, 0, z), (160, 166, 174), 2)
    # Supply slots with their flaps.
    slot = 0.07
    slots = []
    if ways == 4:
        slots = [(0.2 * w, 0.1 * d, 0.6 * w, slot * d), (0.2 * w, 0.83 * d, 0.6 * w, slot * d),
                 (0.1 * w, 0.2 * d, slot * w, 0.6 * d), (0.83 * w, 0.2 * d, slot * w, 0.6 * d)]
    else:
        slots = [(0.1 * w, 0.1 * d, 0.8 * w, slot * d), (0.1 * w, 0.83 * d, 0.8 * w, slot * d)]
    for x, z, sw, sd in slots:
        sc.top_rect(x, z, sw, sd, 0, DARK, width=2)
        if sw > sd:
            sc.line((x + 4, 0, z + sd * 0.5), (x + sw - 4, 0, z + sd * 0.5), (150, 156, 164), 3)
        else:
            sc.line((x + sw * 0.5, 0, z + 4), (x + sw * 0.5, 0, z + sd - 4), (150, 156, 164), 3)
    # The maker's mark in a corner of the panel.
    sc.top_rect(0.03 * w, 0.03 * d, 0.1 * w, 0.03 * d, 0, BLUE, width=0)
    return sc.result()


def picture_ducted(w, h, d, outlets=3, colour=STEEL, accent=BLUE):
    """A ducted unit: supply outlet flange at the front, the electrical box and the
    water connections on the side, access panel on top."""
    sc = Scene(600, 450, kx=0.6, ky=0.36)
    sc.fit(w, h, d, margin=0.1)
    sc.box(0, 0, 0, w, h, d, colour)
    # Outlet flange with the fans' mouths behind it.
    fx0, fx1, fy0, fy1 = 0.08 * w, 0.92 * w, 0.12 * h, 0.88 * h
    sc.front_rect(fx0, fy0, fx1 - fx0, fy1 - fy0, (60, 66, 76), z=-0.04 * d)
    for i in range(1, 5):
        sc.line((fx0, fy0, -0.04 * d), (fx0, fy0, 0), INK, 2)
    for x in (fx0, fx1):
        sc.line((x, fy0, -0.04 * d), (x, fy0, 0), INK, 2)
        sc.line((x, fy1, -0.04 * d), (x, fy1, 0), INK, 2)
    for i in range(outlets):
        ox = fx0 + (fx1 - fx0) * (i + 0.5) / outlets
        ow = (fx1 - fx0) / outlets * 0.62
        sc.front_rect(ox - ow / 2, fy0 + 0.12 * h, ow, (fy1 - fy0) - 0.2 * h, (34, 38, 46),
                      z=-0.04 * d, width=2)
    # Access panel and its screws.
    sc.top_rect(0.12 * w, 0.15 * d, 0.76 * w, 0.7 * d, h, shade(colour, 1.06))
    for x in (0.15, 0.85):
        for z in (0.2, 0.8):
            cx, cy = sc.p(x * w, h, z * d)
            sc.draw.ellipse([cx - 5, cy - 3, cx + 5, cy + 3], fill=DARK)
    # Electrical box and connections on the side.
    sc.box(w, 0.45 * h, 0.55 * d, 0.06 * w, 0.4 * h, 0.3 * d, shade(colour, 0.95), width=2,
           faces="fts")
    for i, (y, z) in enumerate(((0.25 * h, 0.2 * d), (0.5 * h, 0.2 * d), (0.12 * h, 0.42 * d))):
        sc.box(w, y, z, 0.05 * w, 0.06 * h, 0.05 * d, COPPER if i < 2 else (240, 240, 240),
               width=2, faces="fts")
    sc.front_rect(w * 0.08, h * 0.92, 0.18 * w, 0.05 * h, accent, z=0, width=0)
    return sc.result()


def picture_heater(w, h, d, colour=(214, 218, 222), accent=BLUE, vertical_blades=False):
    """A unit heater: adjustable louvres at the front, connections and brackets behind."""
    sc = Scene(600, 450, kx=0.5, ky=0.3)
    sc.fit(w, h, d, margin=0.1, extra_top=0.05 * h)
    # Wall brackets.
    for x in (0.15 * w, 0.75 * w):
        sc.box(x, h, 0.6 * d, 0.1 * w, 0.05 * h, 0.4 * d, (90, 96, 104), width=2)
    sc.box(0, 0, 0, w, h, d, colour)
    frame = 0.07
    fx0, fx1, fy0, fy1 = frame * w, (1 - frame) * w, frame * h, (1 - frame) * h
    sc.front_rect(fx0, fy0, fx1 - fx0, fy1 - fy0, (80, 86, 96))
    n = 9
    for i in range(n):
        y0 = fy0 + (fy1 - fy0) * i / n
        y1 = fy0 + (fy1 - fy0) * (i + 0.75) / n
        sc.poly([(fx0, y0, -0.02 * d), (fx1, y0, -0.02 * d), (fx1, y1, 0.0), (fx0, y1, 0.0)],
                shade(colour, 0.92 - 0.02 * (i % 2)), width=2)
    if vertical_blades:
        for i in range(1, 8):
            x = fx0 + (fx1 - fx0) * i / 8
            sc.line((x, fy0, -0.025 * d), (x, fy1, -0.025 * d), (60, 66, 76), 3)
    # Water connections on the side, at the top and the bottom of the coil.
    for y in (0.82 * h, 0.18 * h):
        sc.box(w, y, 0.7 * d, 0.06 * w, 0.05 * h, 0.05 * d, COPPER, width=2, faces="fts")
    # Motor's junction box on the side.
    sc.box(w, 0.4 * h, 0.3 * d, 0.05 * w, 0.18 * h, 0.22 * d, (90, 96, 104), width=2,
           faces="fts")
    sc.front_rect(0.07 * w, 0.955 * h, 0.2 * w, 0.03 * h, accent, width=0)
    return sc.result()


def picture_radiator(w, h, d):
    """A fan-assisted radiator: a slim panel with the outlet grille on top."""
    sc = Scene(600, 450, kx=0.55, ky=0.4)
    sc.fit(w, h, d, margin=0.1)
    sc.shadow(0, 0, w, d)
    for x in (0.08 * w, 0.86 * w):
        sc.box(x, 0, 0.2 * d, 0.06 * w, 0.08 * h, 0.6 * d, (90, 96, 104), width=2)
    sc.box(0, 0.08 * h, 0, w, 0.92 * h, d, CASE)
    # Front: fine horizontal channels, like a panel radiator.
    for i in range(1, 14):
        y = 0.12 * h + 0.78 * h * i / 14
        sc.line((0.03 * w, y, 0), (0.97 * w, y, 0), shade(CASE, 0.85), 2)
    grille_slats_top(sc, 0.04 * w, 0.82 * w, 0.15 * d, 0.85 * d, h, 5)
    sc.top_rect(0.85 * w, 0.15 * d, 0.12 * w, 0.7 * d, h, shade(CASE, 0.9))
    knob(sc, 0.91 * w, h, 0.5 * d, 0.02 * w)
    sc.front_rect(0.04 * w, 0.12 * h, 0.1 * w, 0.03 * h, BLUE, width=0)
    return sc.result()


def pictures():
    """FotoW file -> PNG bytes."""
    out = {}
    out["miral_cabinet.png"] = picture_cabinet(1040, 560, 220)
    out["miralp_cabinet.png"] = picture_cabinet(1010, 620, 230, accent=RED, flap_share=0.18)
    out["pelvo_vertical.png"] = picture_cabinet(1020, 530, 215, legs=False, flap_share=0.16)
    out["pelvo_ceiling.png"] = picture_ceiling(1020, 215, 530)
    out["umbra_cabinet.png"] = picture_cabinet(1010, 620, 230, display=True, flap_share=0.16)
    out["veld_cabinet.png"] = picture_cabinet(1000, 630, 240, damper=True)
    out["fancoil_concealed.png"] = picture_concealed(940, 520, 200)
    out["wall_lumo.png"] = picture_wall(1000, 300, 215)
    out["wall_narte.png"] = picture_wall(930, 280, 200, accent=RED, band=False)
    out["cassette_4way.png"] = picture_cassette(800, 800, 4)
    out["cassette_2way.png"] = picture_cassette(1300, 700, 2)
    out["ducted_kelm.png"] = picture_ducted(1050, 450, 650, outlets=3)
    out["ducted_zoph.png"] = picture_ducted(1070, 350, 560, outlets=4, colour=(214, 216, 210),
                                            accent=RED)
    out["heater_torva.png"] = picture_heater(710, 660, 380)
    out["heater_q70.png"] = picture_heater(1000, 800, 450, colour=(198, 204, 196), accent=RED,
                                           vertical_blades=True)
    out["darne.png"] = picture_radiator(1250, 600, 130)
    return {name: png_bytes(image, 64) for name, image in out.items()}


# ---------------------------------------------------------------------------------------
# Dimensional drawings: front and side views with dimension lines, and each size's table.

class Sheet:
    """A drawing sheet in pixels: black lines on white, dimension lines with arrows."""

    def __init__(self, width=1200, height=850):
        self.image = Image.new("L", (width, height), 255)
        self.draw = ImageDraw.Draw(self.image)
        self.size = (width, height)

    def rect(self, x0, y0, x1, y1, width=3, fill=None):
        self.draw.rectangle([x0, y0, x1, y1], outline=0, width=width, fill=fill)

    def line(self, a, b, width=2, grey=0):
        self.draw.line([a, b], fill=grey, width=width)

    def dashed(self, a, b, dash=10, gap=6, width=1):
        (x0, y0), (x1, y1) = a, b
        length = math.hypot(x1 - x0, y1 - y0)
        if length == 0:
            return
        ux, uy = (x1 - x0) / length, (y1 - y0) / length
        t = 0.0
        while t < length:
            t1 = min(t + dash, length)
            self.draw.line([(x0 + ux * t, y0 + uy * t), (x0 + ux * t1, y0 + uy * t1)], fill=0,
                           width=width)
            t = t1 + gap

    def text(self, xy, text, size=20, bold=False, anchor="mm", grey=0):
        self.draw.text(xy, text, fill=grey, font=font(size, bold), anchor=anchor)

    def arrow(self, tip, direction):
        x, y = tip
        dx, dy = direction
        length, half = 14, 5
        bx, by = x - dx * length, y - dy * length
        self.draw.polygon([(x, y), (bx - dy * half, by + dx * half), (bx + dy * half, by - dx * half)],
                          fill=0)

    def dim_h(self, x0, x1, y_ref, y_line, letter):
        """A horizontal dimension between x0 and x1, with extension lines from y_ref."""
        ext = 8 if y_line > y_ref else -8
        self.line((x0, y_ref), (x0, y_line + ext), 1)
        self.line((x1, y_ref), (x1, y_line + ext), 1)
        self.line((x0, y_line), (x1, y_line), 1)
        self.arrow((x0, y_line), (-1, 0))
        self.arrow((x1, y_line), (1, 0))
        tx = (x0 + x1) / 2
        self.draw.rectangle([tx - 16, y_line - 14, tx + 16, y_line + 14], fill=255)
        self.text((tx, y_line), letter, 24, True)

    def dim_v(self, y0, y1, x_ref, x_line, letter):
        ext = 8 if x_line > x_ref else -8
        self.line((x_ref, y0), (x_line + ext, y0), 1)
        self.line((x_ref, y1), (x_line + ext, y1), 1)
        self.line((x_line, y0), (x_line, y1), 1)
        self.arrow((x_line, y0), (0, -1))
        self.arrow((x_line, y1), (0, 1))
        ty = (y0 + y1) / 2
        self.draw.rectangle([x_line - 16, ty - 14, x_line + 16, ty + 14], fill=255)
        self.text((x_line, ty), letter, 24, True)


def view_details(sheet, kind, x0, y0, x1, y1, view):
    """The few features that tell a casing's views apart: grilles, louvres, outlets."""
    w, h = x1 - x0, y1 - y0
    if view == "front":
        if kind.startswith("cabinet"):
            sheet.rect(x0 + 0.05 * w, y0 + 0.7 * h, x1 - 0.05 * w, y0 + 0.92 * h, 2)
            for i in range(1, 6):
                y = y0 + 0.7 * h + 0.22 * h * i / 6
                sheet.line((x0 + 0.05 * w, y), (x1 - 0.05 * w, y), 1)
            sheet.rect(x1 - 0.2 * w, y0 + 0.06 * h, x1 - 0.04 * w, y0 + 0.2 * h, 2)
        elif kind == "concealed":
            sheet.rect(x0 + 0.1 * w, y0 + 0.05 * h, x1 - 0.05 * w, y0 + 0.5 * h, 2)
            for i in range(3):
                cx = x0 + 0.1 * w + 0.85 * w * (i + 0.5) / 3
                r = min(0.1 * w, 0.17 * h)
                sheet.draw.ellipse([cx - r, y0 + 0.72 * h - r, cx + r, y0 + 0.72 * h + r],
                                   outline=0, width=2)
        elif kind in ("ceiling", "wall", "wall_compact"):
            sheet.rect(x0 + 0.05 * w, y0 + 0.55 * h, x1 - 0.05 * w, y0 + 0.85 * h, 2)
            for i in range(1, 4):
                y = y0 + 0.55 * h + 0.3 * h * i / 4
                sheet.line((x0 + 0.05 * w, y), (x1 - 0.05 * w, y), 1)
        elif kind.startswith("cassette"):
            sheet.rect(x0 + 0.3 * w, y0 + 0.3 * h, x1 - 0.3 * w, y1 - 0.3 * h, 2)
            sheet.rect(x0 + 0.15 * w, y0 + 0.08 * h, x1 - 0.15 * w, y0 + 0.14 * h, 2)
            sheet.rect(x0 + 0.15 * w, y1 - 0.14 * h, x1 - 0.15 * w, y1 - 0.08 * h, 2)
            if kind == "cassette4":
                sheet.rect(x0 + 0.08 * w, y0 + 0.15 * h, x0 + 0.14 * w, y1 - 0.15 * h, 2)
                sheet.rect(x1 - 0.14 * w, y0 + 0.15 * h, x1 - 0.08 * w, y1 - 0.15 * h, 2)
        elif kind.startswith("ducted"):
            sheet.rect(x0 + 0.08 * w, y0 + 0.12 * h, x1 - 0.08 * w, y1 - 0.12 * h, 2)
        elif kind.startswith("heater"):
            sheet.rect(x0 + 0.07 * w, y0 + 0.07 * h, x1 - 0.07 * w, y1 - 0.07 * h, 2)
            for i in range(1, 9):
                y = y0 + 0.07 * h + 0.86 * h * i / 9
                sheet.line((x0 + 0.07 * w, y), (x1 - 0.07 * w, y), 1)
        elif kind == "radiator":
            sheet.rect(x0 + 0.04 * w, y0 + 0.04 * h, x1 - 0.04 * w, y1 - 0.12 * h, 2)
    else:  # side: the water connections
        for i, fy in enumerate((0.35, 0.6)):
            cx, cy = x0 + 0.5 * w, y0 + fy * h
            r = max(6, min(w, h) * 0.05)
            sheet.draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=0, width=2)
            sheet.line((cx - r - 4, cy), (cx + r + 4, cy), 1)
            sheet.line((cx, cy - r - 4), (cx, cy + r + 4), 1)


def drawing(series, family, casing_kind, sizes):
    """One casing's drawing sheet: front and side views sized after the largest model,
    the dimension letters, the table of every size and the title block."""
    casing = CASINGS[casing_kind]
    sheet = Sheet()
    W, H = sheet.size
    sheet.rect(10, 10, W - 10, H - 10, 3)
    rows = [(s, casing.dims(s)) for s in sizes]
    big = rows[-1][1]
    # Plan views for the ceiling units, elevation views for the others: the letters name
    # the same quantity in either.
    plan = casing_kind.startswith("cassette")
    width_mm = big["A"] if not plan else big.get("B", big["A"])
    height_mm = (big["H"] if not plan else (big.get("C", width_mm)))
    depth_mm = big.get("P", big["H"])
    side_w_mm = depth_mm if not plan else (big.get("C", width_mm))
    side_h_mm = height_mm if not plan else big["H"] + 40
    area_w, area_h = 760, 330
    scale = min(area_w / (width_mm + side_w_mm), area_h / max(height_mm, side_h_mm))
    scale = min(scale, 0.6)
    fx0 = 90
    fy1 = 60 + area_h + 10
    fw, fh = width_mm * scale, height_mm * scale
    fy0 = fy1 - fh
    sheet.rect(fx0, fy0, fx0 + fw, fy1)
    view_details(sheet, casing_kind, fx0, fy0, fx0 + fw, fy1, "front")
    sheet.dim_h(fx0, fx0 + fw, fy1, fy1 + 45, "B" if plan else "A")
    sheet.dim_v(fy0, fy1, fx0, fx0 - 45, "C" if (plan and "C" in casing.letters) else
                ("B" if plan else "H"))
    if "B" in casing.letters and not plan:
        # The grille or outlet, centred on the front.
        bw = big["B"] * scale
        bx0 = fx0 + (fw - bw) / 2
        sheet.dashed((bx0, fy0), (bx0, fy0 - 30))
        sheet.dashed((bx0 + bw, fy0), (bx0 + bw, fy0 - 30))
        sheet.dim_h(bx0, bx0 + bw, fy0, fy0 - 28, "B")
    sx0 = fx0 + fw + 140
    sw, sh = side_w_mm * scale, side_h_mm * scale
    sy0 = fy1 - sh
    sheet.rect(sx0, sy0, sx0 + sw, fy1)
    if plan:
        body = casing.dims(sizes[-1])
        inner_w = body["A"] * scale
        ix0 = sx0 + (sw - min(inner_w, sw * 0.9)) / 2
        sheet.rect(ix0, sy0, sx0 + sw - (ix0 - sx0), fy1 - 40 * scale, 2)
        sheet.dim_v(sy0, fy1, sx0 + sw, sx0 + sw + 45, "H")
        sheet.dim_h(ix0, sx0 + sw - (ix0 - sx0), fy1, fy1 + 45, "A")
    else:
        view_details(sheet, casing_kind, sx0, sy0, sx0 + sw, fy1, "side")
        sheet.dim_h(sx0, sx0 + sw, fy1, fy1 + 45, "P")
    label_y = fy1 + 80
    sheet.text((fx0 + fw / 2, label_y), "vista frontale / front view" if not plan
               else "vista da sotto / view from below", 16, grey=60)
    sheet.text((sx0 + sw / 2, label_y), "vista laterale / side view", 16, grey=60)
    # The table of sizes.
    letters = casing.letters
    columns = ["Modello / Model"] + letters + ["Ø"]
    col_w = [230] + [95] * len(letters) + [95]
    tx0, ty0 = 40, 520
    row_h = max(24, min(34, (H - 40 - ty0) // (len(rows) + 1)))
    x = tx0
    total_w = sum(col_w)
    sheet.rect(tx0, ty0, tx0 + total_w, ty0 + row_h * (len(rows) + 1), 2)
    sheet.draw.rectangle([tx0 + 2, ty0 + 2, tx0 + total_w - 2, ty0 + row_h - 2], fill=225)
    for i, name in enumerate(columns):
        sheet.text((x + col_w[i] / 2, ty0 + row_h / 2), name, 18, True)
        if i:
            sheet.line((x, ty0), (x, ty0 + row_h * (len(rows) + 1)), 1)
        x += col_w[i]
    for r, (size, dims) in enumerate(rows):
        y = ty0 + row_h * (r + 1)
        sheet.line((tx0, y), (tx0 + total_w, y), 1)
        values = [size.name] + [str(dims[k]) for k in letters] + [connection(size)]
        x = tx0
        for i, value in enumerate(values):
            sheet.text((x + col_w[i] / 2, y + row_h / 2), value, 18)
            x += col_w[i]
    # Legend of the letters and the title block.
    lx = tx0 + total_w + 30
    ly = ty0
    sheet.text((lx, ly), "mm", 18, True, anchor="la")
    for i, letter in enumerate(letters):
        ita, eng = casing.meaning[letter]
        sheet.text((lx, ly + 28 * (i + 1)), f"{letter}  {ita} / {eng}", 16, anchor="la")
    sheet.text((lx, ly + 28 * (len(letters) + 1)), "Ø  attacchi acqua / water connections", 16,
               anchor="la")
    bx0, by0 = W - 330, H - 130
    sheet.rect(bx0, by0, W - 10, H - 10, 3)
    sheet.line((bx0, by0 + 60), (W - 10, by0 + 60), 2)
    sheet.text((bx0 + 160, by0 + 30), family.key.replace("_", " "), 28, True)
    sheet.text((bx0 + 160, by0 + 78), "Dimensioni / Dimensions", 18)
    sheet.text((bx0 + 160, by0 + 102), "OSKA S.p.A.  -  mm", 15, grey=60)
    return png_bytes(sheet.image.convert("RGB"), 16)


def drawings():
    """dimensionali file -> (Family, PNG bytes): one per family with its own casing."""
    out = {}
    for series in SERIES:
        for family in series.families:
            name = drawing_name(family)
            if name in out:
                continue
            sizes = read_sizes(family.table, series.kind == "ducted")
            out[name] = drawing(series, family, family.casing, sizes)
    return out


def drawing_name(family):
    return f"{family.key}_dim.png"


# ---------------------------------------------------------------------------------------
# Wiring diagrams. Each is a terminal board in the middle: the field side on the left
# (supply, room controller or building management), the unit's own wiring on the right
# (motor, valves, pump). Every terminal row is one straight wire, so the diagram reads
# across the board.

@dataclass
class Device:
    title: list          # lines of the device's title
    ports: list          # labels, one per terminal row it takes
    symbol: str = ""     # motor, motor3, ec, valve, pump, switch, supply, controller


def diagram(title, left, right, terminals, notes):
    """left / right: devices stacked top to bottom; terminals: (label, left port index or
    None, right port index or None) in the same order as the devices' ports, row by row."""
    sheet = Sheet(1200, 850)
    W, H = sheet.size
    sheet.rect(10, 10, W - 10, H - 10, 3)
    rows = len(terminals)
    top, bottom = 70, H - 250
    pitch = min(38, (bottom - top) / max(rows, 1))
    tb_x0, tb_x1 = 532, 628
    y_of = [top + pitch * (i + 0.5) for i in range(rows)]
    # Terminal board.
    sheet.rect(tb_x0, top - 10, tb_x1, top + pitch * rows + 10, 3)
    sheet.text(((tb_x0 + tb_x1) / 2, top - 30), "X1", 22, True)
    for i, (label, _, _) in enumerate(terminals):
        y = y_of[i]
        sheet.draw.ellipse([tb_x0 + 6, y - 5, tb_x0 + 16, y + 5], outline=0, width=2)
        sheet.draw.ellipse([tb_x1 - 16, y - 5, tb_x1 - 6, y + 5], outline=0, width=2)
        sheet.text(((tb_x0 + tb_x1) / 2, y), label, 16, True)
        if i:
            sheet.line((tb_x0, y - pitch / 2), (tb_x1, y - pitch / 2), 1, grey=150)

    def place(devices, x0, x1, side):
        row = 0
        for device in devices:
            n = len(device.ports)
            if not device.title and not device.symbol:  # rows wired inside the unit
                row += n
                continue
            y0 = y_of[row] - pitch / 2 + 4
            y1 = y_of[row + n - 1] + pitch / 2 - 4
            sheet.rect(x0, y0, x1, y1, 3)
            edge = x1 if side == "left" else x0
            for k, port in enumerate(device.ports):
                y = y_of[row + k]
                if port:
                    anchor = "rm" if side == "left" else "lm"
                    dx = -8 if side == "left" else 8
                    sheet.text((edge + dx, y), port, 15, anchor=anchor)
            # The symbol at the outer end of the box, the title between it and the port
            # labels along the inner edge.
            cy = (y0 + y1) / 2
            if side == "left":
                sx, title_x = x0 + 45, (x0 + 90 + x1 - 70) / 2
            else:
                sx, title_x = x1 - 38, (x0 + 140 + x1 - 70) / 2
            if device.symbol:
                symbol(sheet, device.symbol, sx, cy, min(y1 - y0, 120))
            for j, line_text in enumerate(device.title):
                ty = cy + (j - (len(device.title) - 1) / 2) * 19
                sheet.text((title_x, ty), line_text, 15, True)
            row += n
        return row

    used_left = place(left, 90, 390, "left")
    used_right = place(right, 770, 1160, "right")
    if used_left != rows or used_right != rows:
        fail(f"wiring diagram {title[1]}: {rows} terminals, {used_left} left ports, "
             f"{used_right} right ports")
    for i, (label, lp, rp) in enumerate(terminals):
        y = y_of[i]
        if lp:
            sheet.line((390, y), (tb_x0 + 6, y), 2)
        if rp:
            sheet.line((tb_x1 - 6, y), (770, y), 2)
    # The boundary between the field wiring and the unit's.
    sheet.dashed((680, 40), (680, bottom + 10), 14, 8, 2)
    sheet.text((300, 40), "installatore / installer", 16, grey=60)
    sheet.text((965, 40), "unità / unit", 16, grey=60)
    # Notes and title block.
    ny = bottom + 25
    for j, note in enumerate(notes):
        sheet.text((30, ny + j * 22), note, 15, anchor="la")
    bx0, by0 = W - 330, H - 110
    sheet.rect(bx0, by0, W - 10, H - 10, 3)
    sheet.text((bx0 + 160, by0 + 22), title[0], 18, True)
    sheet.text((bx0 + 160, by0 + 46), title[1], 18, True)
    sheet.text((bx0 + 160, by0 + 78), "Schema elettrico / Wiring diagram", 15, grey=40)
    return png_bytes(sheet.image.convert("RGB"), 16)


def symbol(sheet, kind, cx, cy, room):
    r = max(16, min(28, room * 0.3))
    if kind in ("motor", "motor3", "ec"):
        sheet.draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=0, width=3)
        sheet.text((cx, cy - r * 0.25), "M", int(r * 0.9), True)
        sheet.text((cx, cy + r * 0.45), {"motor": "1~", "motor3": "3~", "ec": "EC"}[kind],
                   int(r * 0.5))
    elif kind == "valve":
        sheet.draw.polygon([(cx - r, cy - r * 0.6), (cx, cy), (cx - r, cy + r * 0.6)], outline=0)
        sheet.draw.polygon([(cx + r, cy - r * 0.6), (cx, cy), (cx + r, cy + r * 0.6)], outline=0)
        sheet.line((cx, cy), (cx, cy - r), 2)
        sheet.rect(cx - r * 0.45, cy - r * 1.35, cx + r * 0.45, cy - r, 2)
    elif kind == "pump":
        sheet.draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=0, width=3)
        sheet.draw.polygon([(cx - r * 0.5, cy + r * 0.6), (cx, cy - r * 0.7), (cx + r * 0.5, cy + r * 0.6)],
                           outline=0)
    elif kind == "switch":
        sheet.line((cx - r, cy), (cx - r * 0.3, cy), 2)
        sheet.line((cx - r * 0.3, cy), (cx + r * 0.5, cy - r * 0.5), 2)
        sheet.line((cx + r * 0.6, cy), (cx + r, cy), 2)
        sheet.draw.ellipse([cx - r * 0.38, cy - 4, cx - r * 0.22, cy + 4], fill=0)
    elif kind == "supply":
        sheet.text((cx, cy), "~", int(r * 1.4), True)
    elif kind == "heater":
        sheet.rect(cx - r, cy - r * 0.4, cx + r, cy + r * 0.4, 2)
        for k in range(4):
            sheet.line((cx - r + k * r / 2, cy - r * 0.4), (cx - r + (k + 1) * r / 2, cy + r * 0.4), 1)


SUPPLY_1PH = Device(["230 V 1~ 50 Hz"], ["L", "N", "PE"], "supply")
SUPPLY_3PH = Device(["400 V 3N~ 50 Hz"], ["L1", "L2", "L3", "N", "PE"], "supply")


def wiring_fixed(speeds, pump=False):
    taps = [f"V{i + 1}" for i in range(speeds)]
    left = [SUPPLY_1PH, Device(["Termostato con", "commutatore", "Thermostat with",
                                "speed switch"], taps + ["Y1 (C)", "Y2 (H)", "N"], "switch")]
    terminals = [("L", 1, 1), ("N", 1, 1), ("PE", 1, 1)] + [(t, 1, 1) for t in taps] + \
        [("Y1", 1, 1), ("Y2", 1, 1), ("N", 1, 1)]
    motor_ports = ["L (protetto)", "N", "PE"] + taps
    right = [Device(["Motore ventilatore", "Fan motor"], motor_ports, "motor"),
             Device(["Valvole / Valves"], ["Y1 freddo/cool", "Y2 caldo/heat", "N"], "valve")]
    notes = [
        f"V1...V{speeds}: velocità del motore, dalla minima alla massima / motor speeds, lowest to highest.",
        "Una sola velocità alla volta: il commutatore le interblocca / one speed at a time, interlocked.",
        "Y1 / Y2: valvole a 2 o 3 vie 230 V on-off, Y2 solo 4 tubi / 230 V on-off valves, Y2 four-pipe only.",
        "PE: conduttore di protezione / protective earth. Protezione di linea 2 A / line fuse 2 A.",
    ]
    if pump:
        terminals += [("P", None, 1), ("FS", None, 1)]
        right.append(Device(["Pompa condensa", "Condensate pump"], ["L pompa/pump", "galleggiante/float"], "pump"))
        left.append(Device([], ["", ""], ""))
        notes.append("P / FS: pompa condensa e galleggiante di sicurezza, cablati in fabbrica / "
                     "condensate pump and safety float, factory wired.")
    return left, right, terminals, notes


def wiring_ec(kind):
    left = [SUPPLY_1PH,
            Device(["Regolatore 0-10 V", "0-10 V controller", "(BMS)"],
                   ["0-10 V", "GND", "TACH", "Y1 (C)", "Y2 (H)", "N"], "switch")]
    terminals = [("L", 1, 1), ("N", 1, 1), ("PE", 1, 1), ("AI", 1, 1), ("GND", 1, 1),
                 ("TK", 1, 1), ("Y1", 1, 1), ("Y2", 1, 1), ("N", 1, 1)]
    right = [Device(["Motore EC brushless", "Brushless EC motor"],
                    ["L", "N", "PE", "0-10 V (Ain)", "GND", "PWM/tach"], "ec"),
             Device(["Valvole / Valves"], ["Y1 freddo/cool", "Y2 caldo/heat", "N"], "valve")]
    notes = [
        "AI: segnale 0-10 V della velocità del ventilatore, riferito a GND / 0-10 V fan speed signal, referred to GND.",
        "TK: uscita tachimetrica (impulsi PWM, 2 per giro) verso il regolatore / tach output, 2 PWM pulses per turn.",
        "Cavo del segnale schermato, separato da quelli di potenza / screened signal cable, apart from power.",
        "Y1 / Y2: valvole 230 V on-off, Y2 solo 4 tubi / 230 V on-off valves, Y2 four-pipe only.",
    ]
    if kind == "heater":
        terminals = terminals[:6] + [("Y1", 1, 1), ("N", 1, 1)]
        left[1] = Device(["Regolatore 0-10 V", "0-10 V controller"],
                         ["0-10 V", "GND", "TACH", "Y1", "N"], "switch")
        right[1] = Device(["Valvola / Valve"], ["Y1", "N"], "valve")
        notes[3] = "Y1: valvola 230 V on-off sull'acqua calda / 230 V on-off valve on the hot water."
    if kind == "ducted":
        terminals += [("ST", 1, 1), ("ST", 1, 1)]
        left[1].ports = left[1].ports + ["allarme / alarm", "allarme / alarm"]
        right.append(Device(["Termostato sicurezza", "Safety thermostat"], ["", ""], "switch"))
        notes.append("ST: contatto del termostato di sicurezza (resistenza elettrica EB) / safety "
                     "thermostat contact (EB heater).")
    return left, right, terminals, notes


def wiring_ducted_taps(taps):
    speeds = [f"V{i + 1}" for i in range(taps)]
    left = [SUPPLY_1PH,
            Device(["Pannello remoto", "Remote panel"] + ([f"({taps} velocità / speeds)"]),
                   speeds + ["Y1 (C)", "N"], "switch")]
    terminals = [("L", 1, 1), ("N", 1, 1), ("PE", 1, 1)] + [(s, 1, 1) for s in speeds] + \
        [("Y1", 1, 1), ("N", 1, 1)]
    right = [Device(["Motore a prese", "Tapped motor"], ["L (protetto)", "N", "PE"] + speeds, "motor"),
             Device(["Valvola / Valve"], ["Y1", "N"], "valve")]
    notes = [
        f"V1...V{taps}: prese del motore, dalla minima alla massima / motor taps, lowest to highest.",
        "Scegliere la presa per la pressione utile dell'impianto / choose the tap for the duct's pressure.",
        "Il motore ha protezione termica interna a riarmo automatico / motor with automatic thermal cut-out.",
        "Y1: valvola 230 V on-off; per la batteria HX un secondo morsetto Y2 / for the HX coil a second Y2.",
    ]
    return left, right, terminals, notes


def wiring_heater_1ph():
    left = [SUPPLY_1PH, Device(["Termostato ambiente", "Room thermostat"], ["", "N"], "switch")]
    terminals = [("L", 1, 1), ("N", 1, 1), ("PE", 1, 1), ("T1", 1, 1), ("N", 1, 1),
                 ("TK", None, 1), ("TK", None, 1)]
    right = [Device(["Motore ventilatore", "Fan motor"], ["L", "N", "PE", "L (T1)", "N"], "motor"),
             Device(["Protettore termico", "Thermal cut-out"], ["TK", "TK"], "switch")]
    left.append(Device([], ["", ""], ""))
    notes = [
        "T1: il termostato comanda il motore / the room thermostat switches the motor.",
        "TK: protettore termico del motore in serie, cablato in fabbrica / motor cut-out in series, factory wired.",
        "Motore a 4, 6, 8 o 10 poli secondo il modello / 4, 6, 8 or 10-pole motor as the model.",
        "Collegare il termostato di minima sull'acqua se previsto / wire the water low-limit thermostat if fitted.",
    ]
    return left, right, terminals, notes


def wiring_heater_3ph():
    left = [SUPPLY_3PH, Device(["Termostato ambiente", "Room thermostat"], ["", ""], "switch"),
            Device([], ["", ""], "")]
    terminals = [("L1", 1, 1), ("L2", 1, 1), ("L3", 1, 1), ("N", 1, None), ("PE", 1, 1),
                 ("T1", 1, 1), ("T2", 1, 1), ("TK", None, 1), ("TK", None, 1)]
    right = [Device(["Motore trifase", "Three-phase motor", "(via KM)"], ["U", "V", "W", "", "PE"],
                    "motor3"),
             Device(["Bobina KM", "KM coil"], ["A1", "A2"], "switch"),
             Device(["Termocontatti", "Thermal contacts"], ["TK", "TK"], "switch")]
    notes = [
        "Motore 400 V 3~ a 4, 6 o 8 poli: collegamento a stella / 4, 6 or 8-pole 400 V motor, star connection.",
        "TK: termocontatti del motore in serie alla bobina KM / motor thermal contacts in series with the KM coil.",
        "Senso di rotazione: scambiare due fasi se l'aria non esce dalle alette / swap two phases to reverse.",
        "Protezione di linea con interruttore magnetotermico / line protected by a circuit breaker.",
    ]
    return left, right, terminals, notes


def wirings():
    specs = {
        "wiring_fancoil_3speed.png": ("Ventilconvettore 3 velocità / 3-speed fan coil", wiring_fixed(3)),
        "wiring_fancoil_6speed.png": ("Ventilconvettore 6 velocità / 6-speed fan coil", wiring_fixed(6)),
        "wiring_cassette_3speed.png": ("Cassetta 3 velocità / 3-speed cassette", wiring_fixed(3, pump=True)),
        "wiring_cassette_4speed.png": ("Cassetta 4 velocità / 4-speed cassette", wiring_fixed(4, pump=True)),
        "wiring_darne_4speed.png": ("Radiatore ventilato / Fan radiator", wiring_fixed(4)),
        "wiring_fancoil_ec.png": ("Ventilconvettore EC / EC fan coil", wiring_ec("fancoil")),
        "wiring_ducted_3tap.png": ("Canalizzabile 3 velocità / 3-speed ducted", wiring_ducted_taps(3)),
        "wiring_ducted_7tap.png": ("Canalizzabile 7 velocità / 7-speed ducted", wiring_ducted_taps(7)),
        "wiring_ducted_ec.png": ("Canalizzabile EC / EC ducted unit", wiring_ec("ducted")),
        "wiring_heater_1ph.png": ("Aerotermo 230 V / Unit heater 230 V", wiring_heater_1ph()),
        "wiring_heater_ec.png": ("Aerotermo EC / EC unit heater", wiring_ec("heater")),
        "wiring_heater_3ph.png": ("Aerotermo 400 V / Unit heater 400 V", wiring_heater_3ph()),
    }
    out = {}
    for name, (title, (left, right, terminals, notes)) in specs.items():
        out[name] = diagram(title.split(" / "), left, right, terminals, notes)
    return out


# ---------------------------------------------------------------------------------------
# Tender texts. Each is what an engineer pastes into a tender: casing, coil (rows and
# circuits of every size, from the catalogue), fan and motor, filter, condensate tray,
# controls, tests. Direct formatting only, so the text keeps its look when the report
# copies the body without the styles: bold headings, plain paragraphs, "– " items.

def tr(lang, ita, eng):
    return ita if lang == "ITA" else eng


def rows_text(lang, n):
    return tr(lang, f"{n} rango" if n == 1 else f"{n} ranghi", f"{n}-row")


def circuits_text(lang, n):
    return tr(lang, f"{n} circuito" if n == 1 else f"{n} circuiti",
              f"{n} circuit" if n == 1 else f"{n} circuits")


def casing_paragraphs(lang, kind, family_kinds):
    paras = []
    if kind == "fancoil":
        paras.append(tr(lang,
            "Mobile di copertura in lamiera d'acciaio zincata e preverniciata bianco RAL 9010, "
            "fianchi in ABS antiurto, griglia di mandata superiore ad alette fisse, sportello "
            "laterale di accesso ai comandi. Isolamento termoacustico interno in polietilene "
            "espanso a celle chiuse, classe 1 di reazione al fuoco.",
            "Cabinet in galvanised, pre-painted steel sheet, white RAL 9010, impact-resistant ABS "
            "side panels, top supply grille with fixed blades, side flap giving access to the "
            "controls. Internal thermal and acoustic insulation of closed-cell polyethylene "
            "foam, fire class 1."))
        if "concealed" in family_kinds:
            paras.append(tr(lang,
                "Versione da incasso: senza mobile, telaio portante in lamiera zincata con "
                "bocca di mandata e ripresa predisposte per il raccordo ai canali, per "
                "installazione in nicchia o in controsoffitto.",
                "Concealed version: without cabinet, galvanised steel chassis with supply and "
                "return openings ready for duct connection, for installation in a recess or a "
                "false ceiling."))
        if "ceiling" in family_kinds:
            paras.append(tr(lang,
                "Versione orizzontale: lo stesso mobile per installazione a soffitto, con "
                "mandata frontale ad alette orientabili e ripresa dal basso.",
                "Horizontal version: the same cabinet for ceiling mounting, front supply with "
                "adjustable blades and return from below."))
    elif kind == "wall":
        paras.append(tr(lang,
            "Mobile in ABS bianco stabilizzato ai raggi UV, ripresa superiore a griglia, "
            "mandata inferiore con deflettore motorizzato a oscillazione automatica, piastra "
            "di fissaggio a parete in lamiera zincata, display di segnalazione a bordo.",
            "UV-stabilised white ABS casing, top return grille, bottom supply with a motorised "
            "swinging flap, galvanised steel wall-mounting plate, indicator display on the unit."))
    elif kind == "cassette":
        paras.append(tr(lang,
            "Corpo in lamiera d'acciaio zincata con isolamento interno termoacustico, per "
            "controsoffitti modulari; pannello di mandata e ripresa in ABS bianco RAL 9010 con "
            "alette orientabili, griglia di ripresa centrale apribile, staffe di sospensione "
            "regolabili. Predisposizione per la presa d'aria esterna e per una mandata "
            "canalizzata laterale.",
            "Galvanised steel body with internal thermal and acoustic insulation, for modular "
            "false ceilings; white RAL 9010 ABS supply and return panel with adjustable blades, "
            "hinged central return grille, adjustable hanging brackets. Knock-outs for a fresh "
            "air intake and a side ducted supply."))
    elif kind == "ducted":
        paras.append(tr(lang,
            "Struttura autoportante in lamiera d'acciaio zincata, pannelli con isolamento "
            "termoacustico in polietilene espanso a celle chiuse, pannello inferiore asportabile "
            "per l'accesso al ventilatore e alla batteria, bocca di mandata flangiata per il "
            "raccordo ai canali, ripresa posteriore. Installazione orizzontale a soffitto o "
            "verticale.",
            "Self-supporting galvanised steel frame, panels insulated with closed-cell "
            "polyethylene foam, removable bottom panel giving access to the fan and the coil, "
            "flanged supply outlet for duct connection, rear return. Horizontal ceiling or "
            "vertical installation."))
    elif kind in ("heater", "q70"):
        paras.append(tr(lang,
            "Mobile in lamiera d'acciaio zincata verniciata a polveri, alette frontali "
            "orientabili singolarmente per dirigere il getto d'aria, staffe per il montaggio a "
            "parete o a soffitto, griglia di protezione posteriore sul ventilatore.",
            "Casing in powder-coated galvanised steel, individually adjustable front blades to "
            "direct the air jet, brackets for wall or ceiling mounting, rear guard over the "
            "fan."))
    elif kind == "radiator":
        paras.append(tr(lang,
            "Mobile sottile in lamiera d'acciaio verniciata bianco RAL 9010, frontale liscio a "
            "canali orizzontali, griglia di mandata superiore, piedini di appoggio o staffe a "
            "parete; profondità 130 mm per l'installazione sotto finestra.",
            "Slim casing in steel painted white RAL 9010, smooth front with horizontal channels, "
            "top supply grille, floor feet or wall brackets; 130 mm deep to fit under a window."))
    return paras


def coil_paragraphs(lang, series, sizes):
    kind = series.kind
    max_bar, max_water = (10, 110) if kind == "q70" else (16, 85)
    paras = [tr(lang,
        "Batteria di scambio termico in tubi di rame espansi meccanicamente su alette continue "
        "in alluminio, collettori in rame con attacchi femmina gas, valvola di sfiato dell'aria "
        f"e rubinetto di scarico. Pressione massima di esercizio {max_bar} bar, temperatura "
        f"massima dell'acqua {max_water} °C; attacchi idraulici a sinistra, reversibili in "
        "cantiere.",
        "Heat exchange coil of copper tubes mechanically expanded into continuous aluminium "
        "fins, copper headers with female gas connections, air vent and drain cock. Maximum "
        f"working pressure {max_bar} bar, maximum water temperature {max_water} °C; water "
        "connections on the left, reversible on site.")]
    extra = sorted({s.extra_rows for s in sizes if s.extra_rows})
    if extra:
        label = {"DARNE": "4T", "ZOPH": "YHX", "ZOPHBLDC": "YHX"}.get(series.code, "HX")
        if series.code == "DARNE":
            # The four-pipe unit's cooling coil gives up a row to the heating coil beside it.
            paras.append(tr(lang,
                f"Versione per impianti a 4 tubi ({label}): batteria di raffreddamento a "
                f"{rows_text(lang, extra[0])} e batteria di riscaldamento a "
                f"{rows_text(lang, extra[0])}, ciascuna con attacchi propri.",
                f"Version for four-pipe systems ({label}): {rows_text(lang, extra[0])} cooling "
                f"coil and {rows_text(lang, extra[0])} heating coil, each with its own "
                "connections."))
        elif kind == "ducted":
            paras.append(tr(lang,
                f"Batteria aggiuntiva di riscaldamento {label} a "
                f"{rows_text(lang, extra[0])}, come accessorio a valle della batteria principale.",
                f"Additional {rows_text(lang, extra[0])} heating coil {label}, an accessory "
                "downstream of the main coil."))
        else:
            paras.append(tr(lang,
                f"Versione per impianti a 4 tubi ({label}): batteria aggiuntiva di riscaldamento a "
                f"{rows_text(lang, extra[0])}, con attacchi propri.",
                f"Version for four-pipe systems ({label}): additional {rows_text(lang, extra[0])} "
                "heating coil with its own connections."))
    paras.append(tr(lang, "Batteria principale per grandezza:", "Main coil by size:"))
    for s in sizes:
        paras.append("– " + tr(lang,
            f"{s.name}: batteria a {rows_text(lang, s.rows)}, {circuits_text(lang, s.circuits)}, "
            f"lunghezza alettata {s.length_mm:.0f} mm, altezza {s.height_mm:.0f} mm, "
            f"attacchi {connection(s)}",
            f"{s.name}: {rows_text(lang, s.rows)} coil, {circuits_text(lang, s.circuits)}, "
            f"finned length {s.length_mm:.0f} mm, height {s.height_mm:.0f} mm, "
            f"connections {connection(s)}"))
    return paras


def fan_paragraphs(lang, series):
    kind, speeds = series.kind, series.speeds
    if series.fan == "ec":
        if series.code == "UMBRA":
            control = tr(lang,
                "la velocità segue il segnale di comando 0-10 V in modo continuo, dal 10 % a "
                "0 V al 100 % a 10 V",
                "the speed follows the 0-10 V control signal continuously, from 10 % at 0 V to "
                "100 % at 10 V")
        else:
            control = tr(lang,
                "velocità regolata in continuo da un segnale 0-10 V, con uscita tachimetrica "
                "(PWM) per il controllo della rotazione",
                "speed set continuously by a 0-10 V signal, with a tach (PWM) output to monitor "
                "the rotation")
        fan = {"heater": tr(lang, "Ventilatore elicoidale con pale profilate in alluminio",
                            "Axial fan with profiled aluminium blades"),
               "ducted": tr(lang, "Ventilatori centrifughi a doppia aspirazione ad alta "
                            "prevalenza", "Double-inlet centrifugal fans for high external "
                            "pressure")}.get(kind, tr(lang, "Ventilatori centrifughi a doppia "
                                                      "aspirazione", "Double-inlet centrifugal fans"))
        return [fan + tr(lang,
            ", giranti bilanciate staticamente e dinamicamente. Motore brushless a commutazione "
            "elettronica (EC) a magneti permanenti, alimentazione 230 V 1~ 50/60 Hz, "
            f"{control}; elevato rendimento anche a basso numero di giri, montato su supporti "
            "antivibranti.",
            ", impellers statically and dynamically balanced. Brushless electronically "
            "commutated (EC) permanent-magnet motor, 230 V 1~ 50/60 Hz supply, "
            f"{control}; high efficiency down to low speeds, on anti-vibration mounts.")]
    if kind == "heater":
        return [tr(lang,
            "Ventilatore elicoidale con pale in alluminio, motore asincrono monofase 230 V 50 Hz "
            "a 4, 6, 8 o 10 poli secondo il modello, protettore termico incorporato, griglia "
            "antinfortunistica.",
            "Axial fan with aluminium blades, single-phase 230 V 50 Hz induction motor with 4, 6, "
            "8 or 10 poles as the model, built-in thermal cut-out, safety guard.")]
    if kind == "q70":
        return [tr(lang,
            "Ventilatore elicoidale ad alto rendimento, motore asincrono trifase 400 V 50 Hz a "
            "4, 6 o 8 poli secondo il modello (suffisso -4, -6, -8), protezione IP54, "
            "termocontatti negli avvolgimenti.",
            "High-efficiency axial fan, three-phase 400 V 50 Hz induction motor with 4, 6 or "
            "8 poles as the model (suffix -4, -6, -8), IP54, thermal contacts in the windings.")]
    taps = tr(lang, f"a {speeds} velocità", f"with {speeds} speeds")
    if kind == "ducted":
        fan = tr(lang, "Ventilatori centrifughi a doppia aspirazione ad alta prevalenza, motore "
                       f"monofase 230 V 50 Hz {taps} (prese), da scegliere secondo la pressione "
                       "utile dei canali",
                 "Double-inlet centrifugal fans for high external pressure, single-phase "
                 f"230 V 50 Hz motor {taps} (taps), chosen for the duct's pressure")
    elif kind == "radiator":
        fan = tr(lang, "Ventilatori tangenziali silenziosi, motore monofase 230 V 50 Hz a 4 "
                       "velocità (Super Min, Min, Med, Max); a ventilatore fermo l'apparecchio "
                       "scalda per convezione naturale come un radiatore",
                 "Quiet cross-flow fans, single-phase 230 V 50 Hz motor with 4 speeds (Super "
                 "Min, Min, Med, Max); with the fan off the unit heats by natural convection "
                 "like a radiator")
    else:
        fan = tr(lang, f"Ventilatori centrifughi a doppia aspirazione, motore monofase 230 V "
                       f"50 Hz {taps}, condensatore permanentemente inserito",
                 "Double-inlet centrifugal fans, single-phase 230 V 50 Hz motor "
                 f"{taps}, permanent split capacitor")
    return [fan + tr(lang,
        "; giranti bilanciate staticamente e dinamicamente, protezione termica interna, "
        "montaggio su supporti antivibranti.",
        "; impellers statically and dynamically balanced, internal thermal protection, "
        "mounted on anti-vibration supports.")]


def filter_paragraph(lang, series):
    if series.kind == "ducted":
        grade = {"KELM": "G4 (LQ5) / F7 (VX50)", "KELMBLDC": "G4 (LQ5) / F7 (VX50)",
                 "ZOPH": "G4 (Y50) / M5 (Y50T)", "ZOPHBLDC": "G4 (Y50) / M5 (Y50T)"}[series.code]
        return tr(lang, f"Filtro aria a richiesta, come accessorio sulla ripresa: classe {grade}.",
                  f"Air filter on request, as an accessory on the return: grade {grade}.")
    if series.kind in ("heater", "q70"):
        return None
    return tr(lang,
        "Filtro aria in fibra sintetica rigenerabile, classe ISO Coarse (G3), estraibile senza "
        "attrezzi per la pulizia.",
        "Washable synthetic-fibre air filter, ISO Coarse (G3), removable without tools for "
        "cleaning.")


def tray_paragraph(lang, series):
    kind = series.kind
    if kind == "q70":
        return tr(lang, "Solo riscaldamento: l'apparecchio non ha bacinella di raccolta condensa.",
                  "Heating only: the unit has no condensate tray.")
    if kind == "heater":
        return tr(lang,
            "Bacinella di raccolta condensa come accessorio, per il funzionamento in "
            "raffreddamento con acqua refrigerata.",
            "Condensate tray as an accessory, for cooling with chilled water.")
    if kind == "cassette":
        return tr(lang,
            "Bacinella di raccolta condensa in materiale plastico isolato, pompa di scarico con "
            "prevalenza 650 mm e galleggiante di sicurezza che arresta il raffreddamento "
            "quando il livello sale.",
            "Insulated plastic condensate tray, drain pump lifting 650 mm and a safety float "
            "that stops the cooling when the level rises.")
    return tr(lang,
        "Bacinella di raccolta condensa in lamiera zincata con isolamento anticondensa, estesa "
        "sotto le valvole, scarico Ø 16 mm.",
        "Condensate tray in galvanised steel with anti-sweat insulation, extending under the "
        "valves, drain Ø 16 mm.")


def controls_paragraph(lang, series):
    if series.fan == "ec":
        return tr(lang,
            "Comando elettronico a parete o sistema di supervisione (BMS) con uscita "
            "0-10 V per la velocità del ventilatore e uscite 230 V per le valvole on-off; "
            "termostato ambiente con sonda dell'aria di ripresa.",
            "Electronic wall controller or building management system (BMS) with a "
            "0-10 V output for the fan speed and 230 V outputs for the on-off valves; room "
            "thermostat with a return-air sensor.")
    if series.kind == "q70":
        return tr(lang,
            "Termostato ambiente che comanda il teleruttore del motore, con i "
            "termocontatti in serie alla bobina.",
            "Room thermostat switching the motor's contactor, the thermal contacts in "
            "series with its coil.")
    if series.kind == "heater":
        return tr(lang,
            "Termostato ambiente sul motore, termostato di minima sull'acqua come "
            "accessorio.",
            "Room thermostat on the motor, water low-limit thermostat as an accessory.")
    return tr(lang,
        "Comando a bordo o a parete con commutatore delle velocità, termostato "
        "ambiente, selettore estate/inverno e uscite per valvole a 2 o 3 vie on-off 230 V.",
        "On-board or wall controller with speed switch, room thermostat, "
        "summer/winter selector and outputs for 230 V on-off 2- or 3-way valves.")


def tests_paragraph(lang, series):
    standard = tr(lang, "Prestazioni secondo EN 1397, potenza sonora secondo EN ISO 3741.",
                  "Performance to EN 1397, sound power to EN ISO 3741.")
    if series.kind in ("heater", "q70"):
        standard = tr(lang, "Prestazioni rilevate in laboratorio, potenza sonora secondo "
                            "EN ISO 3741.",
                      "Performance measured in the laboratory, sound power to EN ISO 3741.")
    return tr(lang,
        "Ogni unità è provata in fabbrica; tenuta della batteria in aria a 30 bar, "
        "sicurezza elettrica (rigidità dielettrica e continuità del circuito di protezione), "
        "funzionamento del motore a tutte le velocità. Marcatura CE. ",
        "Every unit is tested in the factory; coil tightness with air at 30 bar, "
        "electrical safety (dielectric strength and protective-earth continuity), motor "
        "running at every speed. CE marking. ") + standard


def tender_text(series, family, lang, sizes):
    """The tender text as (bold, text) paragraphs."""
    kinds = [f.casing for f in series.families]
    kinds = ["concealed" if k == "concealed" else "ceiling" if k == "ceiling" else k for k in kinds]
    title = tr(lang, f"{text_stem(series, family)} – Voce di capitolato",
               f"{text_stem(series, family)} – Tender specification")
    out = [(True, title), (False, family.short[lang] + ".")]

    def section(heading, paragraphs):
        paragraphs = [p for p in paragraphs if p]
        if paragraphs:
            out.append((True, heading))
            out.extend((False, p) for p in paragraphs)

    own_kinds = kinds if family.key == series.code else [family.casing]
    section(tr(lang, "Struttura", "Casing"), casing_paragraphs(lang, series.kind, own_kinds))
    section(tr(lang, "Batteria", "Coil"), coil_paragraphs(lang, series, sizes))
    section(tr(lang, "Ventilatore e motore", "Fan and motor"), fan_paragraphs(lang, series))
    section(tr(lang, "Filtro", "Filter"), [filter_paragraph(lang, series)])
    section(tr(lang, "Bacinella condensa", "Condensate tray"), [tray_paragraph(lang, series)])
    section(tr(lang, "Regolazione", "Controls"), [controls_paragraph(lang, series)])
    section(tr(lang, "Collaudi", "Tests"), [tests_paragraph(lang, series)])
    return out


def normalised_docx(document):
    """The document's bytes with fixed dates, so a rerun gives the same file."""
    from datetime import datetime, timezone
    when = datetime(*ZIP_DATE, tzinfo=timezone.utc).replace(tzinfo=None)
    core = document.core_properties
    core.author = MAKER
    core.last_modified_by = MAKER
    core.created = when
    core.modified = when
    core.last_printed = when
    core.revision = 1
    core.comments = ""
    raw = io.BytesIO()
    document.save(raw)
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(raw.getvalue())) as source, \
            zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            data = source.read(item.filename)
            # The library's own template carries the thumbnail of a page that is not ours.
            if item.filename == "docProps/thumbnail.jpeg":
                continue
            if item.filename == "_rels/.rels":
                data = re.sub(rb"<Relationship [^>]*docProps/thumbnail\.jpeg\"/>", b"", data)
            info = zipfile.ZipInfo(item.filename, ZIP_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            target.writestr(info, data)
    return out.getvalue()


def text_docx(paragraphs):
    document = docx.Document()
    body = document.element.body
    for element in list(body):  # the default document's empty paragraph, if any
        if element.tag == qn("w:p"):
            body.remove(element)
    set_page(document.sections[0])
    for bold, text in paragraphs:
        paragraph = document.add_paragraph()
        paragraph.paragraph_format.space_after = Pt(4 if not bold else 2)
        if bold:
            paragraph.paragraph_format.space_before = Pt(8)
            paragraph.paragraph_format.keep_with_next = True
        run = paragraph.add_run(text)
        run.bold = bold
        run.font.name = "Arial"
        run.font.size = Pt(10)
    return normalised_docx(document)


def tender_texts():
    """descrizioni file -> DOCX bytes, and the paragraphs for the check."""
    out = {}
    for series in SERIES:
        for family in series.families:
            stem = text_stem(series, family)
            if f"{stem}_ita.docx" in out:
                continue
            sizes = read_sizes(family.table, series.kind == "ducted")
            for lang, suffix in (("ITA", "ita"), ("ENG", "eng")):
                out[f"{stem}_{suffix}.docx"] = text_docx(tender_text(series, family, lang, sizes))
    return out


def text_stem(series, family):
    """One text per series; a series code that serves two ranges (MIRALEC: the Miral EC
    and the Pelvo EC units) has one per range, their tables differing."""
    tables = {f.table for f in series.families}
    return family.key if len(tables) > 1 else series.code


# ---------------------------------------------------------------------------------------
# The report template: A4 with 2 cm margins, the maker's logo and name in the header, the
# page number in the footer, an empty body for the report to fill.

def set_page(section):
    section.page_width = Cm(21.0)
    section.page_height = Cm(29.7)
    section.orientation = WD_ORIENT.PORTRAIT
    for side in ("left_margin", "right_margin", "top_margin", "bottom_margin"):
        setattr(section, side, Cm(2.0))
    section.header_distance = Cm(1.0)
    section.footer_distance = Cm(1.0)


def template_docx():
    document = docx.Document()
    section = document.sections[0]
    set_page(section)
    header = section.header
    header.is_linked_to_previous = False
    table = header.add_table(1, 2, Cm(17.0))
    table.autofit = False
    left, right = table.rows[0].cells
    # Word reads the cells' widths, LibreOffice the table grid's: set both.
    for column, width in zip(table.columns, (Cm(6.0), Cm(11.0))):
        column.width = width
        for cell in column.cells:
            cell.width = width
    logo = left.paragraphs[0]
    logo.add_run().add_picture(str(LOGO), width=Cm(4.0))
    name = right.paragraphs[0]
    name.alignment = WD_ALIGN_PARAGRAPH.RIGHT
    run = name.add_run(MAKER)
    run.bold = True
    run.font.size = Pt(12)
    run.font.name = "Arial"
    run.font.color.rgb = RGBColor(*BLUE)
    address = right.add_paragraph()
    address.alignment = WD_ALIGN_PARAGRAPH.RIGHT
    run = address.add_run(MAKER_ADDRESS)
    run.font.size = Pt(8)
    run.font.name = "Arial"
    # The header's own first paragraph would leave a blank line above the table.
    first = header.paragraphs[0]._p
    if first.getparent() is not None and header.tables and first is not header.tables[0]._tbl:
        first.getparent().remove(first)
    footer = section.footer
    footer.is_linked_to_previous = False
    paragraph = footer.paragraphs[0]
    paragraph.alignment = WD_ALIGN_PARAGRAPH.CENTER
    field_run = paragraph.add_run()
    simple = OxmlElement("w:fldSimple")
    simple.set(qn("w:instr"), "PAGE")
    inner = OxmlElement("w:r")
    properties = OxmlElement("w:rPr")
    fonts = OxmlElement("w:rFonts")
    for attribute in ("w:ascii", "w:hAnsi", "w:cs"):
        fonts.set(qn(attribute), "Arial")
    size = OxmlElement("w:sz")
    size.set(qn("w:val"), "18")
    properties.append(fonts)
    properties.append(size)
    inner.append(properties)
    text = OxmlElement("w:t")
    text.text = "1"
    inner.append(text)
    simple.append(inner)
    field_run._r.addnext(simple)
    paragraph.runs[0]._r.getparent().remove(paragraph.runs[0]._r)
    body = document.element.body
    if not [e for e in body if e.tag == qn("w:p")]:
        document.add_paragraph()
    return normalised_docx(document)


# ---------------------------------------------------------------------------------------
# DocXModello rows: every series code, in Italian and English, family by family.

def model_name(family, lang):
    """The family as the report's model list shows it, after the series code in the photo
    page's title: "con mobile", or the range of sizes, "20-90"."""
    sizes = read_sizes(family.table)
    return family.model[lang].format(range=f"{sizes[0].number}-{sizes[-1].number}")


def doc_table():
    known = series_codes_of_program()
    ours = [s.code for s in SERIES]
    missing = [c for c in known if c not in ours]
    if missing:
        fail(f"src/screens/series_traits.cpp: series code(s) {', '.join(missing)} have no "
             "document rows here; add them to SERIES")
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(["Lingua", "Serie", "Modello", "Foto", "Dimensioni", "Capitolato", "Schemi",
                     "BreveDesc"])
    for lang, suffix in (("ITA", "ita"), ("ENG", "eng")):
        for series in SERIES:
            for family in series.families:
                writer.writerow([lang, series.code, model_name(family, lang), family.picture,
                                 drawing_name(family), f"{text_stem(series, family)}_{suffix}.docx",
                                 family.wiring, family.short[lang]])
    return out.getvalue().encode()


# ---------------------------------------------------------------------------------------
# Writing and checking.

def everything():
    """Relative path -> bytes of every output."""
    files = {}
    for name, data in pictures().items():
        files[PHOTO_DIR / name] = data
    for name, data in drawings().items():
        files[DRAWING_DIR / name] = data
    for name, data in wirings().items():
        files[WIRING_DIR / name] = data
    for name, data in tender_texts().items():
        files[TEXT_DIR / name] = data
    files[TEMPLATE] = template_docx()
    files[DOC_TABLE] = doc_table()
    check_references(files)
    return files


def check_references(files):
    """Every file a DocXModello row names is one this run makes, under a plain name."""
    folders = {"Foto": PHOTO_DIR, "Dimensioni": DRAWING_DIR, "Capitolato": TEXT_DIR,
               "Schemi": WIRING_DIR}
    rows = csv.DictReader(io.StringIO(files[DOC_TABLE].decode()))
    for row in rows:
        for column, folder in folders.items():
            name = row[column]
            if not re.fullmatch(r"[A-Za-z0-9_.-]+", name) or ".." in name:
                fail(f"DocXModello {row['Lingua']} {row['Serie']} {row['Modello']}: {column} "
                     f"{name!r} is not a plain file name")
            if folder / name not in files:
                fail(f"DocXModello {row['Lingua']} {row['Serie']} {row['Modello']}: {column} "
                     f"{name!r} is not made")
        if len(row["Lingua"]) != 3:
            fail(f"DocXModello: Lingua {row['Lingua']!r} is not a 3-character code")


def write_if_changed(path, data):
    """Write through a temporary file and a rename, and only when the content differs."""
    if path.exists() and path.read_bytes() == data:
        return False
    path.parent.mkdir(parents=True, exist_ok=True)
    handle, temporary = tempfile.mkstemp(dir=path.parent, prefix=".tmp-", suffix=path.suffix)
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.unlink(temporary)
        raise
    return True


def docx_text(data, where):
    """The text of a DOCX: its body, header and footer paragraphs, table cells included."""
    try:
        with zipfile.ZipFile(io.BytesIO(data)) as archive:
            parts = sorted(n for n in archive.namelist()
                           if re.fullmatch(r"word/(document|header\d*|footer\d*)\.xml", n))
            texts = []
            for part in parts:
                xml = archive.read(part).decode("utf-8")
                for paragraph in re.findall(r"<w:p[ >].*?</w:p>|<w:p/>", xml, re.S):
                    texts.append("".join(re.findall(r"<w:t(?: [^>]*)?>([^<]*)</w:t>", paragraph)))
                texts.append(f"-- {part} --")
            return texts
    except zipfile.BadZipFile:
        return [f"{where}: not a DOCX file"]


def check(files):
    """Write what this run makes into a temporary folder and compare it with the committed
    files: pictures and the table byte for byte, DOCX files by their text (a library
    update may change their packaging, not what the report shows). Lists every
    difference, and every committed document this generator does not make."""
    differences = []
    with tempfile.TemporaryDirectory(prefix="vestra-documents-") as scratch:
        for relative, data in sorted(files.items()):
            fresh = Path(scratch) / relative
            fresh.parent.mkdir(parents=True, exist_ok=True)
            fresh.write_bytes(data)
            path = ROOT / relative
            if not path.is_file():
                differences.append(f"{relative}: missing")
                continue
            committed = path.read_bytes()
            if relative.suffix == ".docx":
                if docx_text(committed, relative) != docx_text(fresh.read_bytes(), relative):
                    differences.append(f"{relative}: text differs")
            elif committed != fresh.read_bytes():
                differences.append(f"{relative}: differs")
    made = set(files)
    for folder in (PHOTO_DIR, DRAWING_DIR, WIRING_DIR, TEXT_DIR):
        for path in sorted((ROOT / folder).glob("*")):
            relative = path.relative_to(ROOT)
            if relative not in made:
                differences.append(f"{relative}: not made by this generator")
    return differences


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="regenerate into a temporary folder and report every difference "
                             "to the committed files; exit 1 on a difference")
    args = parser.parse_args()
    files = everything()
    if args.check:
        differences = check(files)
        for line in differences:
            print(line)
        if differences:
            print(f"{len(differences)} difference(s); rerun tools/documents/make_documents.py")
            return 1
        print(f"{len(files)} files up to date")
        return 0
    written = [relative for relative, data in sorted(files.items())
               if write_if_changed(ROOT / relative, data)]
    for relative in written:
        print(f"wrote {relative}")
    # A document no family names any more would still be copied beside the program.
    for folder in (PHOTO_DIR, DRAWING_DIR, WIRING_DIR, TEXT_DIR):
        for path in sorted((ROOT / folder).glob("*")):
            if path.is_file() and path.relative_to(ROOT) not in files:
                path.unlink()
                print(f"removed {path.relative_to(ROOT)}")
    print(f"{len(written)} of {len(files)} files written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
