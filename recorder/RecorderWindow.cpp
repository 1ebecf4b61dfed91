#include "RecorderWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "UserVoice.h"
#include "app/Icon.h"
#include "quiz/Commands.h"
#include "quiz/Problems.h"
#include "speech/TakeProcessing.h"

namespace recorder {
namespace {

constexpr app::FontSpec kWordFont{app::FontFace::Song, 24};
constexpr app::FontSpec kMessageFont{app::FontFace::Parent, 14};
constexpr int kWatchStepMs = 100;
constexpr int kColumnsPerWord = 5;  // word, 录音, 播放, status, gap
// The words go down this many rows, then on in a second column; below them,
// under a heading, the forms in two columns of three, then the footer.
constexpr int kRowsPerColumn = 10;
constexpr int kFormsLine = kRowsPerColumn + 1;
constexpr int kFormsPerColumn = 3;
constexpr int kFooterLine = kFormsLine + kFormsPerColumn;

// A row is one of the seventeen words, then one of the forms they take
// inside a number (speech::kWordForms), which a voice may go without.
bool IsForm(std::size_t row)
{
    return row >= speech::kSpeechClips.size();
}

const speech::WordForm& FormOf(std::size_t row)
{
    return speech::kWordForms[row - speech::kSpeechClips.size()];
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The row's word in messages and to a screen reader: a form is named by
// its word and its example ("五 as in 五十").
QString Word(std::size_t row)
{
    if (!IsForm(row))
        return FromUtf8(speech::kSpeechClips[row].word);
    return RecorderWindow::tr("%1 as in %2").arg(FromUtf8(FormOf(row).word), FromUtf8(FormOf(row).example));
}

// What the row shows in large type: the word, or a form's example with its
// word in red, so the parent says that word as they say it there.
QString Shown(std::size_t row)
{
    if (!IsForm(row))
        return Word(row);
    const QString word = FromUtf8(FormOf(row).word);
    return FromUtf8(FormOf(row).example).replace(word, "<span style='color:#c00000'>" + word + "</span>");
}

std::string ClipOf(std::size_t row)
{
    return std::string(IsForm(row) ? FormOf(row).clip : speech::kSpeechClips[row].clip);
}

QString Refusal(speech::TakeVerdict verdict)
{
    switch (verdict) {
    case speech::TakeVerdict::Accepted:
        return {};
    case speech::TakeVerdict::NoSpeech:
        return RecorderWindow::tr("No speech was heard. Come closer to the microphone, press Record and say the word "
                                  "again. The voice has not changed.");
    case speech::TakeVerdict::Clipped:
        return RecorderWindow::tr("Too loud: the take is all noise. Move a little away from the microphone and record "
                                  "again. The voice has not changed.");
    }
    return {};
}

// The sound server is there but does not answer (hung, or busy waking a
// device): not the same as having no microphone.
QString NoAnswer()
{
    return RecorderWindow::tr("The sound system is not answering, so nothing was recorded. Press Record again in a "
                              "moment.");
}

QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(true);  // Enter presses it, like Space
    return button;
}

}  // namespace

RecorderWindow::RecorderWindow(audio::SdlCapture& capture, speech::ClipPlayer& player, app::SoundLink& link,
                               quiz::RandomSource& random, QWidget* parent)
    : QWidget(parent), capture_(capture), player_(player), link_(link), random_(random)
{
    setWindowTitle(tr("Record my voice"));
    setWindowIcon(app::ProgramIcon());
    setFont(app::MakeFont(kTextFont));
    auto* grid = new QGridLayout(this);
    BuildRows(grid);
    BuildFooter(grid);
    SetTabOrder();
    takeTimer_.setSingleShot(true);
    connect(&takeTimer_, &QTimer::timeout, this, Handler([this](const Done& done) { FinishTake(done); }));
    connect(&watchTimer_, &QTimer::timeout, this, Handler([this](const Done& done) { WatchMicrophone(done); }));
    ShowRecordingState();
    ShowStatuses();
    capture_.HasMicrophone(link_.Reply<std::optional<bool>>(
        [this](std::optional<bool> microphone) { SayWhetherMicrophone(microphone); }, std::nullopt));
}

void RecorderWindow::SayWhetherMicrophone(std::optional<bool> microphone)
{
    if (!microphone)
        Say(NoAnswer(), Tone::Problem);
    else if (!*microphone)
        Say(tr("No microphone was found. Plug one in, then press Record."), Tone::Problem);
    else
        Say(tr("Press Record, say the word into the microphone, then press the button again."), Tone::News);
}

// Every button and timer runs its work through the gate: one at a time, and
// an error that escapes is shown before the program ends, as in the quiz.
std::function<void()> RecorderWindow::Handler(std::function<void(const Done&)> work)
{
    return [this, work = std::move(work)] { gate_.Run([work](const Done& done) { work(done); }); };
}

// The words go down the first column, then on down the second; the forms
// follow under their heading.
void RecorderWindow::BuildRows(QGridLayout* grid)
{
    grid->addWidget(new QLabel(tr("For a more natural reading (you may leave these out):"), this), kRowsPerColumn, 0,
                    1, 2 * kColumnsPerWord);
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const int index = static_cast<int>(IsForm(row) ? row - speech::kSpeechClips.size() : row);
        const int perColumn = IsForm(row) ? kFormsPerColumn : kRowsPerColumn;
        const int line = index % perColumn + (IsForm(row) ? kFormsLine : 0);
        const int column = index / perColumn * kColumnsPerWord;
        auto* word = new QLabel(Shown(row), this);
        word->setFont(app::MakeFont(kWordFont));
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
    const WordRow widgets{MakeButton(tr("Record"), this), MakeButton(tr("Play"), this), new QLabel(this)};
    // A screen reader tells the rows apart by their words.
    widgets.play->setAccessibleName(tr("Play %1").arg(Word(row)));
    widgets.record->setObjectName("record:" + clip);
    widgets.play->setObjectName("play:" + clip);
    widgets.status->setObjectName("status:" + clip);
    connect(widgets.record, &QPushButton::clicked, this, Handler([this, row](const Done& done) { RecordClicked(row, done); }));
    connect(widgets.play, &QPushButton::clicked, this, Handler([this, row](const Done& done) { PlayClicked(row, done); }));
    return widgets;
}

void RecorderWindow::BuildFooter(QGridLayout* grid)
{
    const int line = kFooterLine;
    range_ = new QComboBox(this);
    // The same three ranges as the quiz's settings menu.
    for (const quiz::SettingsCommand& command : quiz::kSettingsCommands)
        if (command.rangeMax)
            range_->addItem(tr("Within %1").arg(*command.rangeMax + 1), *command.rangeMax);
    auto* rangeLabel = new QLabel(tr("&Range:"), this);
    rangeLabel->setBuddy(range_);
    hear_ = MakeButton(tr("Hear a problem"), this);
    restore_ = MakeButton(tr("Restore the original voice"), this);
    restore_->setObjectName("restore");
    message_ = new QLabel(this);
    message_->setObjectName("message");
    message_->setWordWrap(true);
    message_->setFont(app::MakeFont(kMessageFont));
    message_->setMinimumHeight(message_->fontMetrics().height() * 2);
    grid->addWidget(rangeLabel, line, 0);
    grid->addWidget(range_, line, 1);
    grid->addWidget(hear_, line, 2, 1, 2);
    grid->addWidget(restore_, line, kColumnsPerWord + 1, 1, 2);
    grid->addWidget(message_, line + 1, 0, 1, 2 * kColumnsPerWord);
    connect(hear_, &QPushButton::clicked, this, Handler([this](const Done& done) { HearProblem(done); }));
    connect(restore_, &QPushButton::clicked, this, Handler([this](const Done& done) { RestoreBuiltInVoice(done); }));
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

void RecorderWindow::RecordClicked(std::size_t row, const Done& done)
{
    if (recordingRow_ == row)
        FinishTake(done);
    else if (!recordingRow_)
        StartTake(row, done);
    else
        done();
}

void RecorderWindow::StartTake(std::size_t row, const Done& done)
{
    capture_.Start(link_.Reply<audio::StartResult>([this, row, done](audio::StartResult result) {
        switch (result) {
        case audio::StartResult::Started:
            recordingRow_ = row;
            takeTimer_.start(kLongestTakeMs);
            watchTimer_.start(kWatchStepMs);
            ShowRecordingState();
            Say(IsForm(row) ? tr("Recording: say only the red word, as you say it in “%1”… Press Stop when you are done; "
                                 "it also stops by itself after 3 seconds.").arg(FromUtf8(FormOf(row).example))
                            : tr("Recording “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.")
                                  .arg(Word(row)),
                Tone::News);
            break;
        case audio::StartResult::AlreadyRecording:
            break;
        case audio::StartResult::NoMicrophone:
            Say(tr("No microphone was found, so nothing can be recorded. Plug one in and try again."), Tone::Problem);
            break;
        case audio::StartResult::NoAnswer:
            Say(NoAnswer(), Tone::Problem);
            break;
        }
        done();
    }, audio::StartResult::NoAnswer));
}

// A Stop that gets no answer keeps no take, and says why.
void RecorderWindow::FinishTake(const Done& done)
{
    if (!recordingRow_)
        return done();
    const std::size_t row = *recordingRow_;
    takeTimer_.stop();
    watchTimer_.stop();
    capture_.Stop(link_.Reply<std::optional<audio::Samples>>([this, row, done](std::optional<audio::Samples> take) {
        recordingRow_.reset();
        if (take)
            KeepTake(row, *take);
        else
            Say(NoAnswer(), Tone::Problem);
        ShowRecordingState();
        ShowStatuses();
        done();
    }, std::nullopt));
}

void RecorderWindow::KeepTake(std::size_t row, const std::vector<std::int16_t>& take)
{
    // The forms are number words: no quiet around them.
    const speech::SpokenWord word = IsForm(row) ? speech::SpokenWord{} : speech::kSpeechClips[row];
    const speech::ProcessedTake processed =
        speech::ProcessTake(take, {.quietBeforeMs = word.quietBeforeMs, .quietAfterMs = word.quietAfterMs});
    if (processed.verdict != speech::TakeVerdict::Accepted) {
        Say(Refusal(processed.verdict), Tone::Problem);
        return;
    }
    switch (SaveOwnClip(ClipOf(row), processed.clip)) {
    case SaveResult::Saved:
        Say(tr("“%1” is recorded. Press Play to hear it.").arg(Word(row)), Tone::News);
        return;
    case SaveResult::CannotWrite:
        Say(tr("The recording could not be saved (the disk is full, or the folder cannot be written). The voice has "
               "not changed."),
            Tone::Problem);
        return;
    }
}

// A microphone unplugged in the middle of a take ends it without a clip.
void RecorderWindow::WatchMicrophone(const Done& done)
{
    capture_.Lost(link_.Reply<bool>([this, done](bool lost) {
        if (!lost || !recordingRow_)
            return done();
        takeTimer_.stop();
        watchTimer_.stop();
        capture_.Stop(link_.Reply<std::optional<audio::Samples>>([this, done](const std::optional<audio::Samples>&) {
            recordingRow_.reset();
            ShowRecordingState();
            Say(tr("The microphone stopped working, so this take was not recorded. The voice has not changed."),
                Tone::Problem);
            done();
        }, std::nullopt));
    }, true));
}

// While a take runs only its own 停止 works.
void RecorderWindow::ShowRecordingState()
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const bool thisRow = recordingRow_ == row;
        rows_[row].record->setText(thisRow ? tr("Stop") : tr("Record"));
        rows_[row].record->setAccessibleName((thisRow ? tr("Stop recording %1") : tr("Record %1")).arg(Word(row)));
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
        rows_[row].status->setText(own ? tr("Recorded") : tr("Original"));
        QPalette colours = palette();
        if (own)
            colours.setColor(QPalette::WindowText, QColor(0, 0, 200));
        rows_[row].status->setPalette(colours);
    }
    restore_->setEnabled(!recordingRow_ && HasOwnVoice());
}

