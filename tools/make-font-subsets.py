#!/usr/bin/env python3
"""Makes the programs' own three fonts: subsets of AR PL UMing CN and AR PL
UKai CN that hold exactly the characters the programs can show, and a
subset of Andika, a sans-serif made for beginning readers (its l, I and 1
are plainly different), that holds the Latin letters, digits and
punctuation among them, for the parent's side.

The characters are collected here, at build time, from:
  - every text the programs show from their own tables, as the build's
    zorbanu_shown_texts writes them (the quiz window's captions, menu,
    prompt, feedback and tally lines, the signs, the recorder's words);
  - every translation of the programs' own texts (the recorder, dialogs),
    read from their compiled translations (.qm);
  - the texts of Qt's own edit menu and message box buttons, read from
    Qt's translations for the languages the programs speak;
  - all printable ASCII (the source language, English, and the digits),
    the full-width forms the answer box folds (U+FF01..U+FF5E) and the
    ideographic space U+3000;
  - the accented letters of fontconfig's English orthography, so that with
    ASCII the subsets count as Latin fonts: Qt then draws Latin and Chinese
    text of one size with one font engine, not two made one after another;
  - the reference characters of FreeType's CJK auto-hinter, so that the
    auto-hinter finds the same blue zones, and places every glyph on the
    same pixels, as with the full font.
Each subset gets a family name of its own, so it never clashes with a full
font installed on the system (the SIL Open Font License reserves the name
Andika to the original), and a notice in its name table that it was
modified, as both licences ask.

Usage: make-font-subsets.py --texts FILE --program-qm QM... --qt-qm QM...
                            --song TTC --kai TTC --sans TTF --out DIR [--list FILE]
"""

import argparse
import datetime
import os
import struct
import subprocess
import sys
import time

from fontTools import subset
from fontTools.misc.timeTools import epoch_diff
from fontTools.ttLib import TTCollection, TTFont

# FreeType's auto-fitter, script "hani" (src/autofit/afscript.h): the
# standard characters it measures stem widths on.
FREETYPE_CJK_STANDARD = "田囗"
# FreeType's auto-fitter blue strings AF_BLUE_STRING_CJK_TOP and
# AF_BLUE_STRING_CJK_BOTTOM (src/autofit/afblue.dat), the only CJK blue
# zones of a default FreeType build: the top and bottom of these glyphs set
# the blue zones every ideograph is fitted to.
FREETYPE_CJK_TOP = ("他们你來們到和地对對就席我时時會来為能舰說说这這齊"
                    "军同已愿既星是景民照现現理用置要軍那配里開雷露面顾")
FREETYPE_CJK_BOTTOM = ("个为人他以们你來個們到和大对對就我时時有来為要說说"
                       "主些因它想意理生當看着置者自著裡过还进進過道還里面")

# fontconfig's English orthography (fc-lang/en.orth) beyond ASCII letters.
FONTCONFIG_EN_ACCENTED = "ÀÇÈÉÊËÏÑÔÖàçèéêëïñôö"

# Qt's texts that the window can show: the answer box's edit menu, and the
# buttons and detail switch of a message box.
QT_CONTEXTS = {"QLineEdit", "QPlatformTheme", "QDialogButtonBox", "QMessageBox"}

FACES = {
    # option: (family in the system font, our family, PostScript name, licence)
    "song": ("AR PL UMing CN", "Zorbanu Song", "ZorbanuSong", "the Arphic Public License (ARPHICPL.TXT)"),
    "kai": ("AR PL UKai CN", "Zorbanu Kai", "ZorbanuKai", "the Arphic Public License (ARPHICPL.TXT)"),
    "sans": ("Andika", "Zorbanu Sans", "ZorbanuSans", "the SIL Open Font License 1.1 (OFL.txt)"),
}


def latin(c):
    """Whether the sans-serif draws the character: Latin letters, digits
    and punctuation, the general punctuation included (quotes, the
    ellipsis); never CJK, nor the full-width forms."""
    return ord(c) < 0x2000 or 0x2000 <= ord(c) <= 0x206F


