// The audio conversion dialog.
#include "export/ui/FlashWritingConverter.h"

#include <algorithm>

#include <wx/utils.h>
#include <wx/window.h>

#include "core/AppFiles.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "export/FileCopy.h"
#include "gui/WxText.h"

namespace pw {
namespace {

constexpr int kMargin = 8;
constexpr int kRow = 30;
// GTK's number fields need more room than a text row.
constexpr int kNumberHeight = 34;

bool isFolder(const std::u16string& path) {
    return pw::isFolder(toUtf8(path));
}

}  // namespace

FlashWritingConverter::FlashWritingConverter(Speaker& speaker, std::vector<ConversionRow> rows)
    : m_speaker(speaker), m_conversion(speaker, std::move(rows)) {
    m_conversion.setListener(this);
}

FlashWritingConverter::~FlashWritingConverter() {
    m_conversion.setListener(nullptr);
}

bool FlashWritingConverter::onInit() {
    setTitle(kCaption);
    wxWindow* parent = handle();
    const auto make = [parent](BaseWindow& control, const std::u16string& text,
                               const std::u16string& tip = {}) {
        control.setText(text);
        control.create(parent, 0, 0, 10, 10);
        if (!tip.empty()) {
            control.setToolTip(tip);
        }
        // Labels draw themselves on the dialog's own colour.
        if (dynamic_cast<Label*>(&control)) {
            control.setBackColor(parent->GetBackgroundColour());
        }
    };
    const ConverterOptions options = ConverterOptions::load();
    m_storedLyricsFormat = options.lyricsFormat;
    if (!m_encoderSet) {
        m_encoder = findEncoder();
    }
    m_formats = loadPlayerFormats(learnerFile(kLyricsFormatsPath));

    make(m_outputLabel, u"OutputPath:");
    make(m_output, options.outputPath);
    make(m_browse, u"...");
    make(m_intervalLabel, u"Interval:");
    m_interval.setRange(0, ConverterOptions::kMaxInterval);
    m_interval.setValue(options.intervalMs);
    make(m_interval, u"", u"音声ファイルに追加する無音時間をミリ秒単位で設定します。");
    make(m_spell, u"Spelling out words", u"英単語とそのスペルを読み上げます。");
    m_spell.setChecked(options.spellOutWords);
    make(m_lyricsLabel, u"MP3");
    make(m_lyrics, u"",
         u"Resources/Lyrics.xml で設定されている ID3 タグを\r\n出力する MP3 に設定します。");
    if (m_encoder.empty()) {
        m_lyrics.addItem(kNoEncoder);
        m_lyrics.select(0);
    } else {
        m_lyrics.addItem(kNoLyrics);
        for (const PlayerFormat& format : m_formats) {
            m_lyrics.addItem(format.name);
        }
        m_lyrics.select(options.lyricsFormat < m_lyrics.itemCount() ? options.lyricsFormat : 0);
    }
    make(m_start, u"Start");
    make(m_stop, u"Stop");
    make(m_openFolder, u"Open Output Folder");
    make(m_progress, u"");
    make(m_timeLeft, u"");

    make(m_table, u"");
    m_table.addColumn(u"ID", 50, Table::Align::Right);
    m_table.addColumn(u"Sentence", 260);
    m_table.addColumn(u"Translation", 200);
    m_table.addColumn(u"Output", 160);
    m_table.addColumn(u"Progress", 200);
    const std::vector<ConversionRow>& rows = m_conversion.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        m_table.addRow({fromUtf8(std::to_string(i + 1)), rows[i].sentence, rows[i].translation,
                        rows[i].outputName, rows[i].progress});
    }
    showRunning(m_conversion.isRunning());
    setSizeCentred(900, 560);
    onSize(clientWidth(), clientHeight());
    // Not the path field, which would select its whole text.
    m_start.setFocus();
    return true;
}

