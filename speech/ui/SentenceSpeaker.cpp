// The sentence speaker pane.
#include "speech/ui/SentenceSpeaker.h"

#include <algorithm>
#include <vector>

#include <wx/window.h>

#include "gui/ChildControl.h"
#include "gui/Graphics.h"
#include "gui/WxText.h"
#include "speech/SpeechNotice.h"

namespace pw {
namespace {

constexpr int kMargin = 6;
constexpr int kRow = 26;
constexpr int kLabelWidth = 112;
// GTK's number fields need more room than a text row: they get the rest of
// the row after a slightly narrower label, and a little more height, centred.
constexpr int kNumberLabelWidth = 106;
constexpr int kNumberHeight = 34;

void placeNumberField(UpDownTextField& field, int rowX, int rowY, int rowWidth) {
    field.setBounds(rowX + kNumberLabelWidth, rowY - (kNumberHeight - kRow) / 2,
                    std::max(rowWidth - kNumberLabelWidth, 60), kNumberHeight);
}

const char16_t* const kOnTips[] = {u"Voice1 を使用する場合はチェックしてください",
                                   u"Voice2 を使用する場合はチェックしてください"};
const char16_t* const kChooserTips[] = {u"Voice1 に関して設定する場合はチェックしてください",
                                        u"Voice2 に関して設定する場合はチェックしてください"};

// text broken at spaces (and at its own line feeds) into lines no wider
// than width, as measure says.
template <typename Measure>
std::vector<std::u16string> wrapWords(const std::u16string& text, int width, Measure measure) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(u'\n', start), text.size());
        const std::u16string paragraph = text.substr(start, end - start);
        std::u16string line;
        size_t word = 0;
        while (word < paragraph.size()) {
            size_t next = paragraph.find(u' ', word);
            next = next == std::u16string::npos ? paragraph.size() : next;
            const std::u16string piece = paragraph.substr(word, next - word);
            const std::u16string longer = line.empty() ? piece : line + u' ' + piece;
            if (!line.empty() && measure(longer) > width) {
                lines.push_back(line);
                line = piece;
            } else {
                line = longer;
            }
            word = next + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void fillCombo(ComboBox& combo, const ChoiceList& list) {
    combo.clear();
    for (int i = 0; i < list.count(); ++i) {
        combo.addItem(list.text(i));
    }
    combo.select(list.selectedIndex());
}

}  // namespace

SentenceSpeaker::SentenceSpeaker(Speaker& speaker) : m_speaker(speaker) {
    setClassName(u"SentenceSpeaker");
}

SentenceSpeaker::~SentenceSpeaker() {
    destroy();
}

int SentenceSpeaker::Notice::wrappedHeight(int width) const {
    const wxWindow* window = handle();
    if (!window || getText().empty()) {
        return 0;
    }
    const auto measure = [window](const std::u16string& line) {
        return window->GetTextExtent(toWx(line)).x;
    };
    const int lines = static_cast<int>(wrapWords(getText(), width, measure).size());
    return lines * window->GetCharHeight();
}

void SentenceSpeaker::Notice::onPaint(Graphics& graphics) {
    const auto measure = [&graphics](const std::u16string& line) {
        return graphics.textExtent(line).x;
    };
    const std::vector<std::u16string> lines = wrapWords(getText(), clientWidth(), measure);
    const int lineHeight = graphics.textExtent(u"Ag").y;
    int y = std::max(0, (clientHeight() - lineHeight * static_cast<int>(lines.size())) / 2);
    for (const std::u16string& line : lines) {
        graphics.drawText(line, 0, y);
        y += lineHeight;
    }
}

void SentenceSpeaker::createControl(BaseWindow& control, BaseWindow& parent,
                                    const std::u16string& text, const std::u16string& tip) {
    // Controls inside the group report to the pane.
    createChildControl(control, parent.handle(), text, tip, this);
}

bool SentenceSpeaker::onCreate() {
    m_group.setText(u"Voice");
    m_group.create(*this, 0, 0, 10, 10);
    for (int i = 0; i < 2; ++i) {
        const std::u16string number = i == 0 ? u"1" : u"2";
        m_chooser[i].setGroupStart(i == 0);
        createControl(m_chooser[i], m_group, number, kChooserTips[i]);
        createControl(m_voiceOn[i], m_group, u"Voice" + number, kOnTips[i]);
        createControl(m_voiceCombo[i], m_group, u"");
        createControl(m_speedLabel[i], m_group, u"Voice" + number + u" Speed");
        m_speed[i].setRange(Speaker::kMinRate, Speaker::kMaxRate);
        createControl(m_speed[i], m_group, u"");
    }
    createControl(m_formatLabel, *this, u"Format");
    createControl(m_formatCombo, *this, u"");
    createControl(m_sentenceAudio, *this, u"Sentence audio",
                  u"センテンスに関連付けられた音声ファイルを使用する場合はチェックしてください");
    createControl(m_playbackLabel, *this, u"PlaybackSpeed");
    m_playbackSpeed.setRange(Speaker::kMinPlaybackSpeed, Speaker::kMaxPlaybackSpeed);
    createControl(m_playbackSpeed, *this, u"", u"音声ファイル再生速度 (50-200%)");
    createControl(m_volumeLabel, *this, u"Volume");
    m_volume.setRange(0, 100);
    createControl(m_volume, *this, u"");
    createControl(m_dictionary, *this, u"辞書",
                  u"この辞書は SAPI を使った音声読み上げ時に使用します");
    // The dictionary window belongs to another subsystem: the program hands
    // the pane the way to open it.
    m_dictionary.setEnabled(static_cast<bool>(m_dictionaryOpener));
    createControl(m_notice, *this, u"");
    m_notice.setVisible(false);

    fillCombo(m_voiceCombo[0], m_speaker.voiceList(0));
    fillCombo(m_voiceCombo[1], m_speaker.voiceList(1));
    fillCombo(m_formatCombo, m_speaker.formatList());
    m_chooser[0].setChecked(true);
    refreshControls();
    showVoice(0);
    // The speaker changes its defaults when a file opens; the pane follows.
    m_speaker.setSettingsListener([this] { refreshControls(); });
    setNoticeShower([this](const std::u16string& text) { addNotice(text); });
    return false;
}

void SentenceSpeaker::onDestroy() {
    setNoticeShower(nullptr);
    m_speaker.setSettingsListener(nullptr);
    BaseWindow::onDestroy();
}

void SentenceSpeaker::addNotice(const std::u16string& text) {
    const std::u16string shown = m_notice.getText();
    if (shown.find(text) != std::u16string::npos) {
        return;
    }
    m_notice.setText(shown.empty() ? text : shown + u"\n" + text);
    m_notice.setToolTip(m_notice.getText());
    onSize(clientWidth(), clientHeight());
    m_notice.invalidate();
}

void SentenceSpeaker::onSize(int width, int height) {
    if (!m_group.handle()) {
        return;
    }
    m_rowLayout = height < kRowLayoutHeight;
    for (BaseWindow* control : std::initializer_list<BaseWindow*>{
             &m_group, &m_formatLabel, &m_formatCombo, &m_playbackLabel, &m_playbackSpeed,
             &m_volumeLabel, &m_volume, &m_dictionary}) {
        control->setVisible(!m_rowLayout);
    }
    m_notice.setVisible(!m_notice.getText().empty());
    if (m_rowLayout) {
        layOutRow(width, height);
    } else {
        layOutFull(width);
    }
}

void SentenceSpeaker::layOutRow(int width, int height) {
    const wxSize box = m_sentenceAudio.handle()->GetBestSize();
    const int boxWidth = std::min(box.x + kMargin, width);
    m_sentenceAudio.setBounds(0, 0, boxWidth, height);
    m_notice.setBounds(boxWidth + 2 * kMargin, 0, std::max(width - boxWidth - 2 * kMargin, 0),
                       height);
}

int SentenceSpeaker::fullHeight(int width) const {
    const int groupHeight =
        3 * kRow + 4 * kMargin + (m_group.handle() ? m_group.clientArea().y : 16);
    const int rows = kMargin + groupHeight + kMargin + 5 * (kRow + kMargin);
    const int notice = m_notice.wrappedHeight(std::max(width - 4 * kMargin, 40));
    return rows + (notice > 0 ? notice + kMargin : 0);
}

void SentenceSpeaker::layOutFull(int width) {
    const int inner = std::max(width - 4 * kMargin, 40);
    const int groupHeight =
        3 * kRow + 4 * kMargin + (m_group.handle() ? m_group.clientArea().y : 16);
    m_group.setBounds(kMargin, kMargin, width - 2 * kMargin, groupHeight);
    const wxRect area = m_group.clientArea();
    for (int i = 0; i < 2; ++i) {
        int y = area.y;
        m_chooser[i].setBounds(area.x + i * 40, y, 36, kRow);
        m_voiceOn[i].setBounds(area.x + 90, y, std::max(area.width - 90, 40), kRow);
        y += kRow + kMargin;
        m_voiceCombo[i].setBounds(area.x, y, area.width, kRow);
        y += kRow + kMargin;
        m_speedLabel[i].setBounds(area.x, y, kLabelWidth, kRow);
        placeNumberField(m_speed[i], area.x, y, area.width);
    }
    int y = kMargin + groupHeight + kMargin;
    m_formatLabel.setBounds(2 * kMargin, y, kLabelWidth, kRow);
    m_formatCombo.setBounds(2 * kMargin + kLabelWidth, y, std::max(inner - kLabelWidth, 40), kRow);
    y += kRow + kMargin;
    m_sentenceAudio.setBounds(2 * kMargin, y, inner, kRow);
    y += kRow + kMargin;
    m_playbackLabel.setBounds(2 * kMargin, y, kLabelWidth, kRow);
    placeNumberField(m_playbackSpeed, 2 * kMargin, y, inner);
    y += kRow + kMargin;
    m_volumeLabel.setBounds(2 * kMargin, y, kLabelWidth, kRow);
    m_volume.setBounds(2 * kMargin + kLabelWidth, y, std::max(inner - kLabelWidth, 40), kRow);
    y += kRow + kMargin;
    m_dictionary.setBounds(2 * kMargin, y, 80, kRow);
    y += kRow + kMargin;
    m_notice.setBounds(2 * kMargin, y, inner, m_notice.wrappedHeight(inner));
}

void SentenceSpeaker::showVoice(int index) {
    m_shownVoice = static_cast<int>(slot(index));
    for (int i = 0; i < 2; ++i) {
        const bool shown = i == m_shownVoice;
        m_voiceCombo[i].setVisible(shown);
        m_voiceOn[i].setVisible(shown);
        m_speedLabel[i].setVisible(shown);
        m_speed[i].setVisible(shown);
    }
}

void SentenceSpeaker::refreshControls() {
    for (int i = 0; i < 2; ++i) {
        m_voiceCombo[i].select(m_speaker.voiceList(i).selectedIndex());
        const bool on = m_speaker.isVoiceEnabled(i);
        m_voiceOn[i].setChecked(on);
        m_voiceCombo[i].setEnabled(on);
        m_speed[i].setEnabled(on);
        m_speed[i].setValue(m_speaker.rate(i));
    }
    m_formatCombo.select(m_speaker.formatList().selectedIndex());
    m_sentenceAudio.setChecked(m_speaker.usesSentenceAudio());
    m_playbackSpeed.setValue(m_speaker.playbackSpeed());
    m_playbackSpeed.setEnabled(m_speaker.usesSentenceAudio());
    m_volume.setValue(m_speaker.volume());
}

void SentenceSpeaker::loadSettings(const ProfileSettings& settings) {
    m_speaker.loadSettings(settings);
    refreshControls();
}

void SentenceSpeaker::saveSettings(ProfileSettings& settings) const {
    m_speaker.saveSettings(settings);
}

void SentenceSpeaker::setDictionaryOpener(std::function<void()> opener) {
    m_dictionaryOpener = std::move(opener);
    if (m_dictionary.handle()) {
        m_dictionary.setEnabled(static_cast<bool>(m_dictionaryOpener));
    }
}

bool SentenceSpeaker::onCommand(const Command& command) {
    const wxWindow* sender = command.sender;
    if (sender == m_dictionary.handle() && command.code == codes::kClicked) {
        if (m_dictionaryOpener) {
            m_dictionaryOpener();
        }
        return true;
    }
    for (int i = 0; i < 2; ++i) {
        if (sender == m_chooser[i].handle() && command.code == codes::kClicked) {
            showVoice(i);
            return true;
        }
        if (sender == m_voiceCombo[i].handle() && command.code == codes::kSelectionChanged) {
            m_speaker.selectVoice(i, m_voiceCombo[i].selectedIndex());
            return true;
        }
        if (sender == m_voiceOn[i].handle() && command.code == codes::kClicked) {
            m_speaker.setVoiceEnabled(i, m_voiceOn[i].isChecked());
            m_voiceCombo[i].setEnabled(m_voiceOn[i].isChecked());
            m_speed[i].setEnabled(m_voiceOn[i].isChecked());
            return true;
        }
        if (sender == m_speed[i].handle() && command.code == codes::kValueChanged) {
            m_speaker.setRate(i, m_speed[i].value());
            return true;
        }
    }
    if (sender == m_formatCombo.handle() && command.code == codes::kSelectionChanged) {
        m_speaker.selectFormat(m_formatCombo.selectedIndex());
    } else if (sender == m_sentenceAudio.handle() && command.code == codes::kClicked) {
        m_speaker.setUseSentenceAudio(m_sentenceAudio.isChecked());
        m_playbackSpeed.setEnabled(m_sentenceAudio.isChecked());
    } else if (sender == m_playbackSpeed.handle() && command.code == codes::kValueChanged) {
        m_speaker.setPlaybackSpeed(m_playbackSpeed.value());
    } else if (sender == m_volume.handle() && command.code == codes::kValueChanged) {
        m_speaker.setVolume(m_volume.value());
    } else {
        return BaseWindow::onCommand(command);
    }
    return true;
}

}  // namespace pw
