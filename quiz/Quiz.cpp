#include "Quiz.h"

#include <string>

#include "Judge.h"
#include "NumberReader.h"
#include "NumberText.h"
#include "Problems.h"
#include "Texts.h"
#include "speech/Composer.h"

namespace quiz {

namespace {
constexpr char16_t kEnter = 13;
}

Quiz::Quiz(Controls& controls, RandomSource& random, speech::ClipPlayer& player)
    : controls_(controls), random_(random), player_(player)
{
}

void Quiz::Form_Load()
{
    random_.SeedRandom();
    state_ = QuizState{};
    state_.FirstOperand = Draw(state_.RangeMax, random_);
    state_.SecondOperand = static_cast<std::int16_t>(Draw(state_.RangeMax, random_));
    ShowOperands();
    controls_.SetAnswerText("");
    ShowPrompt();
    controls_.SetCaption(Label::Label2, texts::kFirstProblem);
    SpeakProblem();
}

void Quiz::Command1_Click()
{
    Operands pair = DrawProblem(state_.RangeMax, state_.OpCode, random_);
    state_.FirstOperand = pair.first;
    state_.SecondOperand = pair.second;
    ShowOperands();
    controls_.SetAnswerText("");
    controls_.MoveFocus(FocusTarget::Text3);
    ShowPrompt();
    SpeakProblem();
}

void Quiz::Text3_KeyPress(char16_t& keyAscii)
{
    if (keyAscii != kEnter)
        return;
    keyAscii = 0;
    NumberReading typed = ReadNumber(controls_.AnswerText());
    double expected = ExpectedResult(state_.FirstOperand, state_.SecondOperand, state_.OpCode);
    if (IsRightAnswer(typed, expected))
        AnswerRight();
    else
        AnswerWrong();
}

void Quiz::mnu_Click(const MenuCommand& command)
{
    if (command.rangeMax)
        state_.RangeMax = *command.rangeMax;
    if (command.op) {
        state_.OpCode = *command.op;
        controls_.SetCaption(Label::Label1, SignOf(*command.op));
    }
}

void Quiz::SpeakProblem()
{
    // All twelve names are composed before the first clip plays, so nothing
    // but the next play call runs between two clips.
    const speech::SpokenProblem clips = speech::ComposeProblem(
        state_.FirstOperand, state_.SecondOperand, controls_.Caption(Label::Label1));
    for (const std::string& clip : clips)
        player_.PlayClip(clip);
}

void Quiz::ShowOperands()
{
    controls_.SetCaption(Label::Label4, NumberText(state_.FirstOperand));
    controls_.SetCaption(Label::Label5, NumberText(int{state_.SecondOperand}));
}

// The prompt line and no picture: how every new problem starts.
void Quiz::ShowPrompt()
{
    controls_.SetCaption(Label::Label3, texts::kPrompt);
    controls_.SetPictureVisible(Picture::Image1, false);
    controls_.SetPictureVisible(Picture::Image2, false);
}

void Quiz::AnswerWrong()
{
    player_.PlayClip(std::string(texts::kWrongClip));
    controls_.SetCaption(Label::Label3, texts::kWrong);
    controls_.SetAnswerText("");
    controls_.SetPictureVisible(Picture::Image2, true);
    controls_.SetPictureVisible(Picture::Image1, false);
}

void Quiz::AnswerRight()
{
    player_.PlayClip(std::string(texts::kRightClip));
    controls_.SetCaption(Label::Label3, texts::kRight);
    ++state_.CorrectCount;
    controls_.SetCaption(Label::Label2, texts::Tally(state_.CorrectCount));
    controls_.MoveFocus(FocusTarget::Command1);
    controls_.SetPictureVisible(Picture::Image1, true);
    controls_.SetPictureVisible(Picture::Image2, false);
}

}  // namespace quiz
