// The library document without a window: labels, and reading and writing
// "Tree.xml", also when it could not be read.
#include <filesystem>

#include <gtest/gtest.h>

#include "app/LearningLibrary.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

TEST(LibraryLabels, ANameWinsOtherwiseTheFileNameWithoutItsExtension) {
    struct Case {
        const char16_t* name;  // null: no attribute
        std::u16string path;
        std::u16string label;
    };
    const Case cases[] = {
        {u"Unit three", u"C:\\study\\unit3.xml", u"Unit three"},
        {u"", u"C:\\study\\unit3.xml", u"unit3"},
        {nullptr, u"C:\\study\\unit3.xml", u"unit3"},
        {nullptr, u"/home/x/unit3.xml", u"unit3"},
        {nullptr, u"unit3", u"unit3"},
        {nullptr, u"/home/x/notes.v2.mp3", u"notes.v2"},
        {nullptr, u"C:\\my.dir\\unit3", u"unit3"},
        {nullptr, u"/home/x/Data/", u"Data"},
        {nullptr, u"/home/x/.hidden", u".hidden"},
        {nullptr, u"", u""},
    };
    for (const auto& c : cases) {
        Element item(u"TreeItem");
        item.setAttribute(u"path", c.path);
        if (c.name) {
            item.setAttribute(u"name", c.name);
        }
        EXPECT_EQ(itemLabel(item), c.label) << toUtf8(c.path);
    }
    EXPECT_EQ(fileExtension(u"C:\\my.dir\\unit3"), u"");
    EXPECT_EQ(fileExtension(u"/home/x/Song.MP3"), u".MP3");
}

class LibraryFile : public ::testing::Test {
protected:
    std::string path() const { return dir.file("Tree.xml"); }

    test::TempDir dir;
    test::ScopedRecordingUi recording;
};

TEST_F(LibraryFile, WhatCannotBeReadStartsEmptyAndIsKeptAtTheNextSave) {
    using Result = LearningLibrary::LoadResult;
    struct Case {
        const char* name;
        const char* content;  // null: no file
        Result result;
        size_t boxes;
    };
    const Case cases[] = {
        {"no file", nullptr, Result::Missing, 0},
        {"empty file", "", Result::Missing, 0},
        {"malformed", "<Lib><TreeItem path=\"a.xml\"></Lib>", Result::Unreadable, 2},
        {"no element", "just some words", Result::Unreadable, 1},
        {"good", "<Lib><TreeItem path=\"a.xml\" /></Lib>", Result::Loaded, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path());
        std::filesystem::remove(path() + ".bak");
        if (c.content) {
            test::writeAll(path(), c.content);
        }
        recording->boxes.clear();
        LearningLibrary library;
        EXPECT_EQ(library.load(path()), c.result);
        EXPECT_EQ(recording->boxes.size(), c.boxes);
        ASSERT_NE(library.root(), nullptr);
        if (c.result != Result::Loaded) {
            EXPECT_EQ(library.root()->getName(), u"Tree.xml");
            EXPECT_FALSE(library.root()->hasChildren());
        }
        EXPECT_EQ(library.keepsUnreadableFile(), c.result == Result::Unreadable);

        library.addItem(*library.root(), nullptr, u"added.xml");
        std::string error;
        ASSERT_TRUE(library.save(&error)) << error;
        EXPECT_EQ(std::filesystem::exists(path() + ".bak"), c.result == Result::Unreadable);
        if (c.result == Result::Unreadable) {
            EXPECT_EQ(test::readAll(path() + ".bak"), c.content);
        }
        LearningLibrary reread;
        EXPECT_EQ(reread.load(path()), Result::Loaded);
        EXPECT_NE(reread.findByPath(u"added.xml"), nullptr);
    }
    // A new library is written in UTF-8.
    std::filesystem::remove(path());
    LearningLibrary fresh;
    fresh.load(path());
    ASSERT_TRUE(fresh.save(nullptr));
    EXPECT_TRUE(test::readAll(path()).starts_with(
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
}

}  // namespace
}  // namespace pw
