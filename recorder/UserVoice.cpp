#include "UserVoice.h"

#include <stdlib.h>

#include <chrono>
#include <system_error>
#include <vector>

#include "speech/Clips.h"
#include "speech/VoiceFolder.h"
#include "speech/WavFile.h"

namespace recorder {
namespace {

namespace fs = std::filesystem;

// A fresh empty folder beside target, whose name starts with a dot.
std::optional<fs::path> MakeStagingFolder(const fs::path& target, const char* purpose)
{
    std::string name = (target.parent_path() / ("." + target.filename().string() + purpose + ".XXXXXX")).string();
    if (::mkdtemp(name.data()) == nullptr)
        return std::nullopt;
    return fs::path(name);
}

// The voice the quiz speaks with while the user has none of their own.
std::optional<fs::path> OriginalVoice()
{
    std::error_code noWorkingFolder;
    return speech::OriginalVoiceFolder(fs::current_path(noWorkingFolder));
}

// Every clip a voice may hold: the words, then the answer sounds.
std::vector<std::string> VoiceClips()
{
    std::vector<std::string> names;
    for (const speech::SpokenWord& word : speech::kSpeechClips)
        names.emplace_back(word.clip);
    names.emplace_back(speech::kRightClip);
    names.emplace_back(speech::kWrongClip);
    return names;
}

// Copies every clip the original voice holds into folder, skipping the
// ones already there.
bool CopyOriginalClipsInto(const fs::path& folder)
{
    const std::optional<fs::path> original = OriginalVoice();
    if (!original)
        return true;
    std::error_code error;
    for (const std::string& name : VoiceClips()) {
        if (fs::exists(folder / name, error) || !fs::exists(*original / name, error))
            continue;
        auto bytes = speech::ReadClipFile(*original / name);
        if (!bytes || !speech::WriteFileAtomically(folder / name, *bytes))
            return false;
    }
    return true;
}

// Removes what a recorder killed while saving left behind: staging folders
// beside the user's folder and temporary clip files in it; only those a
// minute old or more, so a save under way in another recorder keeps its own.
void ClearStaleSaves(const fs::path& user)
{
    const auto aMinuteAgo = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    std::error_code error;
    // Advanced with an error code: a folder that cannot be read further
    // ends the walk instead of throwing.
    for (const fs::path& folder : {user.parent_path(), user})
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            const bool leftOver = name.starts_with("." + user.filename().string() + ".") ||
                                  (name.starts_with(".") && name.find(".wav.") != std::string::npos);
            std::error_code ignored;
            if (leftOver && entry->last_write_time(ignored) < aMinuteAgo)
                fs::remove_all(entry->path(), ignored);
        }
}

// Makes the user's folder complete: a missing folder appears whole in one
// rename; an existing one gets any missing clip filled in.
bool CompleteUserFolder()
{
    const fs::path user = speech::UserVoiceFolder();
    std::error_code error;
    if (fs::is_directory(user, error))
        return CopyOriginalClipsInto(user);
    fs::create_directories(user.parent_path(), error);
    const std::optional<fs::path> stage = MakeStagingFolder(user, ".new");
    if (!stage)
        return false;
    fs::permissions(*stage, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec, error);
    if (CopyOriginalClipsInto(*stage) && ::rename(stage->c_str(), user.c_str()) == 0)
        return true;
    fs::remove_all(*stage, error);
    return false;
}

}  // namespace

bool IsOwnRecording(const std::string& clip)
{
    auto own = speech::ReadClipFile(speech::UserVoiceFolder() / clip);
    if (!own)
        return false;
    const std::optional<fs::path> original = OriginalVoice();
    return !original || speech::ReadClipFile(*original / clip) != own;
}

SaveResult SaveOwnClip(const std::string& clip, std::span<const std::int16_t> samples)
{
    ClearStaleSaves(speech::UserVoiceFolder());
    if (!CompleteUserFolder())
        return SaveResult::CannotWrite;
    if (!speech::WriteFileAtomically(speech::UserVoiceFolder() / clip, speech::EncodeWav(samples)))
        return SaveResult::CannotWrite;
    return SaveResult::Saved;
}

bool HasOwnVoice()
{
    std::error_code error;
    return fs::exists(speech::UserVoiceFolder(), error);
}

bool ForgetOwnVoice()
{
    const fs::path user = speech::UserVoiceFolder();
    std::error_code error;
    if (!fs::exists(user, error))
        return true;
    // Renamed away first, so the quiz never finds a half-removed folder.
    const std::optional<fs::path> doomed = MakeStagingFolder(user, ".old");
    if (!doomed || ::rename(user.c_str(), (*doomed / "clips").c_str()) != 0) {
        if (doomed)
            fs::remove(*doomed, error);
        return false;
    }
    return fs::remove_all(*doomed, error) != static_cast<std::uintmax_t>(-1);
}

std::optional<fs::path> ListeningFolder()
{
    if (fs::path user = speech::UserVoiceFolder(); speech::HoldsVoice(user))
        return user;
    return OriginalVoice();
}

}  // namespace recorder
