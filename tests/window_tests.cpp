// The real quiz window on Qt's offscreen platform: how it looks (compared
// with reference screenshots), and the quiz played through it with the
// keyboard, the mouse and the settings menu.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "support/Doubles.h"
#include "window/Fonts.h"
#include "window/QuizWindow.h"
#include "window/Widgets.h"

using namespace testing_support;
using window::Control;

namespace {

using Clips = std::vector<std::string>;
const float kTop = std::nextafter(1.0f, 0.0f);

class QuizWindowTest : public ::testing::Test {
protected:
    // Starts with the first problem a + b; later draws replay `then`.
    void Start(int a, int b, std::vector<float> then = {})
    {
        then.insert(then.begin(), {ValueFor(a, 9), ValueFor(b, 9)});
        random = std::make_unique<SequenceRandom>(then);
        quiz = std::make_unique<window::QuizWindow>(*random, player);
        quiz->StartUp();
        quiz->show();
        quiz->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(quiz.get()));
    }

    QWidget* W(Control control) const { return quiz->Widget(control); }
    QLineEdit* Box() const { return static_cast<QLineEdit*>(W(Control::AnswerBox)); }
    QString Text(Control control) const { return static_cast<QLabel*>(W(control))->text(); }
    bool Shown(Control control) const { return W(control)->isVisible(); }
    QWidget* Focus() const { return QApplication::focusWidget(); }

    // The answer arrives as an input method commits it, then Enter.
    void Answer(const QString& typed)
    {
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QApplication::sendEvent(Box(), &commit);
        player.played.clear();
        QTest::keyClick(Box(), Qt::Key_Return);
    }

    void Choose(const QString& caption)
    {
        for (QAction* item : quiz->SettingsMenu()->actions())
            if (item->text() == caption)
                return item->trigger();
        FAIL() << "no menu item " << caption.toStdString();
    }

    // Compares with a reference screenshot, allowing a few pixels of noise.
    void ExpectLooksLike(QWidget* widget, const QString& name)
    {
        const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString path = QStringLiteral(ZORBANU_REFERENCE_DIR "/%1.png").arg(name);
        if (qEnvironmentVariableIsSet("ZORBANU_UPDATE_REFERENCE"))
            shot.save(path);
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), reference.size()) << name.toStdString();
        int differing = 0;
        for (qsizetype i = 0; i < shot.sizeInBytes(); i += 4)
            differing += std::abs(shot.constBits()[i] - reference.constBits()[i]) +
                         std::abs(shot.constBits()[i + 1] - reference.constBits()[i + 1]) +
                         std::abs(shot.constBits()[i + 2] - reference.constBits()[i + 2]) > 30;
        EXPECT_LE(differing, 12) << name.toStdString() << " differs from its reference";
        if (differing > 12)
            shot.save(name + "-actual.png");
    }

    std::unique_ptr<SequenceRandom> random;
    RecordingPlayer player;
    std::unique_ptr<window::QuizWindow> quiz;
};

TEST_F(QuizWindowTest, LooksAsDesignedInEveryState)
{
    std::vector<bool> shownWhileSpeaking;
    player.onPlay = [&] { shownWhileSpeaking.push_back(quiz && quiz->isVisible()); };
    Start(3, 4);
    EXPECT_EQ(random->seeds, 1);
    EXPECT_EQ(shownWhileSpeaking, std::vector<bool>(12, false)) << "the first problem is spoken before it shows";
    EXPECT_EQ(player.played, (Clips{"3.wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav", "+.wav", "4.wav",
                                     "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"}));
    EXPECT_EQ(Focus(), Box());
    ExpectLooksLike(quiz.get(), "start-up");
    Answer("8");
    ExpectLooksLike(quiz.get(), "wrong-answer");
    Answer("7");
    ExpectLooksLike(quiz.get(), "right-answer");
    quiz->SettingsMenu()->popup(quiz->mapToGlobal(QPoint(10, 120)));
    ExpectLooksLike(quiz->SettingsMenu(), "settings-menu");
}

TEST_F(QuizWindowTest, AnswersAreJudgedWithSoundPictureAndTally)
{
    const struct {
        const char* name;
        const char* setting;  // chosen before answering; "" for none
        int a, b;
        const char* typed;
        bool right;
    } rows[] = {
        {"sum", "", 3, 4, "7", true},
        {"wrong_sum", "", 3, 4, "8", false},
        {"empty_is_zero", "减法", 4, 4, "", true},
        {"overflow_is_never_right", "减法", 4, 4, "1e999", false},
        {"underflow_reads_as_zero", "减法", 4, 4, "1e-400", true},
        {"negative_difference", "减法", 3, 8, "-5", true},
        {"product", "乘法", 3, 8, "24", true},
        {"true_quotient", "除法", 7, 2, "3.5", true},
        {"whole_quotient_is_wrong", "除法", 7, 2, "3", false},
        {"full_width", "", 9, 3, "１２", true},
    };
    for (const auto& row : rows) {
        Start(row.a, row.b);
        if (*row.setting)
            Choose(QString::fromUtf8(row.setting));
        Answer(QString::fromUtf8(row.typed));
        EXPECT_EQ(player.played, Clips{row.right ? "win.wav" : "won.wav"}) << row.name;
        EXPECT_EQ(std::pair(Shown(Control::Tick), Shown(Control::Cross)), std::pair(row.right, !row.right)) << row.name;
        EXPECT_EQ(Text(Control::TallyLabel), row.right ? "一共答对了 1 道题" : "这是第一题") << row.name;
    }
}

