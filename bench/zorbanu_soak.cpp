// Soak: many rounds of Continue and a typed answer through the real quiz window
// (offscreen, silent), mixing right, wrong and hostile answers. Checks the
// tally is exact and prints resident memory after 1,000 rounds and at the
// end; exits non-zero if the tally is off or memory kept growing.
// Usage: zorbanu_soak [ROUNDS]
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <string>

#include "quiz/Judge.h"
#include "window/QuizWindow.h"
#include "window/Widgets.h"

namespace {

class SilentPlayer final : public speech::ClipPlayer {
public:
    void PlayReading(std::span<const std::string>) override {}
};

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

QString HostileAnswer(int round)
{
    switch (round % 6) {
    case 0:
        return QString(10000, QChar('0' + round % 10));
    case 1:
        return QString::fromUtf8("\x01\x02\u202E\U0001F600") + QChar(0xD800) + QChar(0xDFFF);
    case 2:
        return "1e999";
    case 3:
        return QString("12\r\n34\n") + QChar(0);
    case 4:
        return QString::fromUtf8("\uFF11\uFF12\u3000\uFF0E\uFF15");
    default:
        return "&H" + QString(300, 'F');
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    window::InstallFonts();
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 100000;

    quiz::ClockRandom random;
    SilentPlayer player;
    window::QuizWindow form(random, player);
    form.StartUp();
    form.show();
    auto* box = static_cast<QLineEdit*>(form.Widget(window::Control::AnswerBox));
    auto* next = static_cast<QPushButton*>(form.Widget(window::Control::ContinueButton));

    int expectedTally = 0;
    long residentAtThousand = 0;
    for (int round = 1; round <= rounds; ++round) {
        next->click();
        const auto& state = form.State();
        double result = quiz::ExpectedResult(state.FirstOperand, state.SecondOperand, state.OpCode);
        const bool typeRight = round % 3 != 0;
        QString typed = typeRight ? QString::number(result, 'g', 17) : HostileAnswer(round);
        const bool right = typeRight || quiz::IsRightAnswer(quiz::ReadNumber(typed.toStdString()), result);
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        expectedTally += right;
        if (form.State().CorrectCount != expectedTally) {
            std::printf("round %d: tally %d, expected %d (typed %s)\n", round, form.State().CorrectCount,
                        expectedTally, typed.left(40).toStdString().c_str());
            return 1;
        }
        if (round % 1000 == 0) {
            QApplication::processEvents();
            if (round == 1000)
                residentAtThousand = ResidentKiB();
        }
    }
    const long residentAtEnd = ResidentKiB();
    std::printf("%d rounds, tally %d exact; resident memory %.1f MiB after 1,000 rounds, %.1f MiB at the end\n",
                rounds, expectedTally, residentAtThousand / 1024.0, residentAtEnd / 1024.0);
#ifdef __SANITIZE_ADDRESS__
    return 0;  // AddressSanitizer holds freed memory in quarantine; its leak check runs at exit
#else
    // Allocator noise is a few hundred KiB; a leak per round would show as megabytes.
    return rounds >= 1000 && residentAtEnd - residentAtThousand > 4096 ? 2 : 0;
#endif
}
