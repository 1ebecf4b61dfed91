#include "Fonts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <array>
#include <cstdio>

namespace app {
namespace {

// A subset's file, and the system's CJK faces of the same style that stand
// in for it if it cannot be loaded. Only then are they made substitutes: for
// a font with substitutes Qt asks fontconfig for its whole fallback list up
// front, which costs milliseconds per font size at start-up. The subsets
// alone still fall back to the system's fonts, when a character is missing
// (a pasted one).
struct FontFile {
    const char* file;
    const char* family;
    std::array<const char*, 3> systemFaces;
};

constexpr FontFile kFontFiles[] = {
    {"zorbanu-song.ttf", kSongFamily, {"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"}},
    {"zorbanu-kai.ttf", kKaiFamily, {"AR PL UKai CN", "AR PL UKai TW", "AR PL UMing CN"}},
    {"zorbanu-sans.ttf", kSansFamily, {"Andika", "DejaVu Sans", "Noto Sans"}},
};

// The fonts folder beside the program (a build tree), else the installed one.
QString FontFolder()
{
    const QString beside = QCoreApplication::applicationDirPath() + "/fonts";
    if (QFileInfo::exists(beside + "/" + kFontFiles[0].file))
        return beside;
    return QStringLiteral(ZORBANU_INSTALLED_FONT_DIR);
}

// Maps the file and hands it over in place: everything that reads the font
// reads the file's pages through this one mapping, with no heap copy. The
// file stays open, and mapped, for the application's life.
bool AddMappedFont(const QString& path)
{
    auto* file = new QFile(path, QCoreApplication::instance());
    uchar* data = file->open(QIODevice::ReadOnly) ? file->map(0, file->size()) : nullptr;
    return data != nullptr && QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
                                  reinterpret_cast<const char*>(data), static_cast<qsizetype>(file->size()))) >= 0;
}

void AddFontFile(const QString& folder, const FontFile& font)
{
    const QString path = folder + "/" + font.file;
    if (!AddMappedFont(path)) {
        std::fprintf(stderr, "%s: cannot load the font %s; using the system's fonts\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(path));
        QFont::insertSubstitutions(font.family, {font.systemFaces.begin(), font.systemFaces.end()});
    }
}

}  // namespace

void LoadFontConfiguration()
{
    FcInit();
}

void InstallFonts()
{
    const QString folder = FontFolder();
    for (const FontFile& font : kFontFiles)
        AddFontFile(folder, font);
}

QFont MakeFont(const FontSpec& spec)
{
    QFont font;
    switch (spec.face) {
    case FontFace::Song:
        font.setFamilies({kSongFamily});
        font.setStyleHint(QFont::Serif);
        break;
    case FontFace::Kai:
        font.setFamilies({kKaiFamily});
        font.setStyleHint(QFont::Cursive);
        break;
    case FontFace::Parent:
        // Qt draws each character from the first family that has it: the
        // sans-serif subset holds no Chinese, so Song draws that.
        font.setFamilies({kSansFamily, kSongFamily});
        font.setStyleHint(QFont::SansSerif);
        break;
    }
    font.setPixelSize(PixelsFromPoints(spec.points));
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace app