def qm_translations(path):
    """Yields (context, source text, translation) of every message of a
    compiled Qt translation (.qm) file."""
    with open(path, "rb") as qm:
        data = qm.read()
    magic = bytes.fromhex("3cb86418caef9c95cd211cbf60a1bddd")
    if data[:16] != magic:
        sys.exit(f"{path}: not a Qt translation file")
    pos = 16
    while pos + 5 <= len(data):
        tag = data[pos]
        (length,) = struct.unpack(">I", data[pos + 1:pos + 5])
        block = data[pos + 5:pos + 5 + length]
        pos += 5 + length
        if tag != 0x69:  # the messages block
            continue
        p, message = 0, {}
        while p < len(block):
            field = block[p]
            p += 1
            if field == 1:  # end of one message
                for translation in message.get("translations", []):
                    yield message.get("context", ""), message.get("source", ""), translation
                message = {}
                continue
            if field == 5:  # obsolete: a 4-byte hash
                p += 4
                continue
            if field == 9:  # obsolete, no data
                continue
            (size,) = struct.unpack(">I", block[p:p + 4])
            p += 4
            if size == 0xFFFFFFFF:
                continue
            value = block[p:p + size]
            p += size
            if field == 3:
                message.setdefault("translations", []).append(value.decode("utf-16-be"))
            elif field == 6:
                message["source"] = value.decode("utf-8")
            elif field == 7:
                message["context"] = value.decode("utf-8")


def translated_characters(paths, contexts=None):
    """The characters of every translation in the .qm files, or only of
    those in the given contexts (Qt's rich-text messages left out)."""
    chars = set()
    for path in paths:
        for context, source, translation in qm_translations(path):
            if contexts is None or (context in contexts and "<" not in source):
                chars.update(translation)
    return chars


def collect(texts, program_qm, qt_qm):
    with open(texts, encoding="utf-8") as shown:
        chars = set(shown.read())
    chars |= translated_characters(program_qm) | translated_characters(qt_qm, QT_CONTEXTS)
    chars.update(chr(c) for c in range(0x20, 0x7F))
    chars.update(chr(c) for c in range(0xFF01, 0xFF5F))
    chars.add("\u3000")
    chars.update(FONTCONFIG_EN_ACCENTED)
    chars.update(FREETYPE_CJK_STANDARD + FREETYPE_CJK_TOP + FREETYPE_CJK_BOTTOM)
    chars.discard("\n")
    return chars


def face_index(collection_path, family):
    """The face's number in a collection (.ttc); -1 for a single font."""
    if not collection_path.endswith(".ttc"):
        return -1
    collection = TTCollection(collection_path, lazy=True)
    for index, font in enumerate(collection.fonts):
        if font["name"].getDebugName(1) == family:
            return index
    sys.exit(f"{collection_path}: no face named {family!r}")


def change_time():
    """The time the subsets record as their change, in seconds since 1970,
    so that two builds of the same sources give the same fonts:
    SOURCE_DATE_EPOCH when set (dpkg-buildpackage sets it from
    debian/changelog), else the date of the source tree's last commit when
    the tree is a git checkout. A tree that is neither (an unpacked release
    without SOURCE_DATE_EPOCH) has nothing to go by, and records the time
    of the build."""
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch:
        if not epoch.isdigit():
            sys.exit(f"SOURCE_DATE_EPOCH={epoch!r} is not a number of seconds")
        return int(epoch)
    # Only the tree's own checkout counts, not one it happens to lie in.
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if os.path.exists(os.path.join(top, ".git")):
        try:
            return int(subprocess.run(["git", "-C", top, "log", "-1", "--format=%ct"], check=True,
                                      capture_output=True, text=True).stdout)
        except (OSError, subprocess.CalledProcessError, ValueError):
            pass
    return int(time.time())


