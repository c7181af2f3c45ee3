// What the content pane asks of the practice area, the pane beside the
// library that practises the open learning file.
//
// The content pane (TypingNavigationPane::openLearningFile) calls these on the
// user-interface thread once the area's window exists:
//
//   openFile(path)   Ends any run in progress and drops the open file (the
//                    practice is reset, as when a run is started afresh), then
//                    opens path: an XML sentence list or an MP3 file, given as
//                    the library or the command line has it (absolute, or
//                    relative to the program folder). True when the file is
//                    open and ready for practice; false leaves the area with no
//                    open file. Shows no box for a file that does not exist: the
//                    content pane tries "Data/" + path next and stays silent if
//                    that fails too. A file that exists but cannot be read may
//                    report why, as the file's reader does.
//   resetToNoFile()  Ends any run and drops the open file: the area shows its
//                    start screen. Called after a failed open and when the
//                    library entry of the open file is removed.
//   releaseOpenFile()  Called before another file is opened and before the
//                    open one is dropped from the library: offers to save
//                    results that have not been saved. False when the learner
//                    wanted them saved and they could not be written: the
//                    content pane then keeps the open file as it is.
//   finish()         The content pane closes: a last offer to save, and the
//                    area's settings are written. False when results could
//                    not be saved and the learner keeps the program open.
//
// The content pane also hands on the keys it receives (its own and those
// typed into the HTML view) and the tool bar's theme command.
//
// The window title belongs to the content pane, which sets it after openFile
// and resetToNoFile.
#pragma once

#include <string>

#include "gui/Events.h"

namespace pw {

class PracticeArea {
public:
    virtual ~PracticeArea() = default;
    virtual bool openFile(const std::u16string& path) = 0;
    virtual void resetToNoFile() = 0;
    virtual bool releaseOpenFile() { return true; }
    virtual bool finish() { return true; }

    // Keys; true when the area used one (a used key-down gives no character).
    virtual bool keyDown(const KeyInput&) { return false; }
    virtual bool keyUp(const KeyInput&) { return false; }
    virtual bool charTyped(const KeyInput&) { return false; }
    // The theme menu, at the mouse.
    virtual void showThemeMenu() {}
};

}  // namespace pw
