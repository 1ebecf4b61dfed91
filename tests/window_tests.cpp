// The real quiz window on Qt's offscreen platform: how it looks (compared
// with reference screenshots), and the quiz played through it with the
// keyboard, the mouse and the settings menu.
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "support/Doubles.h"
#include "support/Glyphs.h"
#include "app/Translations.h"
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
        quiz.reset();  // before the random source it holds
        random = std::make_unique<SequenceRandom>(then);
        quiz = std::make_unique<window::QuizWindow>(*random, player);
        quiz->StartUp([this] { quiz->show(); });
        quiz->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(quiz.get()));
    }

    QWidget* W(Control control) const { return quiz->Widget(control); }
    QLineEdit* Box() const { return static_cast<QLineEdit*>(W(Control::AnswerBox)); }
    QString Text(Control control) const { return static_cast<QLabel*>(W(control))->text(); }
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

    // Chooses a setting as a parent does: a left press on the bare window
    // or a right press on a label opens nothing, a right press on the bare
    // window opens the menu there, and the arrow keys and Enter choose. (On
    // Qt 6.8's offscreen platform a click on an open menu closes it
    // unchosen: the end-to-end test clicks the real menu under Xvfb.)
    void Choose(const QString& caption)
    {
        QMenu* menu = quiz->SettingsMenu();
        QTest::mouseClick(quiz.get(), Qt::LeftButton, {}, QPoint(10, 120));
        QTest::mouseClick(W(Control::FirstOperandLabel), Qt::RightButton);
        ASSERT_FALSE(menu->isVisible());
        QTest::mouseClick(quiz.get(), Qt::RightButton, {}, QPoint(10, 120));
        const auto items = menu->actions();
        const auto item = std::find_if(items.begin(), items.end(), [&](QAction* a) { return a->text() == caption; });
        ASSERT_TRUE(menu->isVisible() && item != items.end()) << caption.toStdString();
        for (qsizetype down = 0; down < items.size() && menu->activeAction() != *item; ++down)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
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
        auto apart = [&](qsizetype i) { return std::abs(shot.constBits()[i] - reference.constBits()[i]); };
        int differing = 0;
        for (qsizetype i = 0; i < shot.sizeInBytes(); i += 4)
            differing += apart(i) + apart(i + 1) + apart(i + 2) > 30;
        EXPECT_LE(differing, 12) << name.toStdString() << " differs from its reference";
    }

    std::unique_ptr<SequenceRandom> random;
    RecordingPlayer player;
    std::unique_ptr<window::QuizWindow> quiz;
};

TEST_F(QuizWindowTest, LooksAsDesignedInEveryState)
{
    QString shownWhileSpeaking;
    player.onPlay = [&] { shownWhileSpeaking += quiz && quiz->isVisible() ? Text(Control::FirstOperandLabel) : "-"; };
    ASSERT_NO_FATAL_FAILURE(Start(3, 4, {ValueFor(5, 9), ValueFor(6, 9)}));
    EXPECT_EQ(random->seeds, 1);
    ExpectLooksLike(quiz.get(), "start-up");
    EXPECT_EQ(DrawnAmiss(*quiz).toStdString(), "") << "drawn from the system's fonts";
    EXPECT_EQ(Box()->accessibleName(), "3 + 4 =") << "what a screen reader says of the answer box";
    // The icon is decoded once the first frame is drawn.
    EXPECT_TRUE(QTest::qWaitFor([&] { return quiz->windowIcon().availableSizes().size() == 4; }));
    Answer("8");
    ExpectLooksLike(quiz.get(), "wrong-answer");
    Answer("7");
    ExpectLooksLike(quiz.get(), "right-answer");
    player.played.clear();
    QTest::keyClick(Focus(), Qt::Key_Space);  // the focus is on Continue
    ExpectLooksLike(quiz.get(), "next-problem");
    EXPECT_EQ(Box()->accessibleName(), "5 + 6 =");
    EXPECT_EQ(player.played, (Clips{"5.wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav", "+.wav", "6.wav",
                                     "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"}));
    // Spoken before the window shows; after that, each problem shows first.
    EXPECT_EQ(shownWhileSpeaking, QString(12, '-') + "33" + QString(12, '5'));
    quiz->SettingsMenu()->popup(quiz->mapToGlobal(QPoint(10, 120)));
    if (quiz->logicalDpiX() == 96)  // Qt's style widens a menu with the desktop's DPI
        ExpectLooksLike(quiz->SettingsMenu(), "settings-menu");
}

