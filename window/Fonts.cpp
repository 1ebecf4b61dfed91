#include "Fonts.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
#include <fontconfig/fontconfig.h>
#include <array>
#include <cstdio>

// The subsets are embedded in this static library; the linker drops their
// registration unless it is called for.
static void LoadFontResources()
{
    Q_INIT_RESOURCE(fonts);
}

namespace window {
namespace {

// A subset, and the system's CJK faces of the same style that stand in for
// it if it cannot be loaded. Only then are they made substitutes: for a font
// with substitutes Qt asks fontconfig for its whole fallback list up front,
// which costs milliseconds per font size at start-up. The subsets alone still
// fall back to the system's fonts, when a character is missing (a pasted one).
struct EmbeddedFace {
    const char* resource;
    const char* family;
    std::array<const char*, 3> systemFaces;
};

constexpr EmbeddedFace kEmbeddedFaces[] = {
    {":/fonts/zorbanu-song.ttf", kSongFamily, {"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"}},
    {":/fonts/zorbanu-kai.ttf", kKaiFamily, {"AR PL UKai CN", "AR PL UKai TW", "AR PL UMing CN"}},
};

void AddEmbeddedFont(const EmbeddedFace& face)
{
    QResource resource(QString::fromLatin1(face.resource));
    // Uncompressed resources are read in place from the program's read-only
    // data, so the font costs no heap copy.
    const QByteArray data =
        resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size())
            : resource.uncompressedData();
    if (data.isEmpty() || QFontDatabase::addApplicationFontFromData(data) < 0) {
        std::fprintf(stderr, "zorbanu: cannot load the font %s; using the system's fonts\n", face.resource);
        QFont::insertSubstitutions(face.family, {face.systemFaces.begin(), face.systemFaces.end()});
    }
}

}  // namespace

void LoadFontConfiguration()
{
    FcInit();
}

void InstallFonts()
{
    LoadFontResources();
    for (const EmbeddedFace& face : kEmbeddedFaces)
        AddEmbeddedFont(face);
}

QFont MakeFont(const FontSpec& spec)
{
    QFont font(spec.face == FontFace::Song ? kSongFamily : kKaiFamily);
    font.setPixelSize(PixelsFromPoints(spec.points));
    font.setWeight(QFont::Normal);
    font.setStyleHint(spec.face == FontFace::Song ? QFont::Serif : QFont::Cursive);
    return font;
}

}  // namespace window
