// Where each of the program's files lives.
//
// Portable: the program's folder holds its run-time folders and can be
// written, so everything stays there (the build folder, an unpacked archive).
// Installed: the shipped data is only read, from the installation's data
// folder (PREFIX/share/phrasewright/); settings live in
// $XDG_CONFIG_HOME/phrasewright/ and the learner's own files in
// $XDG_DATA_HOME/phrasewright/, under the same names as in a portable folder
// ("Tree.xml", "Resources/ThemeList.xml", "Lists/", ...). A learner's file is
// copied from its shipped default the first time it is asked for and never
// replaced afterwards, so an upgrade leaves the learner's changes alone.
// A portable folder that cannot be written is treated like an installation
// whose data folder it is.
//
// Ask for shippedFile what the program only reads (images, sounds, page
// templates) and for learnerFile or learnerFolder whatever it writes or the
// learner may edit (the library, totals, themes, lyrics formats, dictionaries,
// learning files):
//
//   HistoryManager log(learnerFile("Log.xml"));
//   toolBar.loadImages(shippedFile("Resources/MainTool.bmp"), ...);
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace pw {

struct FileLayout {
    enum class Mode { Portable, Installed };

    Mode mode = Mode::Portable;
    // Each "" (the current directory) or a folder ending in "/".
    std::string shippedFolder;
    std::string learnerFolder;
    std::string settingsFolder;
    // Set when a portable folder could not be used: one line for the user.
    std::string notice;
};

// What the choice of layout depends on; fromSystem fills it for this process.
struct FileLayoutInputs {
    std::string programFolder;        // ends in "/"
    std::string installedDataFolder;  // where an installation keeps its shipped data
    std::string home;
    std::string xdgConfigHome;
    std::string xdgDataHome;
    std::function<bool(const std::string& folder)> isWritable;

    static FileLayoutInputs fromSystem(const std::string& programFolder);
};

FileLayout decideFileLayout(const FileLayoutInputs& inputs);

class AppFiles {
public:
    // The folder of learning files; the starter library's entries point into it.
    static constexpr const char* kDataFolder = "Data/";
    // Below XDG_CONFIG_HOME, XDG_DATA_HOME and the installation's data folder.
    static constexpr const char* kFolderName = "phrasewright";

    static AppFiles& instance();

    // Until a layout is set, every path is relative to the current directory.
    void setLayout(FileLayout layout);
    FileLayout layout() const;

    // The shipped, read-only file or folder name ("Resources/type.wav").
    std::string shipped(std::string_view name) const;
    // The learner's own copy of name ("Log.xml"), copied from the shipped
    // default when the learner has none yet. Its folder exists afterwards, so
    // that a first save succeeds.
    std::string learner(std::string_view name);
    // The learner's folder name ("Lists/"); when it does not exist yet it is
    // made holding copies of the shipped folder's files.
    std::string learnerFolder(std::string_view name);
    // Makes the per-user folders and the learner's folder of learning files;
    // false with the reason when a folder could not be made.
    bool prepareFolders(std::string* error = nullptr);

    // Says where the files of this run live, for --help.
    std::string describe() const;

private:
    AppFiles() = default;

    mutable std::mutex m_mutex;
    FileLayout m_layout;
};

// The paths of AppFiles::instance(), for the call sites.
std::string shippedFile(std::string_view name);
std::string learnerFile(std::string_view name);
std::string learnerFolder(std::string_view name);

}  // namespace pw
