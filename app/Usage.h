#pragma once
// The --help texts of both programs, in the desktop's language; the quiz's
// names the folder its voice would be played from.

#include <QString>
#include <filesystem>
#include <optional>

QString QuizUsage(const std::optional<std::filesystem::path>& voice);
QString RecorderUsage();