TEST_F(QuizWindowTest, ContinueDrawsAWholeQuotientShowsAndSpeaksIt)
{
    // 7 and 2 do not divide evenly: both are drawn again, 4 and 8.
    Start(7, 2, {ValueFor(7, 9), ValueFor(2, 9), ValueFor(4, 9), ValueFor(8, 9)});
    Choose("除法");
    Answer("3.5");
    player.played.clear();
    QString shownWhileSpeaking;
    player.onPlay = [&] { shownWhileSpeaking += Text(Control::FirstOperandLabel); };
    QTest::keyClick(Focus(), Qt::Key_Space);  // the focus is on Continue
    EXPECT_EQ(shownWhileSpeaking, QString(12, '8')) << "the new problem shows before it is spoken";
    EXPECT_EQ(player.played, (Clips{"8.wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav", "÷.wav", "4.wav",
                                     "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"}));
    EXPECT_EQ(Focus(), Box());
    ExpectLooksLike(quiz.get(), "next-problem");  // 8 ÷ 4, the prompt, the tally of one, no picture
}

TEST_F(QuizWindowTest, RangeAndOperationAreSetApartAndTheRangeWaitsForContinue)
{
    Start(3, 8, {kTop});  // every later draw is the largest the range allows
    player.played.clear();
    const QString ranges[][2] = {{"千以内", "999×999"}, {"百以内", "99×99"}, {"十以内", "9×9"}};
    for (const auto& [range, shown] : ranges) {
        Choose(range);
        Choose("乘法");
        EXPECT_TRUE(player.played.empty()) << "a new range waits for Continue";
        QTest::mouseClick(W(Control::ContinueButton), Qt::LeftButton);
        player.played.clear();
        EXPECT_EQ(Text(Control::FirstOperandLabel) + Text(Control::SignLabel) + Text(Control::SecondOperandLabel), shown);
    }
}

TEST_F(QuizWindowTest, SettingsMenuOpensOnARightPressOnTheBareWindowAndTakesLeftClicksOnly)
{
    Start(3, 4);
    QMenu* menu = quiz->SettingsMenu();
    for (Control control : {Control::FeedbackLabel, Control::FirstOperandLabel, Control::AnswerBox})
        QTest::mouseClick(W(control), Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseClick(quiz.get(), Qt::LeftButton, {}, QPoint(10, 120));
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(quiz.get(), Qt::RightButton, {}, QPoint(10, 120));
    ASSERT_TRUE(menu->isVisible());
    EXPECT_LT((menu->pos() - quiz->mapToGlobal(QPoint(10, 120))).manhattanLength(), 3);
    const QPoint division = menu->actionGeometry(menu->actions().last()).center();
    QTest::mouseClick(menu, Qt::RightButton, {}, division);
    EXPECT_EQ(Text(Control::SignLabel), "+");
    QTest::mouseClick(menu, Qt::LeftButton, {}, division);
    EXPECT_EQ(Text(Control::SignLabel), "÷");
}

TEST_F(QuizWindowTest, KeyboardTabsThroughBoxAndButtonsAndOnlyAFocusedButtonTakesEnter)
{
    Start(3, 4);
    for (Control next : {Control::ContinueButton, Control::EndButton, Control::ReadButton, Control::AnswerBox}) {
        QTest::keyClick(Focus(), Qt::Key_Tab);
        EXPECT_EQ(Focus(), W(next));
    }
    Answer("1");
    EXPECT_EQ(player.played, Clips{"won.wav"}) << "Enter in the box judges and presses no button";
    W(Control::ReadButton)->setFocus();
    for (auto key : {Qt::Key_Return, Qt::Key_Space}) {
        player.played.clear();
        QTest::keyClick(Focus(), key);
        EXPECT_EQ(player.played.size(), 12u) << "Read speaks the problem again";
        EXPECT_EQ(Focus(), Box()) << "and hands the focus back to the answer box";
        W(Control::ReadButton)->setFocus();
    }
    QTest::mouseClick(W(Control::EndButton), Qt::LeftButton);
    EXPECT_FALSE(quiz->isVisible());
}

TEST_F(QuizWindowTest, AHandlerAskedForWhileSpeakingRunsAfterwards)
{
    Start(3, 4, {ValueFor(5, 9), ValueFor(6, 9), ValueFor(1, 9), ValueFor(2, 9)});
    player.played.clear();
    player.onPlay = [this] {
        player.onPlay = nullptr;
        static_cast<QPushButton*>(W(Control::ContinueButton))->click();  // as a timer or posted event would
    };
    QTest::mouseClick(W(Control::ContinueButton), Qt::LeftButton);
    ASSERT_EQ(player.played.size(), 24u);
    EXPECT_EQ(player.played[0] + player.played[6] + player.played[12] + player.played[18], "5.wav6.wav1.wav2.wav");
}

class FailingRandom final : public quiz::RandomSource {
    void SeedRandom() override {}
    float NextSingle() override { throw std::runtime_error("no random values"); }
};

TEST(HandlerFault, ShowsTheStandardErrorMessageAndEnds)
{
    auto startUp = [] {
        QTimer::singleShot(50, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            std::fprintf(stderr, "message: %s\n", box ? box->text().toStdString().c_str() : "none");
            box->accept();
        });
        FailingRandom random;
        RecordingPlayer player;
        window::QuizWindow(random, player).StartUp();
    };
    EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(EXIT_FAILURE), "message: 运行时错误: no random values");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // listing the tests needs no display either
    QApplication app(argc, argv);
    window::InstallFonts();
    window::InstallChineseQtTexts();
    QApplication::setCursorFlashTime(0);  // a steady text cursor, the same in every screenshot
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
