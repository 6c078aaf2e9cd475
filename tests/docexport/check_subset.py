#!/usr/bin/python3
"""Checks a subset font file with fontTools: table checksums, the expected tables, and
every listed glyph id (plus glyph 0) present with its composite components.

    check_subset.py FONT ID,ID,...
"""
import sys

from fontTools.ttLib import TTFont

path, ids = sys.argv[1], [int(x) for x in sys.argv[2].split(",") if x]
font = TTFont(path, checkChecksums=2)
for tag in ("head", "hhea", "maxp", "hmtx", "loca", "glyf"):
    assert tag in font, f"missing table {tag}"
assert font["head"].indexToLocFormat == 1
glyf = font["glyf"]
order = font.getGlyphOrder()
pending = [0] + ids
seen = set()
while pending:
    gid = pending.pop()
    if gid in seen:
        continue
    seen.add(gid)
    glyph = glyf[order[gid]]
    if gid in ids or gid == 0:
        assert glyph.numberOfContours != 0, f"glyph {gid} lost its outline"
    if glyph.isComposite():
        for component in glyph.components:
            child = font.getGlyphID(component.glyphName)
            assert glyf[component.glyphName].numberOfContours != 0, f"component {child} of {gid} is empty"
            pending.append(child)
    glyph.recalcBounds(glyf)  # decodes the outline
print("ok", len(seen), "glyphs checked")
