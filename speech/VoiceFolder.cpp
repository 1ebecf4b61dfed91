#include "VoiceFolder.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace speech {
namespace {

namespace fs = std::filesystem;

// An unset or empty variable counts as absent, as the XDG rules say.
std::optional<std::string> Environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

std::vector<fs::path> DataDirs()
{
    std::string list = Environment("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share");
    std::vector<fs::path> dirs;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            dirs.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return dirs;
}

}  // namespace

const std::vector<std::string>& PackClipNames()
{
    static const std::vector<std::string> names = {
        "0.wav", "1.wav", "2.wav", "3.wav", "4.wav", "5.wav", "6.wav", "7.wav", "8.wav", "9.wav",
        "shi.wav", "bai.wav", "+.wav", "-.wav", "×.wav", "÷.wav", "=.wav", "win.wav", "won.wav"};
    return names;
}

bool HoldsClips(const fs::path& folder)
{
    std::error_code error;
    for (const std::string& name : PackClipNames())
        if (fs::is_regular_file(folder / name, error))
            return true;
    return false;
}

fs::path UserVoiceFolder()
{
    if (auto dataHome = Environment("XDG_DATA_HOME"))
        return fs::path(*dataHome) / "zorbanu" / "clips";
    return fs::path(Environment("HOME").value_or("/")) / ".local" / "share" / "zorbanu" / "clips";
}

std::optional<fs::path> InstalledVoiceFolder()
{
    std::vector<fs::path> candidates;
    for (const fs::path& dir : DataDirs())
        candidates.push_back(dir / "zorbanu" / "clips");
    candidates.emplace_back(ZORBANU_INSTALLED_CLIP_DIR);
    for (const fs::path& folder : candidates)
        if (HoldsClips(folder))
            return folder;
    return std::nullopt;
}

std::optional<fs::path> ChooseVoiceFolder(const fs::path& working)
{
    if (HoldsClips(working))
        return working;
    if (fs::path user = UserVoiceFolder(); HoldsClips(user))
        return user;
    return InstalledVoiceFolder();
}

}  // namespace speech
