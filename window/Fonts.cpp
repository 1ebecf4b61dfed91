#include "Fonts.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
#include <cstdio>

// The subsets are embedded in this static library; the linker drops their
// registration unless it is called for.
static void LoadFontResources()
{
    Q_INIT_RESOURCE(fonts);
}

namespace window {
namespace {

void AddEmbeddedFont(const char* path)
{
    QResource resource(QString::fromLatin1(path));
    // Uncompressed resources are read in place from the program's read-only
    // data, so the font costs no heap copy.
    const QByteArray data =
        resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size())
            : resource.uncompressedData();
    if (data.isEmpty() || QFontDatabase::addApplicationFontFromData(data) < 0)
        std::fprintf(stderr, "zorbanu: cannot load the font %s; using the system's fonts\n", path);
}

// Both font names onto the embedded subsets, then the system's CJK faces
// of the same style for anything the subsets lack (a pasted character).
void InstallFontSubstitutions()
{
    QFont::insertSubstitutions("宋体", {kSongFamily, "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"});
    QFont::insertSubstitutions("楷体_GB2312", {kKaiFamily, "AR PL UKai CN", "AR PL UKai TW", "AR PL UMing CN"});
}

}  // namespace

void InstallFonts()
{
    LoadFontResources();
    AddEmbeddedFont(":/fonts/zorbanu-song.ttf");
    AddEmbeddedFont(":/fonts/zorbanu-kai.ttf");
    InstallFontSubstitutions();
}

QFont MakeFont(const FontSpec& spec)
{
    QFont font(spec.face == FontFace::Song ? "宋体" : "楷体_GB2312");
    font.setPixelSize(PixelsFromPoints(spec.points));
    font.setWeight(QFont::Normal);
    font.setStyleHint(spec.face == FontFace::Song ? QFont::Serif : QFont::Cursive);
    return font;
}

}  // namespace window
