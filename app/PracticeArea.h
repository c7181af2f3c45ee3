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
//
// The window title belongs to the content pane, which sets it after both
// calls. Whether to offer to save unsaved results of the file being dropped
// is the area's own affair, as it is when the program closes.
#pragma once

#include <string>

namespace pw {

class PracticeArea {
public:
    virtual ~PracticeArea() = default;
    virtual bool openFile(const std::u16string& path) = 0;
    virtual void resetToNoFile() = 0;
};

}  // namespace pw
