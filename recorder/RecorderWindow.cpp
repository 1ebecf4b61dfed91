#include "RecorderWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "UserVoice.h"
#include "quiz/Commands.h"
#include "quiz/Problems.h"
#include "speech/TakeProcessing.h"
#include "window/Widgets.h"

namespace recorder {
namespace {

constexpr window::FontSpec kWordFont{window::FontFace::Song, 24};
constexpr window::FontSpec kMessageFont{window::FontFace::Song, 14};
constexpr int kWatchStepMs = 100;
constexpr int kColumnsPerWord = 5;  // word, 录音, 播放, status, gap
// The words go down this many rows, then on in a second column.
constexpr int kRowsPerColumn = 10;

QString Word(std::size_t row)
{
    const std::string_view word = speech::kSpeechClips[row].word;
    return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
}

std::string ClipOf(std::size_t row)
{
    return std::string(speech::kSpeechClips[row].clip);
}

QString Refusal(speech::TakeVerdict verdict)
{
    switch (verdict) {
    case speech::TakeVerdict::Accepted:
        return {};
    case speech::TakeVerdict::NoSpeech:
        return "没有听到说话声。请靠近麦克风，按录音后再说一次。原来的声音没有变。";
    case speech::TakeVerdict::Clipped:
        return "声音太大，录出来全是杂音。请离麦克风远一点再录一次。原来的声音没有变。";
    }
    return {};
}

QPushButton* MakeButton(const char* text, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(true);  // Enter presses it, like Space
    return button;
}

}  // namespace

RecorderWindow::RecorderWindow(SdlCapture& capture, speech::SdlClipPlayer& player, quiz::RandomSource& random,
                               QWidget* parent)
    : QWidget(parent), capture_(capture), player_(player), random_(random)
{
    window::LoadPictureResources();
    setWindowTitle("录制我的声音");
    setWindowIcon(QIcon(":/pictures/icon-32.png"));
    setFont(window::MakeFont(kTextFont));
    auto* grid = new QGridLayout(this);
    BuildRows(grid);
    BuildFooter(grid);
    SetTabOrder();
    takeTimer_.setSingleShot(true);
    connect(&takeTimer_, &QTimer::timeout, this, Handler([this] { FinishTake(); }));
    connect(&watchTimer_, &QTimer::timeout, this, Handler([this] { WatchMicrophone(); }));
    ShowStatuses();
    if (!capture_.HasMicrophone())
        Say("没有找到麦克风。插上麦克风后，再按“录音”。", Tone::Problem);
    else
        Say("按“录音”，对着麦克风说出这个字，说完再按一次。", Tone::News);
}

// Every button and timer runs its work through the gate: one at a time, and
// an error that escapes is shown before the program ends, as in the quiz.
std::function<void()> RecorderWindow::Handler(std::function<void()> work)
{
    return [this, work = std::move(work)] { gate_.Run(work); };
}

// The words go down the first column, then on down the second.
void RecorderWindow::BuildRows(QGridLayout* grid)
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const int line = static_cast<int>(row) % kRowsPerColumn;
        const int column = static_cast<int>(row) / kRowsPerColumn * kColumnsPerWord;
        auto* word = new QLabel(Word(row), this);
        word->setFont(window::MakeFont(kWordFont));
        rows_[row] = MakeRow(row);
        grid->addWidget(word, line, column);
        grid->addWidget(rows_[row].record, line, column + 1);
        grid->addWidget(rows_[row].play, line, column + 2);
        grid->addWidget(rows_[row].status, line, column + 3);
    }
    grid->setColumnMinimumWidth(kColumnsPerWord - 1, 24);
}

// One word's buttons and status, named after its clip and wired to its row.
RecorderWindow::WordRow RecorderWindow::MakeRow(std::size_t row)
{
    const QString clip = QString::fromStdString(ClipOf(row));
    const WordRow widgets{MakeButton("录音", this), MakeButton("播放", this), new QLabel(this)};
    widgets.record->setObjectName("record:" + clip);
    widgets.play->setObjectName("play:" + clip);
    widgets.status->setObjectName("status:" + clip);
    connect(widgets.record, &QPushButton::clicked, this, Handler([this, row] { RecordClicked(row); }));
    connect(widgets.play, &QPushButton::clicked, this, Handler([this, row] { PlayClicked(row); }));
    return widgets;
}

void RecorderWindow::BuildFooter(QGridLayout* grid)
{
    const int line = kRowsPerColumn;
    range_ = new QComboBox(this);
    // The same three ranges as the quiz's settings menu.
    for (const quiz::SettingsCommand& command : quiz::kSettingsCommands)
        if (command.rangeMax)
            range_->addItem(QString::fromUtf8(command.caption.data(), qsizetype(command.caption.size())),
                            *command.rangeMax);
    hear_ = MakeButton("听一道题", this);
    restore_ = MakeButton("恢复原声", this);
    message_ = new QLabel(this);
    message_->setObjectName("message");
    message_->setWordWrap(true);
    message_->setFont(window::MakeFont(kMessageFont));
    message_->setMinimumHeight(message_->fontMetrics().height() * 2);
    grid->addWidget(range_, line, 0, 1, 2);
    grid->addWidget(hear_, line, 2, 1, 2);
    grid->addWidget(restore_, line, kColumnsPerWord + 1, 1, 2);
    grid->addWidget(message_, line + 1, 0, 1, 2 * kColumnsPerWord);
    connect(hear_, &QPushButton::clicked, this, Handler([this] { HearProblem(); }));
    connect(restore_, &QPushButton::clicked, this, Handler([this] { RestoreBuiltInVoice(); }));
}

