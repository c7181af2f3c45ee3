// The sentence list's table.
#include "content/ui/TypingSentenceList.h"

namespace pw {

TypingSentenceList::TypingSentenceList()
    : m_ownModel(std::make_unique<SentenceListModel>()), m_model(m_ownModel.get()) {
    m_model->addListener(this);
}

TypingSentenceList::TypingSentenceList(SentenceListModel& model) : m_model(&model) {
    m_model->addListener(this);
}

TypingSentenceList::~TypingSentenceList() {
    m_model->removeListener(this);
    // The control may still ask for rows while it goes.
    destroy();
}

bool TypingSentenceList::onCreate() {
    for (const ColumnSpec& column : kColumns) {
        addColumn(column.title, column.width);
    }
    setRowCount(m_model->recordCount());
    return false;
}

std::u16string TypingSentenceList::cellText(int row, int column) const {
    return m_model->cellText(row, column);
}

void TypingSentenceList::recordsReset() {
    clearSelection();
    setRowCount(m_model->recordCount());
}

void TypingSentenceList::recordChanged(int index) {
    refreshRows(index, index);
}

}  // namespace pw
