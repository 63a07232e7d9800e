#!/usr/bin/python3
"""Writes small test fonts into OUTDIR: subset.ttf, FONT (the build's font, Liberation Serif) cut
down to the characters the program draws, and hostile variants that SDL_ttf loads without
complaint but that would lose text ('7' or ')' drawn outside the text image, a 1-pixel ascent,
glyphs whose outline has a box but draws no pixel or a few stray ones, a kerning pair that pulls
'1' out of the label's image, a '4' placed far left of its pen), make SDL_ttf allocate about a
gigabyte or more (giant glyphs, a giant or a far too wide text image) or overflow its int pen
(huge advances). Each is made from the font's structure (tables, glyph names), so any release of
the font serves.
Usage: /usr/bin/python3 tests/make_fonts.py FONT OUTDIR (needs fontTools)."""
import sys
from fontTools import subset
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import ttProgram
from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates

CHARS = " Triangles with perimeter 40()0123456789"
source, out = sys.argv[1], sys.argv[2] + "/"


def base():
    font = TTFont(source, recalcTimestamp=False)  # the same bytes on every run
    for tag in "FFTM", "GDEF", "GPOS", "GSUB":
        del font[tag]
    sub = subset.Subsetter(subset.Options(legacy_kern=True))  # SDL_ttf kerns with 'kern' only
    sub.populate(text=CHARS)
    sub.subset(font)
    return font


def reshape(char, move, code=lambda points: ""):
    """The font with each point of char's outline at move(x, y, glyph) and code(number of
    points) for its hinting program (TrueType assembly) instead of its own."""
    font = base()
    glyph = font["glyf"][font.getBestCmap()[ord(char)]]
    glyph.coordinates = GlyphCoordinates([move(x, y, glyph) for x, y in glyph.coordinates])
    glyph.program = ttProgram.Program()
    glyph.program.fromAssembly(code(len(glyph.coordinates)))
    font["maxp"].maxSizeOfInstructions = max(font["maxp"].maxSizeOfInstructions,
                                             len(glyph.program.getBytecode()))
    return font


def raise_glyph(char, dy):  # moves the outline of char dy units up, without its hinting
    return reshape(char, lambda x, y, glyph: (x, y + dy))


def redraw(char, draw):  # the font with char's outline replaced by draw(pen, old glyph)
    font = base()
    name = font.getBestCmap()[ord(char)]
    pen = TTGlyphPen(font.getGlyphSet())
    draw(pen, font["glyf"][name])
    font["glyf"][name] = pen.glyph()
    return font


def squares(pen, corners, side):  # a square of side units at each of the corners
    for x, y in corners:
        pen.moveTo((x, y))
        for point in (x, y + side), (x + side, y + side), (x + side, y):
            pen.lineTo(point)
        pen.closePath()


def block(ascent, descent, box, advance, code=""):
    """A font with 16 units to the em whose every character is one rectangle, box (xmin, ymin,
    xmax, ymax); code is the rectangle's hinting program (TrueType assembly)."""
    fb = FontBuilder(16, isTTF=True)
    fb.setupHead(unitsPerEm=16)  # with no dates, for the same bytes on every run
    fb.setupGlyphOrder([".notdef", "box"])
    fb.setupCharacterMap({ord(c): "box" for c in CHARS})
    pen = TTGlyphPen(None)
    x0, y0, x1, y1 = box
    mid = (y0 + y1) // 2  # its sides in two halves: steps between points are int16 too
    for point in (x0, y0), (x0, mid), (x0, y1), (x1, y1), (x1, mid), (x1, y0):
        pen.lineTo(point) if pen.points else pen.moveTo(point)
    pen.closePath()
    glyph = pen.glyph()
    glyph.program = ttProgram.Program()
    glyph.program.fromAssembly(code or "SVTCA[0]")  # some code: FreeType then skips its autohinter
    fb.setupGlyf({".notdef": TTGlyphPen(None).glyph(), "box": glyph})
    fb.setupHorizontalMetrics({".notdef": (0, 0), "box": (advance, x0)})
    fb.setupHorizontalHeader(ascent=ascent, descent=descent)
    fb.setupOS2(xAvgCharWidth=advance, sTypoAscender=ascent, sTypoDescender=descent,
                usWinAscent=ascent, usWinDescent=-descent)
    fb.setupNameTable({"familyName": "Hostile", "styleName": "Regular"})
    fb.setupPost()
    fb.font["maxp"].maxSizeOfInstructions = len(glyph.program.getBytecode())
    fb.font["maxp"].maxStackElements = 8
    return fb.font


