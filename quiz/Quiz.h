#pragma once
// The quiz's event handlers: start-up, the next problem (Continue), a key
// typed in the answer box, applying a setting, and speaking the problem. Each
// writes its results straight into the window through Controls, in a fixed
// order, and plays sound through the clip player. A handler that plays a
// sound goes on once the player says the sound has ended, and calls its
// `done` when it has ended itself. Owns the QuizState; owns nothing else.
//
// Not here: widgets, menus, input holding. The window owns a Quiz and calls
// these handlers from its events.

#include "Commands.h"
#include "Controls.h"
#include "QuizState.h"
#include "Random.h"
#include "speech/ClipPlayer.h"

#include <functional>

namespace quiz {

using Done = std::function<void()>;

// The character code the answer box hands over for Enter.
inline constexpr char16_t kEnterKey = 13;

class Quiz {
public:
    Quiz(Controls& controls, RandomSource& random, speech::ClipPlayer& player);

    // Seeds the random source, sets the defaults, shows the first problem
    // and speaks it.
    void StartUp(Done done);
    // Draws a problem that suits the operation, shows it and speaks it.
    void NextProblem(Done done);
    // key is the typed character; Enter (kEnterKey) judges and is swallowed
    // (set to 0), every other key is left to reach the answer box.
    void AnswerKey(char16_t& key, Done done);
    void ApplySetting(const SettingsCommand& command);
    void SpeakProblem(Done done);

    const QuizState& State() const { return state_; }

private:
    void ShowOperands();
    void ShowPrompt();
    void AnswerWrong(Done done);
    void AnswerRight(Done done);

    Controls& controls_;
    RandomSource& random_;
    speech::ClipPlayer& player_;
    QuizState state_;
};

}  // namespace quiz
