// Soak: many rounds through the real quiz window (offscreen, silent). A round
// presses Continue, or now and then chooses an item of the settings menu
// instead (a new operation applies at once, to the problem on screen), then
// puts an answer into the answer box and presses Enter: typed digits, or text
// pasted whole (long, full-width, hexadecimal, hostile) whose reading the
// check knows from how answers are read. The check keeps its own count: it
// reads the operands and the sign off the window, works the result out
// itself, decides whether the answer given is right, and after every Enter
// compares the tally line and the tick or cross with its count and verdict.
// Prints the rounds, the check's result and resident memory after 1,000
// rounds and at the end. Exits 1 when the window disagrees with the check, 2
// when memory kept growing.
// Needs no display and no sound card.
// Usage: zorbanu_bench_soak [ROUNDS] (100,000 by default)
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <map>
#include <string>

#include "support/Program.h"
#include "support/Wav.h"
#include "window/QuizWindow.h"

namespace {

using window::Control;

class SilentPlayer final : public speech::ClipPlayer {
public:
    void PlayReading(std::span<const std::string>, speech::AfterSound then) override { then(speech::SoundEnd::NoSound); }
};

// The problem on screen as the child sees it, and its result worked out here.
struct Problem {
    long long first = 0, second = 0;
    QString sign;
    bool whole = true;      // the result is a whole number
    long long result = 0;   // when whole
    double exact = 0;       // when not: the quotient, as a double
};

QString LabelText(const window::QuizWindow& form, Control label)
{
    return static_cast<QLabel*>(form.Widget(label))->text().trimmed();
}

Problem ShownProblem(const window::QuizWindow& form)
{
    Problem p;
    p.first = LabelText(form, Control::FirstOperandLabel).toLongLong();
    p.second = LabelText(form, Control::SecondOperandLabel).toLongLong();
    p.sign = LabelText(form, Control::SignLabel);
    if (p.sign == "+")
        p.result = p.first + p.second;
    else if (p.sign == "-")
        p.result = p.first - p.second;
    else if (p.sign == QString::fromUtf8("×"))
        p.result = p.first * p.second;
    else if (p.sign == QString::fromUtf8("÷")) {
        // Continue draws only divisions that come out even; an operation
        // chosen from the menu keeps the operands on screen, and then only
        // the true quotient is right.
        p.whole = p.first % p.second == 0;
        p.result = p.first / p.second;
        p.exact = double(p.first) / double(p.second);
    }
    return p;
}

// Text for the answer box, and whether the quiz must take it as right.
struct Answer {
    QString text;
    bool right;
    bool typed;  // typed key by key; otherwise pasted whole
};

QString FullWidth(const QString& ascii)
{
    QString out;
    for (QChar c : ascii)
        out += QChar(c.unicode() + 0xFEE0);  // U+FF01..U+FF5E for '!'..'~'
    return out;
}

constexpr int kAnswerKinds = 12;

// Answers are read forgivingly: blanks, tabs and line feeds anywhere are
// skipped, full-width forms and the ideographic space read as ASCII, "&H"
// and "&O" bring hexadecimal and octal digits, reading stops at the first
// character that cannot continue the number, nothing readable is 0, and a
// number too large for a double equals nothing.
Answer MakeAnswer(int kind, const Problem& p)
{
    const QString number = p.whole ? QString::number(p.result) : QString::number(p.exact, 'g', 17);
    const bool zero = p.whole && p.result == 0;
    const bool natural = p.whole && p.result >= 0;
    switch (kind) {
    case 0:
        return {number, true, true};
    case 1:  // one more, or the quotient cut to a whole number
        return {p.whole ? QString::number(p.result + 1) : QString::number(p.result), false, true};
    case 2: {
        QString spread;
        for (QChar c : number)
            spread += QString(c) + QString::fromUtf8(" \t\n\u3000").at(spread.size() % 4);
        return {spread, true, false};
    }
    case 3:
        return {FullWidth(number), true, false};
    case 4:  // leading zeros, after the sign
        return {(p.result < 0 ? "-" : "") + QString(5000, '0') + number.mid(p.result < 0 ? 1 : 0), true, false};
    case 5:  // the number, then what cannot continue it
        return {number + QString::fromUtf8("\u202E\U0001F600") + QChar(0xD800) + "7", true, false};
    case 6:
        return natural ? Answer{"&H" + QString::number(p.result, 16).toUpper(), true, false} : Answer{number, true, true};
    case 7:
        return natural ? Answer{"&o" + QString::number(p.result, 8), true, false} : Answer{number, true, true};
    case 8:  // ten thousand digits: too large
        return {QString(10000, QChar(char16_t('1' + p.first % 9))), false, false};
    case 9:
        return {"1e999", false, true};
    case 10:  // too small for a double: reads as 0
        return {"1e-999", zero, true};
    default:  // nothing readable: 0
        return {QString::fromUtf8("\x01\x02\u202E\U0001F600") + QChar(0xDFFF), zero, false};
    }
}

long ResidentKiB() { return std::stol("0" + testing_support::Shell("awk '/^VmRSS:/ {print $2}' /proc/" + std::to_string(getpid()) + "/status")); }

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const testing_support::TempDir runtime;  // Qt's runtime folder, which it wants private
    qputenv("XDG_RUNTIME_DIR", runtime.path().c_str());
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 100000;