// Each row: the first problem, settings chosen from the settings menu, an
// answer, then Continue, which draws for the range and operation in force.
TEST_F(QuizWindowTest, AnswersAreJudgedAndContinueDrawsForTheSettings)
{
    const std::vector<float> largest{kTop};
    const std::vector<float> unevenThenEven{ValueFor(7, 9), ValueFor(2, 9), ValueFor(4, 9), ValueFor(8, 9)};
    const struct {
        const char* name;
        std::vector<QString> settings;
        int a, b;
        const char* typed;
        bool right;
        std::vector<float> draws;
        QString next;
    } rows[] = {
        {"sum", {}, 3, 4, "7", true, largest, "9+9"},
        {"empty_is_zero", {"减法"}, 4, 4, "", true, largest, "9-9"},
        {"overflow_is_never_right", {"减法"}, 4, 4, "1e999", false, largest, "9-9"},
        {"negative_difference_then_within_a_hundred", {"百以内", "减法"}, 3, 8, "-5", true, largest, "99-99"},
        {"product_then_within_a_thousand", {"千以内", "乘法"}, 3, 8, "24", true, largest, "999×999"},
        {"within_ten_again", {"千以内", "十以内"}, 3, 8, "11", true, largest, "9+9"},
        {"true_quotient_then_both_redrawn_until_whole", {"除法"}, 7, 2, "3.5", true, unevenThenEven, "8÷4"},
        {"whole_quotient_is_wrong", {"除法"}, 7, 2, "3", false, largest, "9÷9"},
    };
    for (const auto& row : rows) {
        ASSERT_NO_FATAL_FAILURE(Start(row.a, row.b, row.draws));
        for (const QString& setting : row.settings)
            ASSERT_NO_FATAL_FAILURE(Choose(setting));
        Answer(QString::fromUtf8(row.typed));
        EXPECT_EQ(player.played, Clips{row.right ? "win.wav" : "won.wav"}) << row.name;
        EXPECT_EQ(std::tuple(W(Control::Tick)->isVisible(), W(Control::Cross)->isVisible(), Text(Control::TallyLabel)),
                  std::tuple(row.right, !row.right, row.right ? "一共答对了 1 道题" : "这是第一题")) << row.name;
        QTest::mouseClick(W(Control::ContinueButton), Qt::LeftButton);
        EXPECT_EQ(Text(Control::FirstOperandLabel) + Text(Control::SignLabel) + Text(Control::SecondOperandLabel),
                  row.next) << row.name;
    }
}

TEST_F(QuizWindowTest, OnlyAFocusedButtonTakesEnter)
{
    ASSERT_NO_FATAL_FAILURE(Start(3, 4));
    Answer("1");
    EXPECT_EQ(player.played.size(), 1u) << "Enter in the box judges and presses no button";
    W(Control::ReadButton)->setFocus();
    player.played.clear();
    QTest::keyClick(Focus(), Qt::Key_Return);
    EXPECT_EQ(player.played.size(), 12u) << "Read speaks the problem again";
    EXPECT_EQ(Focus(), Box()) << "and hands the focus back to the answer box";
    // The menu key (as the platform hands it on) or Shift+F10 opens the
    // answer box's edit menu there, and the settings menu on a button.
    auto menuKey = [](QWidget* at) {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at->rect().center(), at->mapToGlobal(at->rect().center()));
        QApplication::sendEvent(at, &event);
    };
    auto shiftF10 = [](QWidget* at) { QTest::keyClick(at, Qt::Key_F10, Qt::ShiftModifier); };
    for (const std::function<void(QWidget*)>& openMenu : {std::function<void(QWidget*)>(menuKey), {shiftF10}}) {
        openMenu(Box());
        ASSERT_TRUE(QApplication::activePopupWidget()) << "no edit menu";
        EXPECT_EQ(QApplication::activePopupWidget()->actions().value(3)->text().toStdString(), "剪切(&T)\tCtrl+X");
        QApplication::activePopupWidget()->close();
        openMenu(W(Control::ReadButton));
        EXPECT_EQ(QApplication::activePopupWidget(), quiz->SettingsMenu());
        quiz->SettingsMenu()->close();
    }
    QTest::mouseClick(W(Control::EndButton), Qt::LeftButton);
    EXPECT_FALSE(quiz->isVisible());
}

// Nothing waits for a sound: the verdict shows once the wrong answer's
// sound has ended, and a key typed meanwhile reaches the box after that
// (which the verdict clears), not before.
TEST_F(QuizWindowTest, TheVerdictFollowsItsSoundAndKeysTypedMeanwhileFollowTheVerdict)
{
    ASSERT_NO_FATAL_FAILURE(Start(3, 4));
    player.holdEnds = true;
    Answer("1");
    QTest::keyClick(Box(), Qt::Key_7);
    EXPECT_FALSE(W(Control::Cross)->isVisible()) << "the verdict came before its sound ended";
    player.EndSounds();
    EXPECT_TRUE(W(Control::Cross)->isVisible());
    EXPECT_EQ(Box()->text().toStdString(), "7") << "a key typed during the sound was lost, or came before the verdict";
}

// A handler that fails shows the standard error message and, once it is
// read, ends the program with a failure status.
TEST_F(QuizWindowTest, AHandlerThatFailsSaysSoAndEndsTheProgram)
{
    EXPECT_EXIT({
        QTimer::singleShot(0, [] {  // the user reads the message and closes it
            std::fputs(qPrintable(qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->text()), stderr);
            QApplication::activeModalWidget()->close();
        });
        player.onPlay = [] { throw std::runtime_error("boom"); };
        ASSERT_NO_FATAL_FAILURE(Start(3, 4));
    }, ::testing::ExitedWithCode(1), "Runtime error: boom");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // listing the tests needs no display either
    QApplication app(argc, argv);
    app::InstallFonts();
    InstallTranslations(QtTexts::SimplifiedChinese);
    QApplication::setCursorFlashTime(0);  // a steady text cursor, the same in every screenshot
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a forked Qt program is not safe
    return RUN_ALL_TESTS();
}
