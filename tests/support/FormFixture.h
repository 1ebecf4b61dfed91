#pragma once
// A real Form1 on the offscreen platform, with chosen random values and the
// clip names it plays recorded.

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "support/Doubles.h"
#include "window/Form1.h"

namespace testing_support {

// The random value that makes Draw(range) return n.
inline float ValueFor(int n, int range)
{
    return (static_cast<float>(n) - 0.5f) / static_cast<float>(range);
}

class FormTest : public ::testing::Test {
protected:
    // Starts the program with first problem a + b (within ten); later draws
    // replay `then`, as pairs.
    void Start(int a, int b, std::vector<float> then = {})
    {
        std::vector<float> values{ValueFor(a, 9), ValueFor(b, 9)};
        values.insert(values.end(), then.begin(), then.end());
        random = std::make_unique<SequenceRandom>(values);
        form = std::make_unique<window::Form1>(*random, player);
        form->Form_Load();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QApplication::processEvents();
    }

    template <typename T = QWidget>
    T* Get(const char* name) const
    {
        T* widget = form->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString Caption(const char* label) const { return Get<QLabel>(label)->text(); }
    QLineEdit* Box() const { return Get<QLineEdit>("Text3"); }

    // Types into the answer box and presses Enter. Characters outside ASCII
    // arrive as an input method commits them.
    void Answer(const QString& typed)
    {
        Box()->setFocus();
        Box()->clear();
        for (QChar c : typed) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(Box(), c.toLatin1());
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(Box(), &commit);
            }
        }
        QTest::keyClick(Box(), Qt::Key_Return);
    }

    void Choose(const char* item);  // a popup menu item, by name

    std::unique_ptr<SequenceRandom> random;
    RecordingPlayer player;
    std::unique_ptr<window::Form1> form;
};

inline void FormTest::Choose(const char* item)
{
    QAction* action = form->PopupMenu()->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

}  // namespace testing_support
