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

void Quiz::StartUp()
{
    random_.SeedRandom();
    state_ = QuizState{};
    state_.FirstOperand = Draw(state_.RangeMax, random_);
    state_.SecondOperand = static_cast<std::int16_t>(Draw(state_.RangeMax, random_));
    ShowOperands();
    controls_.SetAnswerText("");
    ShowPrompt();
    controls_.SetCaption(Label::Tally, texts::kFirstProblem);
    SpeakProblem();
}

void Quiz::NextProblem()
{
    Operands pair = DrawProblem(state_.RangeMax, state_.OpCode, random_);
    state_.FirstOperand = pair.first;
    state_.SecondOperand = pair.second;
    ShowOperands();
    controls_.SetAnswerText("");
    controls_.MoveFocus(FocusTarget::AnswerBox);
    ShowPrompt();
    SpeakProblem();
}

void Quiz::AnswerKey(char16_t& key)
{
    if (key != kEnterKey)
        return;
    key = 0;
    NumberReading typed = ReadNumber(controls_.AnswerText());
    double expected = ExpectedResult(state_.FirstOperand, state_.SecondOperand, state_.OpCode);
    if (IsRightAnswer(typed, expected))
        AnswerRight();
    else
        AnswerWrong();
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

void Quiz::SpeakProblem()
{
    // All twelve names are composed before the first clip plays, and the
    // player hands the whole reading to the sound thread as one job, which
    // queues each clip while the last buffer of the one before still plays;
    // the handler waits until the reading ends or is given up, so nothing of
    // the quiz runs between two clips.
    const speech::SpokenProblem clips = speech::ComposeProblem(
        state_.FirstOperand, state_.SecondOperand, controls_.Caption(Label::Sign));
    player_.PlayReading(clips);
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

void Quiz::AnswerWrong()
{
    player_.PlayClip(std::string(speech::kWrongClip));
    controls_.SetCaption(Label::Feedback, texts::kWrong);
    controls_.SetAnswerText("");
    controls_.SetPictureVisible(Picture::Cross, true);
    controls_.SetPictureVisible(Picture::Tick, false);
}

void Quiz::AnswerRight()
{
    player_.PlayClip(std::string(speech::kRightClip));
    controls_.SetCaption(Label::Feedback, texts::kRight);
    ++state_.CorrectCount;
    controls_.SetCaption(Label::Tally, texts::Tally(state_.CorrectCount));
    controls_.MoveFocus(FocusTarget::ContinueButton);
    controls_.SetPictureVisible(Picture::Tick, true);
    controls_.SetPictureVisible(Picture::Cross, false);
}

}  // namespace quiz
