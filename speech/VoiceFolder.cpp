#include "VoiceFolder.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "Clips.h"

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

bool HoldsVoice(const fs::path& folder)
{
    std::error_code error;
    return std::all_of(kSpeechClips.begin(), kSpeechClips.end(), [&](const SpokenWord& clip) {
        return fs::is_regular_file(folder / clip.clip, error);
    });
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
        if (HoldsVoice(folder))
            return folder;
    return std::nullopt;
}

std::optional<fs::path> OriginalVoiceFolder(const fs::path& working)
{
    if (HoldsVoice(working))
        return working;
    return InstalledVoiceFolder();
}

std::optional<fs::path> ChooseVoiceFolder(const fs::path& working)
{
    if (HoldsVoice(working))
        return working;
    if (fs::path user = UserVoiceFolder(); HoldsVoice(user))
        return user;
    return InstalledVoiceFolder();
}

}  // namespace speech
