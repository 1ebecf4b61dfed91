#include "Usage.h"

#include <QCoreApplication>

namespace {

// Each text is marked with QT_TRANSLATE_NOOP("Usage", ...) for lupdate.
QString Tr(const char* text)
{
    return QCoreApplication::translate("Usage", text);
}

}  // namespace

QString QuizUsage(const std::optional<std::filesystem::path>& voice)
{
    const QString folder = voice ? QString::fromStdString(voice->string()) : Tr(QT_TRANSLATE_NOOP("Usage", "none: the problems are silent"));
    return Tr(QT_TRANSLATE_NOOP("Usage", "Usage: zorbanu [--help | --version]\n\n"
              "Arithmetic practice for young children: each problem is read aloud in Mandarin;\n"
              "type the answer and press Enter. Right-click the window to choose the range and\n"
              "the operation.\n\n"
              "Voice folder: %1\n"
              "(chosen again for every reading: the current folder, then\n"
              "$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips), then the\n"
              "installed pack; the first that holds every speech clip)\n"))
        .arg(folder);
}

QString RecorderUsage()
{
    return Tr(QT_TRANSLATE_NOOP("Usage", "Usage: zorbanu-recorder [--help | --version]\n\n"
              "Record my voice: a parent records, word by word, the seventeen words a problem\n"
              "is read from, and the arithmetic quiz then speaks in that voice. Six more, the\n"
              "forms 一, 五, 九 and 百 take inside a number (as in 一百, 五十), make the\n"
              "reading more natural and may be left out. The recordings are kept in\n"
              "$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips).\n"));
}