    quiz::ClockRandom random;
    SilentPlayer player;
    window::QuizWindow form(random, player);
    form.StartUp([&form] { form.show(); });
    auto* box = static_cast<QLineEdit*>(form.Widget(Control::AnswerBox));
    auto* next = static_cast<QPushButton*>(form.Widget(Control::ContinueButton));
    const QList<QAction*> menu = form.SettingsMenu()->actions();
    QList<QAction*> settings;
    for (QAction* item : menu)
        if (!item->isSeparator())
            settings.push_back(item);

    int right = 0, settingsChosen = 0, fractional = 0;
    std::map<QString, int> signs;
    long residentAtThousand = 0;
    for (int round = 1; round <= rounds; ++round) {
        // Every 37th round a setting instead of Continue; over 84 of them,
        // every item with every kind of answer.
        int kind = round % kAnswerKinds;
        if (round % 37 == 0) {
            settings[settingsChosen % settings.size()]->trigger();
            kind = settingsChosen++ / int(settings.size()) % kAnswerKinds;
        } else {
            next->click();
        }
        const Problem problem = ShownProblem(form);
        ++signs[problem.sign];
        fractional += !problem.whole;
        const Answer answer = MakeAnswer(kind, problem);
        box->clear();
        if (answer.typed)
            QTest::keyClicks(box, answer.text);
        else
            box->setText(answer.text);
        QTest::keyClick(box, Qt::Key_Return);
        right += answer.right;
        const QString tally = LabelText(form, Control::TallyLabel);
        const QString expected = right == 0 ? QString::fromUtf8("这是第一题")
                                            : QString::fromUtf8("一共答对了 %1 道题").arg(right);
        const bool tick = form.Widget(Control::Tick)->isVisible(), cross = form.Widget(Control::Cross)->isVisible();
        if (tally != expected || tick != answer.right || cross == answer.right) {
            std::printf("round %d: %lld %s %lld, answered \"%s\" (%s by the check): tally line \"%s\", %s shown\n",
                        round, problem.first, problem.sign.toStdString().c_str(), problem.second,
                        answer.text.left(40).toStdString().c_str(), answer.right ? "right" : "wrong",
                        tally.toStdString().c_str(), tick ? "tick" : cross ? "cross" : "no picture");
            return 1;
        }
        if (round % 1000 == 0) {
            QApplication::processEvents();
            if (round == 1000)
                residentAtThousand = ResidentKiB();
        }
    }
    const long residentAtEnd = ResidentKiB();
    std::printf("soak, the real quiz window offscreen\n");
    std::printf("  %-40s %d (%d settings chosen), %d answers right by the check\n", "rounds", rounds, settingsChosen,
                right);
    std::string counts;
    for (const auto& [sign, count] : signs)
        counts += sign.toStdString() + " " + std::to_string(count) + "  ";
    std::printf("  %-40s %s(%d quotients not whole)\n", "problems answered, by sign", counts.c_str(), fractional);
    std::printf("  %-40s %s\n", "tally line, tick and cross after Enter", "as the check counted, every round");
    std::printf("  %-40s %.1f MiB after 1,000 rounds, %.1f MiB at the end\n", "resident memory (VmRSS)",
                residentAtThousand / 1024.0, residentAtEnd / 1024.0);
#ifdef __SANITIZE_ADDRESS__
    return 0;  // AddressSanitizer holds freed memory in quarantine; its leak check runs at exit
#else
    // Allocator noise is a few hundred KiB; a leak per round would show as megabytes.
    return rounds >= 1000 && residentAtEnd - residentAtThousand > 4096 ? 2 : 0;
#endif
}
