// The portable and installed layouts of the program's files.
#include "core/AppFiles.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/SafeFile.h"

#ifndef PW_INSTALLED_DATA_DIR
#define PW_INSTALLED_DATA_DIR "../share/phrasewright"
#endif

namespace pw {
namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool isAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The base-directory convention ignores relative values.
std::string xdgFolder(const std::string& value, const std::string& home, const char* fallback) {
    return isAbsolute(value) ? withSlash(value) : withSlash(home) + fallback;
}

// Copies through the safe writer, so that an interrupted copy never leaves a
// half file that would then count as the learner's own.
void copyFile(const std::string& from, const std::string& to) {
    std::string bytes;
    if (readFileBytes(from, bytes)) {
        replaceFileContents(to, bytes);
    }
}

// Copies the files of from that to lacks, keeping every file to has.
void copyMissing(const std::string& from, const std::string& to) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const std::string target = to + it->path().lexically_relative(from).string();
        if (it->is_directory(ec)) {
            fs::create_directories(target, ec);
        } else if (it->is_regular_file(ec) && !exists(target)) {
            copyFile(it->path().string(), target);
        }
    }
}

// Makes folder and its parents; a folder made here is the user's alone.
bool makeFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    if (isDirectory(folder)) {
        return true;
    }
    fs::create_directories(folder, ec);
    if (!ec) {
        fs::permissions(folder, fs::perms::owner_all, ec);
        return true;
    }
    if (error) {
        *error = "cannot make the folder " + folder + ": " + ec.message();
    }
    return false;
}

}  // namespace

FileLayoutInputs FileLayoutInputs::fromSystem(const std::string& programFolder) {
    FileLayoutInputs inputs;
    inputs.programFolder = withSlash(programFolder);
    inputs.installedDataFolder =
        withSlash((fs::path(inputs.programFolder) / PW_INSTALLED_DATA_DIR).lexically_normal());
    inputs.home = environment("HOME");
    if (inputs.home.empty()) {
        if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) {
            inputs.home = user->pw_dir;
        }
    }
    if (inputs.home.empty()) {
        std::error_code ec;
        inputs.home = fs::temp_directory_path(ec).string();
    }
    inputs.xdgConfigHome = environment("XDG_CONFIG_HOME");
    inputs.xdgDataHome = environment("XDG_DATA_HOME");
    inputs.isWritable = [](const std::string& folder) { return access(folder.c_str(), W_OK) == 0; };
    return inputs;
}

FileLayout decideFileLayout(const FileLayoutInputs& inputs) {
    FileLayout layout;
    const std::string& program = inputs.programFolder;
    const bool hasRuntimeFolders = isDirectory(program + "Resources");
    const bool installed = !hasRuntimeFolders && isDirectory(inputs.installedDataFolder);
    if (!installed && inputs.isWritable(program)) {
        layout.shippedFolder = layout.learnerFolder = layout.settingsFolder = program;
        return layout;
    }
    const std::string folder = std::string(AppFiles::kFolderName) + "/";
    layout.mode = FileLayout::Mode::Installed;
    layout.shippedFolder = installed ? inputs.installedDataFolder : program;
    layout.settingsFolder = xdgFolder(inputs.xdgConfigHome, inputs.home, ".config/") + folder;
    layout.learnerFolder = xdgFolder(inputs.xdgDataHome, inputs.home, ".local/share/") + folder;
    if (!installed) {
        layout.notice = "phrasewright: " + program +
                        " cannot be written, so settings are kept in " + layout.settingsFolder +
                        " and your files in " + layout.learnerFolder;
    }
    return layout;
}

AppFiles& AppFiles::instance() {
    static AppFiles files;
    return files;
}

void AppFiles::setLayout(FileLayout layout) {
    std::lock_guard lock(m_mutex);
    m_layout = std::move(layout);
}

FileLayout AppFiles::layout() const {
    std::lock_guard lock(m_mutex);
    return m_layout;
}

std::string AppFiles::shipped(std::string_view name) const {
    if (isAbsolute(name)) {
        return std::string(name);
    }
    std::lock_guard lock(m_mutex);
    return m_layout.shippedFolder + std::string(name);
}

std::string AppFiles::learner(std::string_view name) {
    if (isAbsolute(name)) {
        return std::string(name);
    }
    std::lock_guard lock(m_mutex);
    const std::string target = m_layout.learnerFolder + std::string(name);
    if (m_layout.learnerFolder == m_layout.shippedFolder) {
        return target;
    }
    std::error_code ec;
    fs::create_directories(fs::path(target).parent_path(), ec);
    const std::string source = m_layout.shippedFolder + std::string(name);
    if (!exists(target) && fs::is_regular_file(source, ec)) {
        copyFile(source, target);
    }
    return target;
}

std::string AppFiles::learnerFolder(std::string_view name) {
    if (name.empty()) {
        return layout().learnerFolder;
    }
    if (isAbsolute(name)) {
        return withSlash(std::string(name));
    }
    std::lock_guard lock(m_mutex);
    const std::string target = withSlash(m_layout.learnerFolder + std::string(name));
    if (m_layout.learnerFolder == m_layout.shippedFolder) {
        return target;
    }
    std::error_code ec;
    fs::create_directories(target, ec);
    copyMissing(withSlash(m_layout.shippedFolder + std::string(name)), target);
    return target;
}

bool AppFiles::prepareFolders(std::string* error) {
    const FileLayout current = layout();
    if (current.mode != FileLayout::Mode::Installed) {
        return true;
    }
    if (!makeFolder(current.settingsFolder, error) || !makeFolder(current.learnerFolder, error)) {
        return false;
    }
    learnerFolder(kDataFolder);
    return true;
}

std::string AppFiles::describe() const {
    const FileLayout current = layout();
    auto shown = [](const std::string& folder) {
        return folder.empty() ? std::string("the current folder") : folder;
    };
    if (current.mode == FileLayout::Mode::Portable) {
        return "Files (portable): everything beside the program, in " +
               shown(current.learnerFolder) + "\n";
    }
    const std::string why = current.notice.empty()
                                ? std::string("installed")
                                : "per-user, as " + current.shippedFolder + " cannot be written";
    return "Files (" + why + "):\n  shipped data, read only   " + current.shippedFolder +
           "\n  settings                  " + current.settingsFolder +
           "\n  library, results, lists   " + current.learnerFolder + "\n";
}

std::string shippedFile(std::string_view name) {
    return AppFiles::instance().shipped(name);
}

std::string learnerFile(std::string_view name) {
    return AppFiles::instance().learner(name);
}

std::string learnerFolder(std::string_view name) {
    return AppFiles::instance().learnerFolder(name);
}

}  // namespace pw