base().save(out + "subset.ttf")
# '7' 4000 units (39 px) up: SDL_ttf's solid renderer drops the rows above the text image.
raise_glyph("7", 4000).save(out + "seven-high.ttf")
# ')' 2500 units up: its bottom, -436, to 2064, over 2 px above the ascent (1825).
raise_glyph(")", 2500).save(out + "paren-high.ttf")
# An ascent of 100 of 2048 units, 1 px at 20 pt: the text image is cut to 6 rows.
font = base()
font["hhea"].ascent = font["OS/2"].sTypoAscender = font["OS/2"].usWinAscent = 100
font.save(out + "short-ascent.ttf")
# 16000 x 65000 px rectangles with no advance: 1 GB bitmaps.
block(14, -4, (0, -26000, 12800, 26000), 0).save(out + "giant-glyphs.ttf")
# 15 x 18 px rectangles 546 px apart and an ascent and descent of 31250 and 32500 px.
block(25000, -26000, (0, 0, 12, 14), 437).save(out + "huge-text.ttf")
# The same rectangles 546 px apart on an ordinary line: a title 15288 px wide.
block(14, -4, (0, 0, 12, 14), 437).save(out + "wide-text.ttf")
# 800 x 599 px rectangles, each within the window: SDL_ttf would keep 27 such bitmaps (13 MB).
block(479, 0, (0, 0, 639, 479), 0).save(out + "window-glyphs.ttf")
# 15 x 18 px rectangles whose hinting moves the advance point to 2e9 px: it opts out of
# FreeType's backward-compatible hinting, which keeps advances, and sets the x of point 7 (the
# rectangle's six, then the phantom points: origin and advance) to 20000*20000*20480*4096/64^3.
code = ("PUSHB[ ] 4 3\nINSTCTRL[ ]\nSVTCA[1]\nPUSHW[ ] 7 20000 20000\nMUL[ ]\n"
        "PUSHW[ ] 20480\nMUL[ ]\nPUSHW[ ] 4096\nMUL[ ]\nSCFS[ ]")
block(14, -4, (0, 0, 12, 14), 14, code).save(out + "huge-advance.ttf")
# Glyphs with a box that SDL_ttf renders to no pixel or a few stray ones at 20 pt.
# 'T' with every point on its box's diagonal: no area, drawn by drop-out control as 11 single
# pixels in its 12 x 14.
reshape("T", lambda x, y, g: (g.xMin + (y - g.yMin) * (g.xMax - g.xMin) // (g.yMax - g.yMin),
                              y)).save(out + "flat-t.ttf")
# '(' as two squares of a fifth of a pixel at the corners of its box.
redraw("(", lambda pen, g: squares(pen, [(g.xMin, g.yMin), (g.xMax - 20, g.yMax - 20)], 20)) \
    .save(out + "specks-paren.ttf")
# '1' whose hinting moves every point to 6.25 px up (between two rows of pixel centres) and
# turns drop-out control off.
reshape("1", lambda x, y, g: (x, y), lambda points: "SVTCA[0]\n" + "".join(
    "PUSHW[ ] %d 400\nSCFS[ ]\n" % p for p in range(points)) + "PUSHB[ ] 2\nSCANTYPE[ ]") \
    .save(out + "collapsed-one.ttf")
# '4' squeezed to 4 units (1/25 px) wide, in a font whose control value program, which turns
# drop-out control on, is empty.
font = reshape("4", lambda x, y, g: (g.xMin + (x - g.xMin) * 4 // (g.xMax - g.xMin), y))
font["prep"].program.fromAssembly("")
font.save(out + "hairline-four.ttf")
# '9' as a dotted ring: squares of half a pixel at eight points of its outline, 2 pixels drawn.
redraw("9", lambda pen, g: squares(pen, list(g.coordinates)[::len(g.coordinates) // 8], 50)) \
    .save(out + "dotted-nine.ttf")
# 'e' as two copies of 'a' shrunk to 1/32 at the corners of its box.
redraw("e", lambda pen, g: [pen.addComponent("a", (1 / 32, 0, 0, 1 / 32, x, y))
                            for x, y in [(g.xMin, g.yMin), (g.xMax - 32, g.yMax - 32)]]) \
    .save(out + "shrunk-e.ttf")
# A kerning pair '(' '1' of -1500 units, -12 px (FreeType scales kerning by 20/25 at 20 pixels per
# em), puts the 1 of every label 4 px left of the start of the label's image.
font = base()
font["kern"].kernTables[0][("parenleft", "one")] = -1500
font.save(out + "kerned-one.ttf")


def damaged(name, change):
    """The font's own bytes with change(bytes, font) made to them, as a file gets damaged; the
    place is found through the font's tables."""
    font = TTFont(source)
    data = bytearray(open(source, "rb").read())
    change(data, font)
    with open(out + name, "wb") as file:
        file.write(data)


def four_far_left(data, font):
    glyph = font.getGlyphID("four")
    assert glyph < font["hhea"].numberOfHMetrics  # its own entry in hmtx: advance, then bearing
    data[font.reader.tables["hmtx"].offset + 4 * glyph + 2] = 0x86


def outlines_cut(data, font):
    glyf = font.reader.tables["glyf"]
    del data[glyf.offset + glyf.length // 2:]


# One byte of the left side bearing of '4' (its high byte made 0x86: some -31000 units, 300 px at
# 20 pt): FreeType puts the glyph's box far left of its pen, and SDL_ttf would write it before the
# start of the image of every text with a '4'.
damaged("four-far-left.ttf", four_far_left)
# The file cut in the middle of its outlines: it loads, but its glyphs are blank.
damaged("outlines-cut.ttf", outlines_cut)
