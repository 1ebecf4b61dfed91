#pragma once
// What the quiz may do to the window, and nothing more: set and read label
// captions, set and read the answer box, show or hide the two pictures, and
// move the focus. The window implements it; the quiz never sees a widget.

#include <string>
#include <string_view>

namespace quiz {

// The five text lines the quiz writes: the sign between the operands, the
// tally of right answers, the prompt-and-feedback line, and the operands.
enum class Label { Sign, Tally, Feedback, FirstOperand, SecondOperand };
// The tick after a right answer, the cross after a wrong one.
enum class Picture { Tick, Cross };
enum class FocusTarget { AnswerBox, ContinueButton };

class Controls {
public:
    virtual void SetCaption(Label label, std::string_view text) = 0;
    virtual std::string Caption(Label label) const = 0;
    virtual void SetAnswerText(std::string_view text) = 0;
    virtual std::string AnswerText() const = 0;
    virtual void SetPictureVisible(Picture picture, bool visible) = 0;
    virtual void MoveFocus(FocusTarget target) = 0;

protected:
    ~Controls() = default;
};

}  // namespace quiz
