#include "CommandLine.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "Translations.h"

namespace {

// Qt's options, which QGuiApplication and QApplication take out of the
// command line: those followed by a value (or given as -name=value), and
// those that stand alone. Qt accepts them with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "display", "geometry", "style", "stylesheet", "session", "qmljsdebugger"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool Among(std::string_view name, const auto& table)
{
    return std::find(std::begin(table), std::end(table), name) != std::end(table);
}

// The arguments that are the program's own, Qt's options left out.
std::vector<std::string_view> OwnArguments(int argc, char* argv[])
{
    std::vector<std::string_view> own;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        const bool option = argument.starts_with("-") && argument != "--help" && argument != "--version";
        const auto equals = name.find('=');
        if (option && equals != std::string_view::npos && Among(name.substr(0, equals), kQtOptionsWithValue))
            continue;
        if (option && Among(name, kQtOptionsWithValue) && i + 1 < argc) {
            ++i;
            continue;
        }
        if (!(option && Among(name, kQtFlags)))
            own.push_back(argument);
    }
    return own;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, char* argv[], const ProgramInfo& program)
{
    const std::vector<std::string_view> own = OwnArguments(argc, argv);
    if (own.empty())
        return std::nullopt;
    // Only now is there something to say: in the desktop's language, which
    // needs a Qt application, but no display.
    QCoreApplication core(argc, argv);
    InstallTranslations(QtTexts::DesktopLanguage);
    if (own.size() == 1 && own[0] == "--help") {
        std::fputs(program.usage().toUtf8().constData(), stdout);
        return 0;
    }
    if (own.size() == 1 && own[0] == "--version") {
        std::printf("%s %s\n", program.name, ZORBANU_VERSION);
        return 0;
    }
    const std::string_view unknown = own[0] == "--help" || own[0] == "--version" ? own[1] : own[0];
    const QString line = QCoreApplication::translate("CommandLine", "%1: unknown argument '%2'")
                             .arg(program.name, QString::fromLocal8Bit(unknown.data(), qsizetype(unknown.size())));
    std::fprintf(stderr, "%s\n%s", line.toUtf8().constData(), program.usage().toUtf8().constData());
    return 2;
}
