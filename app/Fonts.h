#pragma once
// The programs' faces, each drawn from a font file of our own, made at build
// time with exactly the characters the programs show (their tables and
// every translation of their texts: data/CMakeLists.txt) and shipped beside
// the program in a build tree, in the data folder once installed:
//   - "宋体" (Song style) and "楷体_GB2312" (Kai style), the quiz window's
//     two font names: subsets of AR PL UMing CN and AR PL UKai CN;
//   - for the parent's side (the recorder, dialogs), Latin text in a
//     subset of Andika, a sans-serif whose l, I and 1 are plainly
//     different, with the Song subset drawing the Chinese.
// The system's CJK fonts stand behind the subsets for anything else (a
// pasted character). MakeFont asks for the subsets by their family names.
// It does not choose sizes or faces for any control: the callers' tables do.

#include <QFont>

namespace app {

inline constexpr char kSongFamily[] = "Zorbanu Song";
inline constexpr char kKaiFamily[] = "Zorbanu Kai";
inline constexpr char kSansFamily[] = "Zorbanu Sans";

// Song and Kai: the Chinese faces, which also draw the digits and signs of
// the quiz window. Parent: Latin in the sans-serif, Chinese in Song.
enum class FontFace { Song, Kai, Parent };

struct FontSpec {
    FontFace face;
    double points;
};

// Point sizes are turned into pixels at 96 dpi (18 pt = 24 px), so the texts
// keep fitting their fixed boxes whatever font DPI the desktop reports.
inline int PixelsFromPoints(double points)
{
    return static_cast<int>(points * 96 / 72 + 0.5);
}

// Reads the system's font configuration (fontconfig parses dozens of XML
// files: milliseconds) ahead of Qt, which then finds it loaded. Safe on any
// thread, before or while a QApplication is made; when it is called, let it
// return before InstallFonts, or both would read the configuration.
void LoadFontConfiguration();

// Loads the subsets' files, which MakeFont then asks for; a file that cannot
// be loaded leaves its name to the system's faces of the same style. Call
// once, after the QApplication is made and before any window is built.
void InstallFonts();

QFont MakeFont(const FontSpec& spec);

}  // namespace app
