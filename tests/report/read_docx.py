"""Reads the DOCX writer's sample report with python-docx, an independent reader of the
package: the texts, the table's shape and merge, the pictures and the template's header.

Usage: read_docx.py <vestra_report_tests executable> <output .docx>
Exits 77 (skipped) when python-docx is not installed.
"""
import os
import subprocess
import sys

try:
    import docx
    from docx.oxml.ns import qn
except ImportError:
    print("python-docx is not installed: skipped")
    sys.exit(77)

tests, sample = sys.argv[1], sys.argv[2]
env = dict(os.environ, VESTRA_DOCX_SAMPLE=sample)
subprocess.run([tests, "--gtest_filter=DocxWriterSample.*"], env=env, check=True,
               stdout=subprocess.DEVNULL)

document = docx.Document(sample)
faults = []


def check(condition, what):
    if not condition:
        faults.append(what)


texts = [p.text for p in document.paragraphs]
check(texts[0] == "Template paragraph", "the template's paragraph first, got %r" % texts[:1])
check("Date :\t01/02/2024" in texts, "the date line with its tab")
check("After the table" in texts, "the text after the table")
check("Specification & text" in texts, "the inserted document's text")
check(any(t.endswith("The end") for t in texts), "the last text")
check(document.sections[0].header.paragraphs[0].text == "Template header",
      "the template's header kept")

tables = document.tables
check(len(tables) == 2, "two tables, got %d" % len(tables))
grid = tables[0]
check(len(grid.rows) == 4 and len(grid.columns) == 3,
      "a 4 x 3 table, got %d x %d" % (len(grid.rows), len(grid.columns)))
row2 = grid.rows[1]._tr.findall(qn("w:tc"))
spans = [tc.tcPr.find(qn("w:gridSpan")) for tc in row2]
check(len(row2) == 2 and spans[1] is not None and spans[1].get(qn("w:val")) == "2",
      "row 2 with its last two cells merged")
check(grid.cell(1, 1).text == "R2C2", "the merged cell keeps its text, got %r" % grid.cell(1, 1).text)
check(all(r.bold for p in grid.rows[0].cells[0].paragraphs for r in p.runs), "row 1 bold")
check(tables[1].cell(0, 0).text == "Spec cell", "the inserted document's table")

blips = document.element.body.findall(".//" + qn("a:blip"))
check(len(blips) == 2, "two pictures, got %d" % len(blips))
for blip in blips:
    part = document.part.related_parts[blip.get(qn("r:embed"))]
    check(part.content_type == "image/png" and part.blob.startswith(b"\x89PNG"),
          "picture %s is a PNG part" % part.partname)

for f in faults:
    print("FAULT:", f)
print("read %s: %d paragraphs, %d tables, %d pictures" % (sample, len(texts), len(tables), len(blips)))
sys.exit(1 if faults else 0)