def rename(font, original, family, postscript, licence, date):
    """Gives the subset its own names, and records that it was modified."""
    name = font["name"]
    subfamily = name.getDebugName(2) or "Regular"
    version = (name.getDebugName(5) or "").strip()
    notice = (f"Modified {date} by the Zorbanu build: a subset of {original} ({version}) "
              f"holding only the characters Zorbanu shows, renamed {family}. "
              f"Distributed under {licence}.")
    keep = {0, 5, 11, 13, 14}  # copyright, version, vendor URL, licence
    name.names = [record for record in name.names if record.nameID in keep]
    for record in name.names:
        if record.nameID == 0:
            record.string = f"{record.toUnicode()} {notice}"
        elif record.nameID == 5:
            record.string = f"{version}; subset {date}"
    for name_id, text in ((1, family), (2, subfamily), (3, f"{postscript} subset {date}"),
                          (4, f"{family} {subfamily}"), (6, postscript), (10, notice)):
        name.setName(text, name_id, 1, 0, 0)        # Macintosh, Roman, English
        name.setName(text, name_id, 3, 1, 0x409)    # Windows, Unicode BMP, en-US
    if "CFF " in font:
        sys.exit("unexpected CFF outlines")


def make_subset(collection_path, option, chars, out_dir, when):
    original, family, postscript, licence = FACES[option]
    # Each glyph keeps the bounding box stored in the original: FreeType
    # places the outline from it (left side bearing against xMin), and the
    # box fontTools would compute from the control points differs by a few
    # units, which moves glyphs by a fraction of a pixel.
    # The head table's modification time is set here, to the change time,
    # instead of fontTools stamping the time of saving into it.
    font = TTFont(collection_path, fontNumber=face_index(collection_path, original), recalcBBoxes=False,
                  recalcTimestamp=False)
    options = subset.Options()
    options.recalc_bounds = False
    # The sans-serif keeps its default features: its hundreds of alternate
    # letter forms are never asked for.
    if option != "sans":
        options.layout_features = ["*"]
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    options.notdef_outline = True
    options.glyph_names = True
    options.prune_unicode_ranges = False
    # Keep the embedded bitmaps: where the full font would draw one, the
    # subset draws the same.
    # The X11 BDF properties and FontForge's time stamps say nothing a
    # subset can use.
    options.drop_tables = [t for t in options.drop_tables if t not in ("EBDT", "EBLC", "EBSC")] + ["BDF ", "FFTM"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)
    date = datetime.datetime.fromtimestamp(when, datetime.timezone.utc).strftime("%Y-%m-%d")
    rename(font, original, family, postscript, licence, date)
    font["head"].modified = when - epoch_diff
    covered = set(font.getBestCmap())
    missing = sorted(c for c in chars if ord(c) not in covered)
    path = os.path.join(out_dir, f"zorbanu-{option}.ttf")
    font.save(path + ".tmp")
    os.replace(path + ".tmp", path)
    return missing


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--texts", required=True, help="the texts the programs show, one to a line")
    parser.add_argument("--program-qm", nargs="+", default=[], help="the programs' compiled translations")
    parser.add_argument("--qt-qm", nargs="+", default=[], help="Qt's own translations (qtbase_LANG.qm)")
    parser.add_argument("--song", required=True, help="uming.ttc")
    parser.add_argument("--kai", required=True, help="ukai.ttc")
    parser.add_argument("--sans", required=True, help="Andika-Regular.ttf")
    parser.add_argument("--out", required=True, help="folder for zorbanu-song.ttf, zorbanu-kai.ttf and zorbanu-sans.ttf")
    parser.add_argument("--list", help="also write the characters kept to this file")
    args = parser.parse_args()

    chars = collect(args.texts, args.program_qm, args.qt_qm)
    os.makedirs(args.out, exist_ok=True)
    when = change_time()
    for option in ("song", "kai", "sans"):
        wanted = {c for c in chars if latin(c)} if option == "sans" else chars
        missing = make_subset(getattr(args, option), option, wanted, args.out, when)
        shown = [c for c in missing if ord(c) > 0x7E and c not in "\u3000"]
        if shown:
            print(f"{FACES[option][0]} lacks {''.join(shown)}: system fonts will draw them", file=sys.stderr)
    if args.list:
        with open(args.list, "w", encoding="utf-8") as listing:
            listing.write("".join(sorted(chars)) + "\n")


if __name__ == "__main__":
    main()