void FlashWritingConverter::onSize(int width, int height) {
    if (!m_table.handle()) {
        return;
    }
    const int inner = width - 2 * kMargin;
    int y = kMargin;
    m_outputLabel.setBounds(kMargin, y, 90, kRow);
    // GTK pads a button's text: "..." needs about 48 pixels.
    m_output.setBounds(kMargin + 90, y, std::max(inner - 90 - 48 - kMargin, 60), kRow);
    m_browse.setBounds(width - kMargin - 48, y, 48, kRow);
    y += kRow + kMargin;
    int x = kMargin;
    m_intervalLabel.setBounds(x, y, 64, kRow);
    x += 64;
    m_interval.setBounds(x, y - (kNumberHeight - kRow) / 2, 130, kNumberHeight);
    x += 130 + 2 * kMargin;
    m_spell.setBounds(x, y, 180, kRow);
    x += 180 + kMargin;
    m_lyricsLabel.setBounds(x, y, 40, kRow);
    x += 40;
    m_lyrics.setBounds(x, y, std::max(width - kMargin - x, 80), kRow);
    y += kRow + kMargin;
    m_start.setBounds(kMargin, y, 90, kRow);
    m_stop.setBounds(kMargin + 90 + kMargin, y, 90, kRow);
    m_openFolder.setBounds(kMargin + 2 * (90 + kMargin), y, 170, kRow);
    x = kMargin + 2 * (90 + kMargin) + 170 + 2 * kMargin;
    const int labelWidth = 240;
    m_progress.setBounds(x, y + 6, std::max(width - kMargin - labelWidth - x, 60), kRow - 12);
    m_timeLeft.setBounds(width - kMargin - labelWidth + kMargin, y, labelWidth - kMargin, kRow);
    y += kRow + kMargin;
    m_table.setBounds(kMargin, y, inner, std::max(height - y - kMargin, 40));
}

ConverterOptions FlashWritingConverter::controlOptions() const {
    ConverterOptions options;
    options.outputPath = m_output.getText();
    options.intervalMs = m_interval.value();
    options.spellOutWords = m_spell.isChecked();
    // Without the encoder the list offers nothing: the learner's choice stays.
    options.lyricsFormat =
        m_encoder.empty() ? m_storedLyricsFormat : std::max(m_lyrics.selectedIndex(), 0);
    return options;
}

bool FlashWritingConverter::start() {
    if (m_conversion.isRunning()) {
        return false;
    }
    if (!isFolder(m_output.getText())) {
        const std::optional<std::u16string> chosen =
            ui().chooseFolder(u"OutputPath", m_output.getText());
        if (!chosen || !isFolder(*chosen)) {
            messageBox(u"Couldn't select OutputFolder.");
            return false;
        }
        m_output.setText(*chosen);
    }
    const ConversionSettings settings =
        conversionSettings(controlOptions(), m_formats, m_encoder, m_speaker);
    if (!m_conversion.start(settings)) {
        return false;
    }
    showRunning(m_conversion.isRunning());
    showProgress();
    return true;
}

void FlashWritingConverter::showRunning(bool running) {
    m_start.setEnabled(!running);
    m_stop.setEnabled(running);
}

void FlashWritingConverter::showProgress() {
    const AudioConversion::Progress progress = m_conversion.progress();
    m_progress.setRange(static_cast<int>(std::max<size_t>(progress.total, 1)));
    m_progress.setValue(static_cast<int>(progress.done));
    m_timeLeft.setText(describeProgress(progress, m_conversion.isRunning()));
}

void FlashWritingConverter::openOutputFolder() {
    const std::u16string folder = m_output.getText();
    if (!isFolder(folder) || !wxLaunchDefaultApplication(toWx(folder))) {
        messageBox(u"Couldn't open " + folder);
    }
}

bool FlashWritingConverter::onCommand(const Command& command) {
    if (command.code != codes::kClicked) {
        return Dialog::onCommand(command);
    }
    if (command.sender == m_start.handle()) {
        start();
    } else if (command.sender == m_stop.handle()) {
        m_conversion.stop();
    } else if (command.sender == m_browse.handle()) {
        if (const auto chosen = ui().chooseFolder(u"OutputPath", m_output.getText())) {
            m_output.setText(*chosen);
        }
    } else if (command.sender == m_openFolder.handle()) {
        openOutputFolder();
    } else {
        return Dialog::onCommand(command);
    }
    return true;
}

bool FlashWritingConverter::onCancel() {
    controlOptions().save();
    if (m_conversion.isRunning()) {
        m_closeWhenEnded = true;
        m_conversion.stop();
        return !m_conversion.isRunning();
    }
    return true;
}

void FlashWritingConverter::rowChanged(size_t row) {
    if (m_table.handle()) {
        m_table.setCellText(static_cast<int>(row), kProgressColumn,
                            m_conversion.rows()[row].progress);
    }
}

void FlashWritingConverter::rowFinished(size_t row) {
    if (m_table.handle()) {
        m_table.ensureVisible(static_cast<int>(row));
        showProgress();
    }
}

void FlashWritingConverter::conversionEnded() {
    if (!m_table.handle()) {
        return;
    }
    showRunning(false);
    showProgress();
    if (m_closeWhenEnded) {
        m_closeWhenEnded = false;
        close(wxID_CANCEL);
    }
}

}  // namespace pw