// Tab goes along each row, then down the rows, then to the footer.
void RecorderWindow::SetTabOrder()
{
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* next) {
        if (previous != nullptr)
            setTabOrder(previous, next);
        previous = next;
    };
    for (const WordRow& row : rows_) {
        chain(row.record);
        chain(row.play);
    }
    chain(range_);
    chain(hear_);
    chain(restore_);
}

void RecorderWindow::RecordClicked(std::size_t row)
{
    if (recordingRow_ == row)
        FinishTake();
    else if (!recordingRow_)
        StartTake(row);
}

void RecorderWindow::StartTake(std::size_t row)
{
    switch (capture_.Start()) {
    case StartResult::Started:
        break;
    case StartResult::AlreadyRecording:
        return;
    case StartResult::NoMicrophone:
        Say("没有找到麦克风，不能录音。插上麦克风后再试一次。", Tone::Problem);
        return;
    }
    recordingRow_ = row;
    takeTimer_.start(kLongestTakeMs);
    watchTimer_.start(kWatchStepMs);
    ShowRecordingState();
    Say(QString("正在录“%1”……说完再按一次“停止”，3 秒后也会自动停止。").arg(Word(row)), Tone::News);
}

void RecorderWindow::FinishTake()
{
    if (!recordingRow_)
        return;
    const std::size_t row = *recordingRow_;
    takeTimer_.stop();
    watchTimer_.stop();
    const std::vector<std::int16_t> take = capture_.Stop();
    recordingRow_.reset();
    KeepTake(row, take);
    ShowRecordingState();
    ShowStatuses();
}

void RecorderWindow::KeepTake(std::size_t row, const std::vector<std::int16_t>& take)
{
    const speech::SpokenWord& word = speech::kSpeechClips[row];
    const speech::ProcessedTake processed =
        speech::ProcessTake(take, {.quietBeforeMs = word.quietBeforeMs, .quietAfterMs = word.quietAfterMs});
    if (processed.verdict != speech::TakeVerdict::Accepted) {
        Say(Refusal(processed.verdict), Tone::Problem);
        return;
    }
    switch (SaveOwnClip(ClipOf(row), processed.clip)) {
    case SaveResult::Saved:
        Say(QString("“%1”录好了。按“播放”听一听。").arg(Word(row)), Tone::News);
        return;
    case SaveResult::CannotWrite:
        Say("录音没能保存（磁盘满了，或者文件夹不能写）。原来的声音没有变。", Tone::Problem);
        return;
    }
}

// A microphone unplugged in the middle of a take ends it without a clip.
void RecorderWindow::WatchMicrophone()
{
    if (!capture_.Lost())
        return;
    takeTimer_.stop();
    watchTimer_.stop();
    capture_.Stop();
    recordingRow_.reset();
    ShowRecordingState();
    Say("麦克风不能用了，这次没有录上。原来的声音没有变。", Tone::Problem);
}

// While a take runs only its own 停止 works.
void RecorderWindow::ShowRecordingState()
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const bool thisRow = recordingRow_ == row;
        rows_[row].record->setText(thisRow ? "停止" : "录音");
        rows_[row].record->setEnabled(!recordingRow_ || thisRow);
        rows_[row].play->setEnabled(!recordingRow_);
    }
    hear_->setEnabled(!recordingRow_);
    restore_->setEnabled(!recordingRow_ && HasOwnVoice());
}

void RecorderWindow::ShowStatuses()
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const bool own = IsOwnRecording(ClipOf(row));
        rows_[row].status->setText(own ? "已录" : "原声");
        QPalette colours = palette();
        if (own)
            colours.setColor(QPalette::WindowText, QColor(0, 0, 200));
        rows_[row].status->setPalette(colours);
    }
    restore_->setEnabled(!recordingRow_ && HasOwnVoice());
}

void RecorderWindow::PlayClicked(std::size_t row)
{
    player_.PlayClip(ClipOf(row));
}

void RecorderWindow::HearProblem()
{
    const int rangeMax = range_->currentData().toInt();
    const auto op = static_cast<quiz::Op>(quiz::Draw(4, random_));
    const quiz::Operands problem = quiz::DrawProblem(rangeMax, op, random_);
    player_.PlayReading(speech::ComposeProblem(problem.first, problem.second, quiz::SignOf(op)));
}

void RecorderWindow::RestoreBuiltInVoice()
{
    const auto answer = QMessageBox::question(this, "恢复原声", "要删掉自己录的所有声音，换回原声吗？",
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (ForgetOwnVoice())
        Say("已经换回原声。", Tone::News);
    else
        Say("没能删掉自己录的声音，请再试一次。", Tone::Problem);
    ShowStatuses();
}

void RecorderWindow::Say(const QString& text, Tone tone)
{
    QPalette colours = palette();
    switch (tone) {
    case Tone::News:
        break;
    case Tone::Problem:
        colours.setColor(QPalette::WindowText, QColor(160, 0, 0));
        break;
    }
    message_->setPalette(colours);
    message_->setText(text);
}

}  // namespace recorder
