// The quiz in play through the real Form1: Continue, judging, the settings
// commands, the popup menu, Read and End.
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>
#include <QSignalSpy>
#include <cstdlib>

#include "quiz/Texts.h"
#include "speech/Composer.h"
#include "speech/SdlClipPlayer.h"
#include "support/FormFixture.h"
#include "support/Wav.h"

using namespace testing_support;

namespace {

std::vector<std::string> Spoken(double a, int b, const char* sign)
{
    auto clips = speech::ComposeProblem(a, b, sign);
    return {clips.begin(), clips.end()};
}

class Play : public FormTest {
protected:
    bool Visible(const char* name) const { return Get(name)->isVisible(); }
};

TEST_F(Play, ContinueDrawsSpeaksAndResetsTheAnswerLine)
{
    Start(3, 4, {ValueFor(6, 9), ValueFor(2, 9)});
    Answer("7");
    ASSERT_TRUE(Visible("Image1"));
    const QString tally = Caption("Label2");
    player.played.clear();
    QTest::mouseClick(Get("Command1"), Qt::LeftButton);
    EXPECT_EQ(Caption("Label4"), "6");
    EXPECT_EQ(Caption("Label5"), "2");
    EXPECT_EQ(Caption("Label1"), "+");
    EXPECT_EQ(Caption("Label2"), tally);
    EXPECT_EQ(Caption("Label3"), "小朋友请你算一算这道题");
    EXPECT_TRUE(Box()->text().isEmpty());
    EXPECT_FALSE(Visible("Image1") || Visible("Image2"));
    EXPECT_EQ(QApplication::focusWidget(), Box());
    EXPECT_EQ(player.played, Spoken(6, 2, "+"));
}

TEST_F(Play, WrongAnswerPlaysWonEmptiesTheBoxAndShowsTheCross)
{
    Start(3, 4);
    player.played.clear();
    Answer("8");
    EXPECT_EQ(player.played, std::vector<std::string>{"won.wav"});
    EXPECT_EQ(Caption("Label3"), "答错了,你再算一算!");
    EXPECT_TRUE(Box()->text().isEmpty());
    EXPECT_TRUE(Visible("Image2"));
    EXPECT_FALSE(Visible("Image1"));
    EXPECT_EQ(Caption("Label2"), "这是第一题");
    EXPECT_EQ(form->State().CorrectCount, 0);
    EXPECT_EQ(QApplication::focusWidget(), Box());
}

TEST_F(Play, RightAnswerPlaysWinCountsKeepsTheAnswerAndFocusesContinue)
{
    Start(3, 4);
    player.played.clear();
    Answer(" 7.0");
    EXPECT_EQ(player.played, std::vector<std::string>{"win.wav"});
    EXPECT_EQ(Caption("Label3"), "答对了!宝贝你真棒!");
    EXPECT_EQ(Caption("Label2"), "一共答对了 1 道题");
    EXPECT_EQ(Box()->text(), " 7.0");
    EXPECT_TRUE(Visible("Image1"));
    EXPECT_FALSE(Visible("Image2"));
    EXPECT_EQ(QApplication::focusWidget(), Get("Command1"));
    // Space now presses Continue.
    player.played.clear();
    QTest::keyClick(Get("Command1"), Qt::Key_Space);
    EXPECT_EQ(player.played.size(), 12u);
}

TEST_F(Play, TenRightAnswersInARowAndRepeatsCount)
{
    Start(2, 2, {ValueFor(2, 9), ValueFor(2, 9)});
    for (int i = 0; i < 10; ++i) {
        Answer("4");
        QTest::mouseClick(Get("Command1"), Qt::LeftButton);
    }
    EXPECT_EQ(Caption("Label2"), "一共答对了 10 道题");
    Answer("4");
    Answer("4");  // the same problem again counts again
    EXPECT_EQ(Caption("Label2"), "一共答对了 12 道题");
    EXPECT_EQ(form->State().CorrectCount, 12);
}

TEST_F(Play, OnlyEnterJudgesAndOtherKeysReachTheBox)
{
    Start(3, 4);
    player.played.clear();
    Box()->setFocus();
    QTest::keyClicks(Box(), "7a -+ x.");
    EXPECT_EQ(Box()->text(), "7a -+ x.");
    EXPECT_TRUE(player.played.empty());
    QTest::keyClick(Box(), Qt::Key_Enter);  // the keypad's Enter judges too
    EXPECT_EQ(player.played, std::vector<std::string>{"win.wav"});
    EXPECT_FALSE(Box()->text().contains('\r'));
}

TEST_F(Play, FullWidthDigitsAndOddButReadableAnswers)
{
    Start(9, 3);
    int right = 0;
    for (const char* typed : {"１２", "12abc", "1 2", "&HC", "1.2e1", "１２．０"}) {
        Answer(QString::fromUtf8(typed));
        EXPECT_EQ(form->State().CorrectCount, ++right) << typed;
    }
}

TEST_F(Play, HostileAnswersAreJudgedByTheRuleWithoutHarm)
{
    Start(3, 4);
    const std::pair<QString, const char*> answers[] = {
        {QString(10000, '9'), "won.wav"},
        {"1e999", "won.wav"},
        {"&HFFFFFFFFFFFFFFFFFFFF", "won.wav"},
        {QString("\x01\x02\x1b"), "won.wav"},
        {"😀😀", "won.wav"},
        {QString::fromUtf8("\u202E7"), "won.wav"},      // a right-to-left mark stops the number
        {QString(QChar(0xD800)) + "7", "won.wav"},       // a lone surrogate too
        {"8\r\n7", "won.wav"},                            // a carriage return ends the number
        {"\n7\n", "win.wav"},                              // line feeds are skipped
    };
    for (const auto& [text, sound] : answers) {
        player.played.clear();
        Box()->setText(text);
        Box()->setFocus();
        QTest::keyClick(Box(), Qt::Key_Return);
        EXPECT_EQ(player.played, std::vector<std::string>{sound}) << text.toStdString();
    }
    EXPECT_EQ(form->State().CorrectCount, 1);
}

TEST_F(Play, EmptyBoxIsRightForEqualSubtraction)
{
    Start(4, 4);
    Choose("mnu5");
    Answer("");
    EXPECT_EQ(form->State().CorrectCount, 1);
}

TEST_F(Play, SwitchingToDivisionRereadsTheProblemOnScreen)
{
    Start(7, 2);
    Choose("mnu7");
    EXPECT_EQ(Caption("Label1"), "÷");
    EXPECT_EQ(Caption("Label4"), "7");
    Answer("3");
    EXPECT_EQ(form->State().CorrectCount, 0);
    Answer("3.5");
    EXPECT_EQ(form->State().CorrectCount, 1);
    player.played.clear();
    QTest::mouseClick(Get("Command3"), Qt::LeftButton);
    EXPECT_EQ(player.played, Spoken(7, 2, "÷"));
    EXPECT_EQ(QApplication::focusWidget(), Box());
}

TEST_F(Play, SwitchingToSubtractionAcceptsANegativeAnswer)
{
    Start(3, 8);
    Choose("mnu5");
    EXPECT_EQ(Caption("Label1"), "-");
    Answer("-5");
    EXPECT_EQ(form->State().CorrectCount, 1);
    Choose("mnu6");
    EXPECT_EQ(Caption("Label1"), "×");
    Answer("24");
    EXPECT_EQ(form->State().CorrectCount, 2);
}

TEST_F(Play, NewRangeWaitsForContinueAndChangesNothingElse)
{
    Start(3, 8, {0.5f, 0.25f});
    Answer("1");
    const QString feedback = Caption("Label3");
    player.played.clear();
    Choose("mnu3");
    EXPECT_EQ(form->State().RangeMax, 999);
    EXPECT_EQ(Caption("Label4"), "3");
    EXPECT_EQ(Caption("Label3"), feedback);
    EXPECT_TRUE(Visible("Image2"));
    EXPECT_TRUE(player.played.empty());
    QTest::mouseClick(Get("Command1"), Qt::LeftButton);
    EXPECT_EQ(Caption("Label4"), "500");
    EXPECT_EQ(Caption("Label5"), "250");
    for (QAction* item : form->PopupMenu()->actions())
        EXPECT_FALSE(item->isChecked());
}

TEST_F(Play, RightPressOnTheBareSurfaceOpensTheMenuThereOnly)
{
    Start(3, 4);
    QMenu* menu = form->PopupMenu();
    for (const char* control : {"Label3", "Label4", "Text3", "Command1", "Image2"}) {
        QWidget* widget = Get(control);
        widget->show();
        QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(3, 3));
        EXPECT_FALSE(menu->isVisible()) << control;
    }
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(10, 120));
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(form.get(), Qt::RightButton, {}, QPoint(10, 120));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_LT((menu->pos() - form->mapToGlobal(QPoint(10, 120))).manhattanLength(), 3);
    menu->hide();
    // The tick takes no mouse input: a right press on it belongs to the window.
    Get("Image2")->hide();
    Get("Image1")->show();
    QTest::mouseClick(form.get(), Qt::RightButton, {}, Get("Image1")->geometry().center());
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(Play, EndClosesTheWindow)
{
    Start(3, 4);
    QTest::mouseClick(Get("Command2"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Play, AHandlerAskedForWhileSpeakingRunsAfterwards)
{
    Start(3, 4, {ValueFor(5, 9), ValueFor(6, 9), ValueFor(1, 9), ValueFor(2, 9)});
    player.played.clear();
    bool pressedAgain = false;
    player.onPlay = [&](const std::string&) {
        if (!pressedAgain) {
            pressedAgain = true;
            Get<QPushButton>("Command1")->click();  // as a timer or posted event would
        }
    };
    QTest::mouseClick(Get("Command1"), Qt::LeftButton);
    std::vector<std::string> expected = Spoken(5, 6, "+");
    auto second = Spoken(1, 2, "+");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(player.played, expected);
}

// A fault inside a handler is not hidden: the standard error message is
// shown, and the program ends with a failure status.
class FailingRandom final : public quiz::RandomSource {
public:
    void SeedRandom() override {}
    float NextSingle() override { throw std::runtime_error("no random values"); }
};

TEST(HandlerFault, ShowsTheErrorMessageAndEnds)
{
    EXPECT_EXIT(
        {
            QTimer::singleShot(50, [] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    std::fprintf(stderr, "message: %s\n", box->text().toStdString().c_str());
                    box->accept();
                }
            });
            FailingRandom random;
            RecordingPlayer player;
            window::Form1 form(random, player);
            form.Form_Load();
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "message: .*no random values");
}

// One whole round with the real SDL player on the disk driver.
TEST(PlayWithRealSound, ARoundIsHeardInOrder)
{
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    const std::vector<std::string> names = {"1.wav", "2.wav", "+.wav", "=.wav", "win.wav", "won.wav"};
    for (std::size_t i = 0; i < names.size(); ++i)
        WriteFile(dir / names[i], MakeWav({}, Constant(1000 * int(i + 1), 300)));
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        auto sdl = std::make_unique<speech::SdlClipPlayer>();
        SequenceRandom random({ValueFor(1, 9), ValueFor(2, 9)});
        window::Form1 form(random, *sdl);
        form.Form_Load();
        auto* box = form.findChild<QLineEdit*>("Text3");
        for (const char* typed : {"4", "3"}) {
            box->setText(typed);
            QTest::keyClick(box, Qt::Key_Return);
        }
    }
    std::filesystem::current_path(cwd);
    std::vector<std::int16_t> heard;
    for (const Segment& run : NonSilentSegments(ReadDiskOutput(dir / "out.raw")))
        heard.push_back(run.value);
    // 1 + 2 =, then the wrong sound, then the right one; the fillers are absent.
    EXPECT_EQ(heard, (std::vector<std::int16_t>{1000, 3000, 2000, 4000, 6000, 5000}));
}

}  // namespace
