#include "Usage.h"

std::string QuizUsage(const std::optional<std::filesystem::path>& voice)
{
    const std::string folder = voice ? voice->string() : "没有 (none): silent";
    return "用法: zorbanu [--help | --version]\n"
           "Usage: zorbanu [--help | --version]\n\n"
           "给小朋友的算术练习: 用普通话读题, 输入答案后按回车。右击窗口选择范围和运算。\n"
           "Arithmetic practice for young children: each problem is read aloud in Mandarin;\n"
           "type the answer and press Enter. Right-click the window to choose range and operation.\n\n"
           "声音文件夹 / Voice folder: " + folder + "\n"
           "(当前文件夹, ~/.local/share/zorbanu/clips, 然后是安装的语音包; 每次读题时重新选择 /\n"
           " the current folder, then ~/.local/share/zorbanu/clips, then the installed pack;\n"
           " chosen again for every reading, from the first that holds every speech clip)\n";
}
