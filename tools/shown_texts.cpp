// Prints every text the programs show from their own tables, one to a line,
// for the build's font subsets (tools/make-font-subsets.py): the quiz
// window's captions, its settings menu, its prompt, feedback and tally
// lines, the signs, and the words the recorder lists. What a translation
// shows (the recorder, dialogs) comes from the compiled translations.
// Writes to the file named by its argument, else to standard output.
#include <cstdio>
#include <string_view>

#include "quiz/Commands.h"
#include "quiz/Texts.h"
#include "speech/Clips.h"
#include "window/Layout.h"

namespace {

void Line(std::string_view text)
{
    std::printf("%.*s\n", int(text.size()), text.data());
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::freopen(argv[1], "w", stdout) == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    for (const window::ControlSpec& control : window::kControls)
        Line(control.text);
    for (const quiz::SettingsCommand& command : quiz::kSettingsCommands)
        Line(command.caption);
    for (quiz::Op op : {quiz::Op::Add, quiz::Op::Subtract, quiz::Op::Multiply, quiz::Op::Divide})
        Line(quiz::SignOf(op));
    for (std::string_view text : {quiz::texts::kPrompt, quiz::texts::kWrong, quiz::texts::kRight,
                                  quiz::texts::kFirstProblem})
        Line(text);
    Line(quiz::texts::Tally(1234567890));
    for (const speech::SpokenWord& word : speech::kSpeechClips)
        Line(word.word);
    return std::fclose(stdout) == 0 ? 0 : 1;
}
