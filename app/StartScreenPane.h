// What the practice area shows before a learning file is open: the program's
// name and where to begin. It also stands in as the practice area: it accepts
// a learning file that can be read and names the open file on its screen.
#pragma once

#include <string>

#include "app/PracticeArea.h"
#include "gui/Component.h"

namespace pw {

class StartScreenPane : public Component, public PracticeArea {
public:
    bool onCreate() override;

    // An XML file must parse; an MP3 file must be readable.
    bool openFile(const std::u16string& path) override;
    void resetToNoFile() override;
    // The file name of the open file; empty when none is open.
    const std::u16string& openFileName() const { return m_openFileName; }

protected:
    void onPaint(Graphics& graphics) override;

private:
    std::u16string m_openFileName;
};

}  // namespace pw
