#pragma once
// The quiz's event handlers: start-up, Continue, Enter in the answer box, the
// settings commands, and speaking the problem. Each writes its results
// straight into the window through Controls, in a fixed order, and plays
// sound through the clip player. Owns the QuizState; owns nothing else.
//
// Not here: widgets, menus, input holding. The window owns a Quiz and calls
// these handlers from its events.

#include "Commands.h"
#include "Controls.h"
#include "QuizState.h"
#include "Random.h"
#include "speech/ClipPlayer.h"

namespace quiz {

class Quiz {
public:
    Quiz(Controls& controls, RandomSource& random, speech::ClipPlayer& player);

    void Form_Load();
    void Command1_Click();
    // keyAscii is the typed character; Enter (13) judges and is swallowed
    // (set to 0), every other key is left to reach the answer box.
    void Text3_KeyPress(char16_t& keyAscii);
    void mnu_Click(const MenuCommand& command);
    void SpeakProblem();

    const QuizState& State() const { return state_; }

private:
    void ShowOperands();
    void ShowPrompt();
    void AnswerWrong();
    void AnswerRight();

    Controls& controls_;
    RandomSource& random_;
    speech::ClipPlayer& player_;
    QuizState state_;
};

}  // namespace quiz
