#pragma once
// The recorder's only window, in the desktop's language (Simplified or
// Traditional Chinese, else English), the words themselves always in
// Simplified Chinese: one row per word (the word in large type, Record,
// Play, and Original or Recorded); under a heading, one such row for each
// form a number word takes inside a number (speech::kWordForms), shown in an
// example with the word in red, which a voice may go without; then a range
// and Hear a problem to hear a
// whole problem in the voice as it now stands, Restore the original voice to
// go back to the built-in voice, and one line that says what happened. Its
// texts are drawn in the parent's face (Latin letters and digits in Zorbanu
// Sans, Chinese in Zorbanu Song: app/Fonts.h), the words in Song.
//
// It is wiring only: SdlCapture records, speech::ProcessTake judges and
// shapes a take, UserVoice keeps the files, and the composer with the SDL
// clip player speaks. It holds no sound processing or file logic of its own
// and never touches the quiz window.

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "app/Fonts.h"
#include "app/HandlerGate.h"
#include "app/SoundLink.h"
#include "audio/SdlCapture.h"
#include "quiz/Random.h"
#include "speech/Clips.h"
#include "speech/Composer.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace recorder {

// How the message line reads: news in the window's text colour, a problem
// that needs the parent's attention in dark red.
enum class Tone { News, Problem };

// The font of every text but the words themselves, also set for the whole
// program so that message boxes read as easily.
inline constexpr app::FontSpec kTextFont{app::FontFace::Parent, 12};

// A take ends by itself after this long.
inline constexpr int kLongestTakeMs = 3000;

class RecorderWindow final : public QWidget {
    Q_OBJECT

public:
    RecorderWindow(audio::SdlCapture& capture, speech::ClipPlayer& player, app::SoundLink& link,
                   quiz::RandomSource& random, QWidget* parent = nullptr);

private:
    using Done = app::HandlerGate::Done;

    // The controls of one word's row that change after they are made.
    struct WordRow {
        QPushButton* record = nullptr;
        QPushButton* play = nullptr;
        QLabel* status = nullptr;
    };

    std::function<void()> Handler(std::function<void(const Done&)> work);
    // 录音 on a row: starts a take, or ends the one running on that row.
    void RecordClicked(std::size_t row, const Done& done);
    void PlayClicked(std::size_t row, const Done& done);
    void HearProblem(const Done& done);
    void RestoreBuiltInVoice(const Done& done);
    void BuildRows(QGridLayout* grid);
    WordRow MakeRow(std::size_t row);
    void BuildFooter(QGridLayout* grid);
    void SetTabOrder();
    void SayWhetherMicrophone(std::optional<bool> microphone);
    void StartTake(std::size_t row, const Done& done);
    void FinishTake(const Done& done);
    void KeepTake(std::size_t row, const std::vector<std::int16_t>& take);
    void WatchMicrophone(const Done& done);
    void ShowRecordingState();
    void ShowStatuses();
    void Say(const QString& text, Tone tone);

    audio::SdlCapture& capture_;
    speech::ClipPlayer& player_;
    app::SoundLink& link_;
    quiz::RandomSource& random_;
    std::array<WordRow, speech::kSpeechClips.size() + speech::kWordForms.size()> rows_{};
    QComboBox* range_ = nullptr;
    QPushButton* hear_ = nullptr;
    QPushButton* restore_ = nullptr;
    QLabel* message_ = nullptr;
    std::optional<std::size_t> recordingRow_;
    QTimer takeTimer_;
    QTimer watchTimer_;
    app::HandlerGate gate_{this};
};

}  // namespace recorder
