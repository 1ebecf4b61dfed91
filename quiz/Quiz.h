#pragma once
// The quiz's event handlers: start-up, the next problem (Continue), a key
// typed in the answer box, applying a setting, and speaking the problem. Each writes its results
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

// The character code the answer box hands over for Enter.
inline constexpr char16_t kEnterKey = 13;

class Quiz {
public:
    Quiz(Controls& controls, RandomSource& random, speech::ClipPlayer& player);

    // Seeds the random source, sets the defaults, shows the first problem
    // and speaks it.
    void StartUp();
    // Draws a problem that suits the operation, shows it and speaks it.
    void NextProblem();
    // key is the typed character; Enter (kEnterKey) judges and is swallowed
    // (set to 0), every other key is left to reach the answer box.
    void AnswerKey(char16_t& key);
    void ApplySetting(const SettingsCommand& command);
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
