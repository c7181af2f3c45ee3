// The sentence list beside the typing area: one row per record of the open
// learning file, with the columns Check, Trial, Sentence, Translation,
// Dictation and Writing. Rows are drawn on demand from a SentenceListModel
// (the list control's virtual mode), so tens of thousands of records show at
// once; the model tells the list which rows to redraw.
//
// The operations below forward to the model, which practice may also drive
// directly by record index; see content/SentenceListModel.h.
#pragma once

#include <memory>
#include <string>

#include "content/SentenceListModel.h"
#include "gui/TableComponent.h"

namespace pw {

class TypingSentenceList : public TableComponent, private SentenceListListener {
public:
    struct ColumnSpec {
        const char16_t* title;
        int width;  // pixels, before the user changes it
    };
    // Wide enough for their titles in the toolkit's font, and narrow enough
    // that the score columns show beside the practice pane's controls.
    static constexpr ColumnSpec kColumns[SentenceListModel::kColumnCount] = {
        {u"Check", 56},        {u"Trial", 48},     {u"Sentence", 200},
        {u"Translation", 190}, {u"Dictation", 76}, {u"Writing", 68},
    };
    // The columns together, and room for the scroll bar beside them.
    static constexpr int columnsWidth() {
        int width = 0;
        for (const ColumnSpec& column : kColumns) {
            width += column.width;
        }
        return width;
    }
    static constexpr int kScrollBarRoom = 24;

    // A list with a model of its own.
    TypingSentenceList();
    // A list showing model, which must outlive it.
    explicit TypingSentenceList(SentenceListModel& model);
    ~TypingSentenceList() override;

    SentenceListModel& model() { return *m_model; }
    const SentenceListModel& model() const { return *m_model; }

    std::u16string cellText(int row, int column) const override;

    bool open(const std::u16string& path) { return m_model->open(path); }
    bool loadFromMp3(const std::string& path) { return m_model->loadFromMp3(path); }
    bool refresh() { return m_model->refresh(); }
    void setWordMode(bool wordMode) { m_model->setWordMode(wordMode); }
    int recordCount() const { return m_model->recordCount(); }
    std::u16string text(int i, TextKind kind) { return m_model->text(i, kind); }
    Element* textNode(int i, TextKind kind) { return m_model->textNode(i, kind); }
    void setRecordText(int i, TextKind kind, std::u16string text) {
        m_model->setRecordText(i, kind, std::move(text));
    }
    void incrementTrial(int i) { m_model->incrementTrial(i); }
    void setCheck(int i, int bit, bool on) { m_model->setCheck(i, bit, on); }
    void setScore(int i, std::u16string scoreText, bool writing) {
        m_model->setScore(i, std::move(scoreText), writing);
    }
    double getScore(int i, bool writing) const { return m_model->getScore(i, writing); }
    const std::u16string& getDescription() const { return m_model->getDescription(); }
    void setDescription(const std::u16string& text) { m_model->setDescription(text); }
    int startTime(int i) const { return m_model->startTime(i); }
    int endTime(int i) const { return m_model->endTime(i); }
    bool audioSegment(int i, int& start, int& end) const {
        return m_model->audioSegment(i, start, end);
    }
    bool audioSource(int i, std::string& path, int& start, int& end) const {
        return m_model->audioSource(i, path, start, end);
    }

protected:
    bool onCreate() override;

private:
    void recordsReset() override;
    void recordChanged(int index) override;

    std::unique_ptr<SentenceListModel> m_ownModel;
    SentenceListModel* m_model;
};

}  // namespace pw
