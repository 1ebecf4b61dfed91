#pragma once
// What the quiz may do to the window, and nothing more: set and read label
// captions, set and read the answer box, show or hide the two pictures, and
// move the focus. The window implements it; the quiz never sees a widget.

#include <string>
#include <string_view>

namespace quiz {

enum class Label { Label1, Label2, Label3, Label4, Label5 };
enum class Picture { Image1, Image2 };
enum class FocusTarget { Text3, Command1 };

class Controls {
public:
    virtual void SetCaption(Label label, std::string_view text) = 0;
    virtual std::string Caption(Label label) const = 0;
    virtual void SetAnswerText(std::string_view text) = 0;  // Text3
    virtual std::string AnswerText() const = 0;
    virtual void SetPictureVisible(Picture picture, bool visible) = 0;
    virtual void MoveFocus(FocusTarget target) = 0;

protected:
    ~Controls() = default;
};

}  // namespace quiz