void RecorderWindow::PlayClicked(std::size_t row, const Done& done)
{
    player_.PlayClip(ClipOf(row), [done](speech::SoundEnd) { done(); });
}

void RecorderWindow::HearProblem(const Done& done)
{
    const int rangeMax = range_->currentData().toInt();
    const auto op = static_cast<quiz::Op>(quiz::Draw(4, random_));
    const quiz::Operands problem = quiz::DrawProblem(rangeMax, op, random_);
    player_.PlayReading(speech::ComposeProblem(problem.first, problem.second, quiz::SignOf(op)),
                        [done](speech::SoundEnd) { done(); });
}

// Asked in a window-modal box that the event loop keeps running under; the
// handler ends with the answer.
void RecorderWindow::RestoreBuiltInVoice(const Done& done)
{
    auto* question = new QMessageBox(QMessageBox::Question, tr("Restore the original voice"),
                                     tr("Delete all your own recordings and go back to the original voice?"),
                                     QMessageBox::Yes | QMessageBox::No, this);
    question->setDefaultButton(QMessageBox::No);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this, done](int answer) {
        if (answer == QMessageBox::Yes && ForgetOwnVoice())
            Say(tr("The original voice is back."), Tone::News);
        else if (answer == QMessageBox::Yes)
            Say(tr("Your recordings could not be deleted. Please try again."), Tone::Problem);
        ShowStatuses();
        done();
    });
    question->open();
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
