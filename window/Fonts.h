#pragma once
// The window's two font names, "宋体" (Song style) and "楷体_GB2312" (Kai
// style), and the faces that draw them: the program's own subsets of AR PL
// UMing CN and AR PL UKai CN, made at build time with exactly the characters
// both programs show (their tables and every translation of their texts:
// data/CMakeLists.txt) and shipped as font files of their own (beside the
// program in a build tree, in the data folder once installed), with the
// system's CJK fonts behind them for anything else (a pasted character).
// MakeFont asks for the subsets by their own family names.

#include <QFont>

#include "Layout.h"

namespace window {

// The family names of the subsets.
inline constexpr char kSongFamily[] = "Zorbanu Song";
inline constexpr char kKaiFamily[] = "Zorbanu Kai";

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

}  // namespace window
