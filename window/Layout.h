#pragma once
// The window's static description: every control's kind, box (in twips,
// 1/1440 inch, 15 to a pixel at 96 dpi), text at creation, font, colours,
// alignment and tab index. The quiz window builds its widgets from this
// table once; nothing here changes at run time. Each row's objectName is a
// stable name for its control, which tests (findChild) and style sheets can
// use whatever the control's caption or class.

#include <QRect>
#include <Qt>
#include <array>
#include <optional>

#include "app/Fonts.h"

namespace window {

inline constexpr int kTwipsPerPixel = 15;

enum class ControlKind { Label, AnswerBox, Button, Picture, Line };

// What each control is; also its index in the window's control list.
enum class Control {
    ReadButton,
    EndButton,
    ContinueButton,
    AnswerBox,
    Cross,
    Tick,
    TallyLabel,
    Rule,
    FeedbackLabel,
    FirstOperandLabel,
    SignLabel,
    SecondOperandLabel,
};
inline constexpr std::size_t kControlCount = 12;
using app::FontFace;  // Song and Kai: "宋体" and "楷体_GB2312"
using app::FontSpec;
enum class Colour { ButtonFace, ButtonText, WindowText, PureRed, PureBlue };

struct ControlSpec {
    Control control;
    const char* objectName;
    ControlKind kind;
    QRect twips;  // for a line: from its left end, one twip high
    const char* text;
    std::optional<FontSpec> font;          // none: the window font
    std::optional<Colour> textColour;
    std::optional<Colour> background;      // none: transparent
    Qt::Alignment alignment;
    int tabIndex;                           // -1: not in the tab order at all
    const char* picture;                    // resource path for pictures
};

inline constexpr FontSpec kWindowFont{FontFace::Song, 18};
inline constexpr FontSpec kMenuFont{FontFace::Song, 12};

// In the order the window lists them.
inline const std::array<ControlSpec, kControlCount> kControls{{
    {Control::ReadButton, "Command3", ControlKind::Button, {4185, 3120, 1215, 495}, "读题", FontSpec{FontFace::Song, 15.75},
     std::nullopt, std::nullopt, Qt::AlignCenter, 8, nullptr},
    {Control::EndButton, "Command2", ControlKind::Button, {4200, 4320, 1215, 495}, "结束", FontSpec{FontFace::Song, 15},
     std::nullopt, std::nullopt, Qt::AlignCenter, 5, nullptr},
    {Control::ContinueButton, "Command1", ControlKind::Button, {4200, 3720, 1215, 495}, "继续", FontSpec{FontFace::Song, 15.75},
     std::nullopt, std::nullopt, Qt::AlignCenter, 4, nullptr},
    {Control::AnswerBox, "Text3", ControlKind::AnswerBox, {1725, 1935, 1890, 495}, "", std::nullopt,
     Colour::WindowText, Colour::ButtonFace, Qt::AlignRight | Qt::AlignVCenter, 0, nullptr},
    {Control::Cross, "Image2", ControlKind::Picture, {4230, 1665, 1080, 960}, "", std::nullopt,
     std::nullopt, std::nullopt, Qt::AlignCenter, -1, ":/pictures/cross.png"},
    {Control::Tick, "Image1", ControlKind::Picture, {4230, 1665, 1065, 945}, "", std::nullopt,
     std::nullopt, std::nullopt, Qt::AlignCenter, -1, ":/pictures/tick.png"},
    {Control::TallyLabel, "Label2", ControlKind::Label, {0, 4200, 3975, 435}, "", FontSpec{FontFace::Kai, 15},
     Colour::PureBlue, std::nullopt, Qt::AlignLeft | Qt::AlignTop, 7, nullptr},
    {Control::Rule, "Line1", ControlKind::Line, {1305, 1680, 3960 - 1305, 15}, "", std::nullopt,
     Colour::WindowText, std::nullopt, Qt::AlignLeft, -1, nullptr},
    {Control::FeedbackLabel, "Label3", ControlKind::Label, {0, 3240, 3855, 435}, "", FontSpec{FontFace::Song, 15},
     Colour::PureRed, std::nullopt, Qt::AlignLeft | Qt::AlignTop, 6, nullptr},
    {Control::FirstOperandLabel, "Label4", ControlKind::Label, {2085, 240, 1530, 525}, "", std::nullopt,
     Colour::WindowText, Colour::ButtonFace, Qt::AlignRight | Qt::AlignTop, 3, nullptr},
    {Control::SignLabel, "Label1", ControlKind::Label, {1710, 990, 270, 525}, "+", std::nullopt,
     Colour::ButtonText, std::nullopt, Qt::AlignLeft | Qt::AlignTop, 2, nullptr},
    {Control::SecondOperandLabel, "Label5", ControlKind::Label, {2085, 960, 1530, 525}, "", std::nullopt,
     Colour::WindowText, Colour::ButtonFace, Qt::AlignRight | Qt::AlignTop, 1, nullptr},
}};

inline constexpr const char* kWindowObjectName = "Form1";

// The settings menu: its own name, its seven commands' names in menu order,
// and the separator's, which stands between the ranges and the operations.
inline constexpr const char* kSettingsMenuObjectName = "popupmnu";
inline constexpr std::array<const char*, 7> kSettingsItemObjectNames{
    "mnu1", "mnu2", "mnu3", "mnu4", "mnu5", "mnu6", "mnu7"};
inline constexpr const char* kSettingsSeparatorObjectName = "fgx";

// The window's client area.
inline constexpr QSize kClientTwips{5715, 4890};

inline QRect PixelsFromTwips(const QRect& twips)
{
    return {twips.x() / kTwipsPerPixel, twips.y() / kTwipsPerPixel,
            twips.width() / kTwipsPerPixel, twips.height() / kTwipsPerPixel};
}

}  // namespace window
