// The interface every replacement dictionary offers, with the file format
// they share: one "VALUE<TAB>KEY<CR><LF>" line per entry, UTF-16 with a mark.
#pragma once

#include <string>
#include <string_view>

#include "core/AppFiles.h"

namespace pw {

class BaseDictionaryData {
public:
    virtual ~BaseDictionaryData();

    // Removes all entries; the modified flag is left as it was.
    virtual void clear() = 0;
    // Clears the modified flag.
    virtual void reset() = 0;
    // Sets the name, reads folder + name and replaces the entries with the
    // file's. False, keeping the entries, when the file is missing, unreadable
    // or empty. Never leaves the dictionary modified.
    virtual bool load(const std::string& name);
    // Writes the file when modified; false when it cannot be written (the old
    // file is then left as it was). The modified flag stays as it was.
    virtual bool save() = 0;
    // Deletes the entry with key; false when there is none.
    virtual bool remove(const std::u16string& key) = 0;
    virtual bool contains(const std::u16string& key) const = 0;
    // Rewrites text in place.
    virtual void replace(std::u16string& text) = 0;
    // Adds or overwrites an entry; position -1 appends where the dictionary
    // has an order of its own.
    virtual void set(const std::u16string& key, const std::u16string& value, int position) = 0;
    virtual int size() const = 0;
    // The value of key; empty when there is no such entry.
    virtual std::u16string get(const std::u16string& key) const = 0;
    // The key of the index-th entry in the dictionary's own order; empty when
    // index is out of range or the dictionary offers no keyed order.
    virtual std::u16string keyAt(int index) const;

    bool ignoreCase() const { return m_ignoreCase; }
    virtual void setIgnoreCase(bool on) { m_ignoreCase = on; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    bool modified() const { return m_modified; }

    // The file name ("dict.txt") and the folder it lives in ("Resources/");
    // the file's path is the two joined as they are.
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& folder() const { return m_folder; }
    void setFolder(std::string folder) { m_folder = std::move(folder); }
    std::string path() const { return m_folder + m_name; }

    static constexpr const char* kDefaultFolder = "Lists/";

protected:
    BaseDictionaryData() = default;
    BaseDictionaryData(const BaseDictionaryData&) = default;
    BaseDictionaryData& operator=(const BaseDictionaryData&) = default;

    // Appends one entry's line in the file format.
    static void appendLine(std::u16string& file, std::u16string_view key,
                           std::u16string_view value);
    // Writes the file's whole text (UTF-16 with a mark) through the safe writer.
    bool writeFile(std::u16string_view text) const;

    bool m_ignoreCase = false;
    bool m_enabled = true;
    bool m_modified = false;
    std::string m_name;
    std::string m_folder = learnerFolder(kDefaultFolder);
};

}  // namespace pw
