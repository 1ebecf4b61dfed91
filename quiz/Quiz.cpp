#include "Quiz.h"

#include <string>

#include "Judge.h"
#include "NumberReader.h"
#include "NumberText.h"
#include "Problems.h"
#include "Texts.h"
#include "speech/Composer.h"

namespace quiz {

Quiz::Quiz(Controls& controls, RandomSource& random, speech::ClipPlayer& player)
    : controls_(controls), random_(random), player_(player)
{
}

void Quiz::StartUp(Done done)
{
    random_.SeedRandom();
    state_ = QuizState{};
    state_.FirstOperand = Draw(state_.RangeMax, random_);
    state_.SecondOperand = static_cast<std::int16_t>(Draw(state_.RangeMax, random_));
    ShowOperands();
    controls_.SetAnswerText("");
    ShowPrompt();
    controls_.SetCaption(Label::Tally, texts::kFirstProblem);
    SpeakProblem(std::move(done));
}

void Quiz::NextProblem(Done done)
{
    Operands pair = DrawProblem(state_.RangeMax, state_.OpCode, random_);
    state_.FirstOperand = pair.first;
    state_.SecondOperand = pair.second;
    ShowOperands();
    controls_.SetAnswerText("");
    controls_.MoveFocus(FocusTarget::AnswerBox);
    ShowPrompt();
    SpeakProblem(std::move(done));
}

void Quiz::AnswerKey(char16_t& key, Done done)
{
    if (key != kEnterKey)
        return done();
    key = 0;
    NumberReading typed = ReadNumber(controls_.AnswerText());
    double expected = ExpectedResult(state_.FirstOperand, state_.SecondOperand, state_.OpCode);
    if (IsRightAnswer(typed, expected))
        AnswerRight(std::move(done));
    else
        AnswerWrong(std::move(done));
}

void Quiz::ApplySetting(const SettingsCommand& command)
{
    if (command.rangeMax)
        state_.RangeMax = *command.rangeMax;
    if (command.op) {
        state_.OpCode = *command.op;
        controls_.SetCaption(Label::Sign, SignOf(*command.op));
    }
}

// All twelve names are composed before the first clip plays, and go to the
// player as one reading; the handler ends when the reading has.
void Quiz::SpeakProblem(Done done)
{
    const speech::SpokenProblem clips = speech::ComposeProblem(
        state_.FirstOperand, state_.SecondOperand, controls_.Caption(Label::Sign));
    player_.PlayReading(clips, [done = std::move(done)](speech::SoundEnd) { done(); });
}

void Quiz::ShowOperands()
{
    controls_.SetCaption(Label::FirstOperand, NumberText(state_.FirstOperand));
    controls_.SetCaption(Label::SecondOperand, NumberText(int{state_.SecondOperand}));
}

// The prompt line and no picture: how every new problem starts.
void Quiz::ShowPrompt()
{
    controls_.SetCaption(Label::Feedback, texts::kPrompt);
    controls_.SetPictureVisible(Picture::Tick, false);
    controls_.SetPictureVisible(Picture::Cross, false);
}

// The answer's sound first; the window shows the verdict once it has ended.
void Quiz::AnswerWrong(Done done)
{
    player_.PlayClip(std::string(speech::kWrongClip), [this, done = std::move(done)](speech::SoundEnd) {
        controls_.SetCaption(Label::Feedback, texts::kWrong);
        controls_.SetAnswerText("");
        controls_.SetPictureVisible(Picture::Cross, true);
        controls_.SetPictureVisible(Picture::Tick, false);
        done();
    });
}

void Quiz::AnswerRight(Done done)
{
    player_.PlayClip(std::string(speech::kRightClip), [this, done = std::move(done)](speech::SoundEnd) {
        controls_.SetCaption(Label::Feedback, texts::kRight);
        ++state_.CorrectCount;
        controls_.SetCaption(Label::Tally, texts::Tally(state_.CorrectCount));
        controls_.MoveFocus(FocusTarget::ContinueButton);
        controls_.SetPictureVisible(Picture::Tick, true);
        controls_.SetPictureVisible(Picture::Cross, false);
        done();
    });
}

}  // namespace quiz
