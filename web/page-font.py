#!/usr/bin/python3
"""Makes the web page's font from the build's: FONT cut down to the characters of the title and
the labels (TEXT), with hinting and the legacy kerning table kept, so it draws the same pixels as
the whole font at a small part of its size. A font so cut is a modified version of it, which the
SIL Open Font License asks to carry a name of its own (a Reserved Font Name such as "Liberation"
may not stay), so its name table names it SUBSET_NAME. Writes into OUTDIR:
- times.ttf, the cut-down font;
- font-licence.txt: what it was made from, then LICENCE (the font's own licence text, if any);
- font-note.html: the footer's line on the font, from the font's own name table (its family,
  version and licence), never a fixed text.
Usage: /usr/bin/python3 web/page-font.py FONT LICENCE TEXT OUTDIR (needs fontTools)."""
import html
import sys
from fontTools import subset
from fontTools.ttLib import TTFont

SUBSET_NAME = "Triangles Labels"
FAMILY, SUBFAMILY, UNIQUE_ID, FULL_NAME, VERSION, POSTSCRIPT_NAME = 1, 2, 3, 4, 5, 6
LICENCE_DESCRIPTION, TYPOGRAPHIC_FAMILY, TYPOGRAPHIC_SUBFAMILY = 13, 16, 17


def name(font, name_id):
    record = font["name"].getName(name_id, 3, 1, 0x409) or font["name"].getName(name_id, 1, 0, 0)
    return record.toUnicode().strip() if record else ""


def cut_down(source, text):
    font = TTFont(source, recalcTimestamp=False)  # the same bytes from the same font
    options = subset.Options(legacy_kern=True)  # SDL_ttf kerns with 'kern' only; hinting is kept
    options.drop_tables += ["FFTM", "GDEF", "GPOS", "GSUB"]  # nothing SDL_ttf reads
    options.name_IDs = [FAMILY, SUBFAMILY, UNIQUE_ID, FULL_NAME, VERSION, POSTSCRIPT_NAME,
                        LICENCE_DESCRIPTION]
    cutter = subset.Subsetter(options)
    cutter.populate(text=text)
    cutter.subset(font)
    style = name(font, SUBFAMILY) or "Regular"
    for record in list(font["name"].names):
        if record.nameID in (TYPOGRAPHIC_FAMILY, TYPOGRAPHIC_SUBFAMILY):
            font["name"].removeNames(nameID=record.nameID)
    for name_id, value in ((FAMILY, SUBSET_NAME), (UNIQUE_ID, f"{SUBSET_NAME} {style}"),
                           (FULL_NAME, f"{SUBSET_NAME} {style}"),
                           (POSTSCRIPT_NAME, f"{SUBSET_NAME}-{style}".replace(" ", ""))):
        font["name"].setName(value, name_id, 3, 1, 0x409)
        if font["name"].getName(name_id, 1, 0, 0):
            font["name"].setName(value, name_id, 1, 0, 0)
    return font


def main():
    source, licence, text, outdir = sys.argv[1:5]
    original = TTFont(source, lazy=True)
    family, version = name(original, FAMILY), name(original, VERSION)
    terms = name(original, LICENCE_DESCRIPTION) or "its own licence"
    made_from = f"{family} ({version})" if version else family
    cut_down(source, text).save(f"{outdir}/times.ttf")

    with open(f"{outdir}/font-licence.txt", "w", encoding="utf-8") as out:
        out.write(f"The font of this page, times.ttf, is \"{SUBSET_NAME}\": {made_from} cut down\n"
                  f"by fontTools' subsetter to the characters the program draws, \"{text}\",\n"
                  f"their outlines, hinting and kerning unchanged. So changed, it is a modified\n"
                  f"version of {family} and carries a name of its own.\n"
                  f"{family}: {terms}.\n")
        if licence:
            with open(licence, encoding="utf-8") as original_licence:
                out.write("\n" + original_licence.read())
    with open(f"{outdir}/font-note.html", "w", encoding="utf-8") as out:
        out.write(f"<li>The font, {html.escape(SUBSET_NAME)} (times.ttf): the characters of the "
                  f"title and the labels from {html.escape(made_from)}, "
                  f"{html.escape(terms[0].lower() + terms[1:])} "
                  f'(<a href="licenses/font/licence.txt">licence</a>).</li>\n')


main()
