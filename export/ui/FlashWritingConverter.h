// The audio conversion dialog: the output folder, the silence between the
// pieces, spelling, the lyrics format, Start and Stop, the table of the
// selected sentences with their output names and progress, and a progress
// bar with the time left. The work is AudioConversion's; the dialog shows it
// and keeps its options in the settings file ("FlashWriting").
//
//   FlashWritingConverter dialog(speaker, makeConversionRows(list, rows, wordMode));
//   dialog.showModal(mainWindow());
#pragma once

#include <string>
#include <vector>

#include "export/AudioConversion.h"
#include "export/ConverterOptions.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/Label.h"
#include "gui/ProgressBar.h"
#include "gui/Table.h"
#include "gui/TextArea.h"
#include "gui/UpDownTextField.h"

namespace pw {

class Speaker;

class FlashWritingConverter : public Dialog, private ConversionListener {
public:
    static constexpr const char16_t* kCaption = u"英文と翻訳文をくっつけて音声ファイルに変換";
    static constexpr const char16_t* kNoLyrics = u"No lyrics";
    static constexpr const char16_t* kNoEncoder = u"lame.exe is not found in the Plugins folder";
    enum Column : int {
        kIdColumn,
        kSentenceColumn,
        kTranslationColumn,
        kOutputColumn,
        kProgressColumn
    };

    // speaker must outlive the dialog; it speaks the pieces.
    FlashWritingConverter(Speaker& speaker, std::vector<ConversionRow> rows);
    ~FlashWritingConverter() override;

    // The encoder the dialog uses (findEncoder() unless set before it opens).
    void setEncoder(std::string encoder) {
        m_encoder = std::move(encoder);
        m_encoderSet = true;
    }
    AudioConversion& conversion() { return m_conversion; }

    // The controls, for tests and pictures.
    TextField& outputField() { return m_output; }
    Button& browseButton() { return m_browse; }
    Button& startButton() { return m_start; }
    Button& stopButton() { return m_stop; }
    UpDownTextField& intervalField() { return m_interval; }
    CheckBox& spellBox() { return m_spell; }
    ComboBox& lyricsCombo() { return m_lyrics; }
    Button& openFolderButton() { return m_openFolder; }
    Table& table() { return m_table; }
    ProgressBar& progressBar() { return m_progress; }
    Label& timeLeftLabel() { return m_timeLeft; }

    // Start: asks for the output folder when it does not exist, then starts
    // the conversion. False when nothing started.
    bool start();

    bool onInit() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    // While converting, closing stops first and closes once the run ended.
    bool onCancel() override;

private:
    void rowChanged(size_t row) override;
    void rowFinished(size_t row) override;
    void conversionEnded() override;

    ConverterOptions controlOptions() const;
    void showRunning(bool running);
    void showProgress();
    void openOutputFolder();

    Speaker& m_speaker;
    AudioConversion m_conversion;
    std::vector<PlayerFormat> m_formats;
    std::string m_encoder;
    bool m_encoderSet = false;
    int m_storedLyricsFormat = 0;
    bool m_closeWhenEnded = false;

    Label m_outputLabel;
    TextField m_output;
    Button m_browse;
    Label m_intervalLabel;
    UpDownTextField m_interval;
    CheckBox m_spell;
    Label m_lyricsLabel;
    ComboBox m_lyrics;
    Button m_start;
    Button m_stop;
    Button m_openFolder;
    ProgressBar m_progress;
    Label m_timeLeft;
    Table m_table;
};

}  // namespace pw
