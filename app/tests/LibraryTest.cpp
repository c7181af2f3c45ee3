// The library in the main window under a display: the tree from "Tree.xml"
// and its states over a restart, the context menu, opening files into the
// practice area with the Data/ retry and the window title, the command-line
// file, and a library file that could not be read.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <wx/treectrl.h>

#include "app/TestApp.h"
#include "app/tests/WorkingFolder.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using Item = XmlTreePane::Item;
using Labels = std::vector<std::u16string>;

// Stands in for the practice pane: any existing file opens.
class FakePractice : public PracticeArea {
public:
    bool openFile(const std::u16string& path) override {
        tried.push_back(path);
        open.clear();
        std::error_code ec;
        if (fs::is_regular_file(toUtf8(path), ec)) {
            open = path;
        }
        return !open.empty();
    }
    void resetToNoFile() override {
        ++resets;
        open.clear();
    }

    std::vector<std::u16string> tried;
    std::u16string open;
    int resets = 0;
};

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        fs::create_directories("Data");
        fs::create_directories(dir.file("files"));
    }
    void TearDown() override { ProfileSettings::instance().setPath(m_oldSettings); }

    std::unique_ptr<TestApp> start(const std::u16string& startFile = {}) {
        auto app = std::make_unique<TestApp>();
        app->contentPane().setPracticeArea(&practice);
        app->contentPane().setStartFile(startFile);
        EXPECT_TRUE(app->createTopLevel());
        test::runEventsUntil([&] { return app->handle()->IsShownOnScreen(); });
        test::runEventsFor(30);
        return app;
    }
    static void close(std::unique_ptr<TestApp>& app) {
        EXPECT_TRUE(app->handle()->Close());
        app.reset();
    }
    // An existing learning file outside the program folder.
    std::u16string outside(const std::string& name) const {
        const std::string path = dir.file("files/" + name);
        test::writeAll(path, "<SentenceList />");
        return fromUtf8(path);
    }

    // Right-clicks item (the empty area when null), answers the menu with
    // choice and returns the commands that were enabled.
    static std::vector<int> contextMenu(XmlTreePane& pane, Item item, int choice) {
        Tree& tree = pane.tree();
        wxPoint point(tree.clientWidth() - 4, tree.clientHeight() - 4);
        if (item) {
            tree.ensureVisible(item);
            wxRect rect;
            static_cast<wxTreeCtrl*>(tree.handle())
                ->GetBoundingRect(wxTreeItemId(item), rect, true);
            point = rect.GetPosition() + wxSize(3, rect.height / 2);
        }
        EXPECT_EQ(tree.hitTest(point.x, point.y), item);
        std::vector<int> enabled;
        test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
            for (int id : menu.itemIds()) {
                if (menu.isEnabled(id)) {
                    enabled.push_back(id);
                }
            }
            return choice;
        });
        Notify notify;
        notify.code = codes::kContextMenu;
        notify.sender = tree.handle();
        notify.x = point.x;
        notify.y = point.y;
        pane.onNotify(notify);
        return enabled;
    }
    // A double-click: the click selects, the second one activates.
    static void doubleClick(XmlTreePane& pane, Item item) {
        pane.tree().select(item);
        Notify notify;
        notify.code = codes::kItemActivated;
        notify.sender = pane.tree().handle();
        notify.item = item;
        pane.onNotify(notify);
    }
    static Labels labels(XmlTreePane& pane, Item parent) {
        Labels result;
        for (Item item = pane.tree().firstChild(parent); item;
             item = pane.tree().nextSibling(item)) {
            result.push_back(pane.tree().itemText(item));
        }
        return result;
    }
    static Item child(XmlTreePane& pane, Item parent, int index) {
        Item item = pane.tree().firstChild(parent);
        while (item && index-- > 0) {
            item = pane.tree().nextSibling(item);
        }
        return item;
    }

    test::TempDir dir;
    test::ScopedWorkingFolder folder{dir.file("program")};
    test::ScopedRecordingUi recording;
    FakePractice practice;

private:
    std::string m_oldSettings;
};

TEST_F(Library, LabelsIconsAndStatesComeBackAfterARestart) {
    fs::create_directory("words");
    test::writeAll("Tree.xml", R"(<Lib state="32">
        <TreeItem path="words">
            <TreeItem path="C:\study\unit3.xml" />
            <TreeItem path="/home/x/unit3.xml" name="Unit three" />
        </TreeItem>
        <TreeItem path="/home/x/song.mp3" state="2" />
        <TreeItem path="/home/x/notes" state="32">
            <TreeItem path="/home/x/notes/n.xml" />
        </TreeItem>
        <TreeItem path="/home/x/more">
            <TreeItem path="/home/x/more/m.xml" />
        </TreeItem>
    </Lib>)");
    auto app = start();
    XmlTreePane& pane = app->contentPane().library();
    Tree& tree = pane.tree();
    const Item top = pane.rootItem();
    EXPECT_EQ(tree.itemText(top), u"Tree.xml");
    EXPECT_EQ(labels(pane, top), (Labels{u"words", u"song", u"notes", u"more"}));
    const Item words = child(pane, top, 0);
    EXPECT_EQ(labels(pane, words), (Labels{u"unit3", u"Unit three"}));
    const Item unit3 = child(pane, words, 0);
    const Item song = child(pane, top, 1);
    const Item notes = child(pane, top, 2);
    const Item more = child(pane, top, 3);
    EXPECT_EQ(pane.selectedItem(), song);
    EXPECT_TRUE(tree.isExpanded(top));
    EXPECT_TRUE(tree.isExpanded(notes));
    EXPECT_FALSE(tree.isExpanded(more));

    // Folders, and paths without an extension, show the program folder's icon.
    EXPECT_EQ(tree.itemImage(words), FileIcons::kFolderImage);
    EXPECT_EQ(tree.itemImage(notes), FileIcons::kFolderImage);
    EXPECT_TRUE(pane.isFolder(notes));
    EXPECT_NE(tree.itemImage(unit3), FileIcons::kFolderImage);
    EXPECT_FALSE(pane.isFolder(unit3));
    EXPECT_EQ(tree.itemImage(child(pane, words, 1)), tree.itemImage(unit3));
    EXPECT_EQ(tree.itemImage(top), tree.itemImage(unit3));
    EXPECT_NE(tree.itemImage(song), tree.itemImage(unit3));

    tree.collapse(notes);
    tree.expand(more);
    tree.select(unit3);
    close(app);

    app = start();
    XmlTreePane& again = app->contentPane().library();
    const Item top2 = again.rootItem();
    EXPECT_TRUE(again.tree().isExpanded(top2));
    EXPECT_FALSE(again.tree().isExpanded(child(again, top2, 2)));
    EXPECT_TRUE(again.tree().isExpanded(child(again, top2, 3)));
    EXPECT_EQ(again.selectedItem(), child(again, child(again, top2, 0), 0));
}

TEST_F(Library, OpenFileAddsWhereThePointerWasAndSelectsAListedFile) {
    fs::create_directory("words");
    const std::u16string listed = outside("listed.xml");
    test::writeAll("Tree.xml",
                   "<Lib state=\"32\"><TreeItem path=\"words\" state=\"32\">"
                   "<TreeItem name=\"Listed\" path=\"" +
                       toUtf8(listed) + "\" /><TreeItem path=\"" + toUtf8(outside("b.xml")) +
                       "\" /></TreeItem></Lib>");
    auto app = start();
    XmlTreePane& pane = app->contentPane().library();
    const Item top = pane.rootItem();
    const Item words = child(pane, top, 0);
    using M = XmlTreePane::MenuId;

    // Nothing under the pointer: below the top item.
    recording->chosenFiles.push_back(outside("new1.xml"));
    EXPECT_EQ(contextMenu(pane, nullptr, M::kOpenFile),
              (std::vector<int>{M::kOpenFile, M::kImportSentences}));
    ASSERT_EQ(recording->fileRequests.size(), 1u);
    EXPECT_EQ(recording->fileRequests[0].filterLabel, u"Learning file (*.xml,*.mp3)");
    EXPECT_EQ(recording->fileRequests[0].patterns, u"*.xml;*.mp3");
    EXPECT_TRUE(recording->fileRequests[0].mustExist);
    EXPECT_EQ(labels(pane, top), (Labels{u"words", u"new1"}));
    EXPECT_EQ(pane.selectedItem(), child(pane, top, 1));
    EXPECT_EQ(practice.open, outside("new1.xml"));
    EXPECT_EQ(app->getText(), u"new1 - Phrasewright");

    // At a file: right after it; at a folder: its last entry.
    recording->chosenFiles.push_back(outside("new2.xml"));
    EXPECT_EQ(contextMenu(pane, child(pane, words, 0), M::kOpenFile),
              (std::vector<int>{M::kOpen, M::kOpenFolder, M::kOpenFile, M::kImportSentences,
                                M::kRemove}));
    recording->chosenFiles.push_back(outside("new3.xml"));
    contextMenu(pane, words, M::kOpenFile);
    EXPECT_EQ(labels(pane, words), (Labels{u"Listed", u"new2", u"b", u"new3"}));
    EXPECT_EQ(pane.selectedItem(), child(pane, words, 3));

    // A listed file is selected, not added again; cancelling or a file that
    // does not open adds nothing.
    recording->chosenFiles.push_back(listed);
    recording->chosenFiles.push_back(std::nullopt);
    recording->chosenFiles.push_back(fromUtf8(dir.file("files/gone.xml")));
    EXPECT_EQ(contextMenu(pane, top, M::kOpenFile),
              (std::vector<int>{M::kOpen, M::kOpenFolder, M::kOpenFile, M::kImportSentences}));
    EXPECT_EQ(pane.selectedItem(), child(pane, words, 0));
    EXPECT_EQ(app->getText(), u"Listed - Phrasewright");
    contextMenu(pane, top, M::kOpenFile);
    contextMenu(pane, top, M::kOpenFile);
    EXPECT_EQ(labels(pane, top), (Labels{u"words", u"new1"}));
    EXPECT_EQ(labels(pane, words).size(), 4u);
    EXPECT_EQ(pane.selectedItem(), child(pane, words, 0));
    close(app);

    app = start();
    XmlTreePane& again = app->contentPane().library();
    EXPECT_EQ(labels(again, again.rootItem()), (Labels{u"words", u"new1"}));
    EXPECT_EQ(labels(again, child(again, again.rootItem(), 0)),
              (Labels{u"Listed", u"new2", u"b", u"new3"}));
    EXPECT_TRUE(recording->boxes.empty());
}

TEST_F(Library, ImportedSentencesJoinTheLibraryAndOpen) {
    fs::create_directory("words");
    test::writeAll("Tree.xml", "<Lib state=\"32\"><TreeItem path=\"words\" /></Lib>");
    auto app = start();
    XmlTreePane& pane = app->contentPane().library();
    const Item top = pane.rootItem();
    std::vector<std::optional<std::u16string>> written = {outside("imported.xml"), std::nullopt,
                                                          outside("second.xml")};
    int asked = 0;
    pane.setSentenceImporter([&] { return written[asked++]; });

    contextMenu(pane, nullptr, XmlTreePane::kImportSentences);
    EXPECT_EQ(labels(pane, top), (Labels{u"words", u"imported"}));
    EXPECT_EQ(pane.selectedItem(), child(pane, top, 1));
    EXPECT_EQ(practice.open, outside("imported.xml"));
    EXPECT_EQ(app->getText(), u"imported - Phrasewright");
    // Giving up in the dialog changes nothing; in a folder the file goes last.
    contextMenu(pane, child(pane, top, 0), XmlTreePane::kImportSentences);
    EXPECT_EQ(practice.open, outside("imported.xml"));
    contextMenu(pane, child(pane, top, 0), XmlTreePane::kImportSentences);
    EXPECT_EQ(labels(pane, child(pane, top, 0)), Labels{u"second"});
    EXPECT_EQ(practice.open, outside("second.xml"));
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(recording->boxes.empty());
}

TEST_F(Library, OpeningTriesDataAndTitlesTheWindowAfterTheEntry) {
    test::writeAll("Data/week1.xml", "<SentenceList />");
    fs::create_directory("words");
    const std::u16string elsewhere = fromUtf8(dir.file("files/elsewhere.xml"));
    test::writeAll("Tree.xml",
                   "<Lib state=\"32\"><TreeItem path=\"week1.xml\" name=\"Week one\" />"
                   "<TreeItem path=\"missing.xml\" /><TreeItem path=\"" +
                       toUtf8(elsewhere) +
                       "\" /><TreeItem path=\"words\"><TreeItem path=\"x.xml\" />"
                       "</TreeItem></Lib>");
    auto app = start();
    TypingNavigationPane& content = app->contentPane();
    XmlTreePane& pane = content.library();
    const Item top = pane.rootItem();

    doubleClick(pane, child(pane, top, 0));
    EXPECT_EQ(practice.tried, (Labels{u"week1.xml", u"Data/week1.xml"}));
    EXPECT_EQ(practice.open, u"Data/week1.xml");
    EXPECT_EQ(content.openFilePath(), u"week1.xml");
    EXPECT_EQ(app->getText(), u"Week one - Phrasewright");

    // A file that opens nowhere leaves the practice without a file, silently.
    practice.tried.clear();
    doubleClick(pane, child(pane, top, 1));
    EXPECT_EQ(practice.tried, (Labels{u"missing.xml", u"Data/missing.xml"}));
    EXPECT_EQ(practice.resets, 1);
    EXPECT_TRUE(practice.open.empty());
    EXPECT_TRUE(content.openFilePath().empty());
    EXPECT_EQ(app->getText(), u"Phrasewright");
    // An absolute path is not looked for under Data/.
    practice.tried.clear();
    doubleClick(pane, child(pane, top, 2));
    EXPECT_EQ(practice.tried, Labels{elsewhere});
    EXPECT_TRUE(recording->boxes.empty());

    // "Open" selects the entry first; a folder opens or closes instead.
    practice.tried.clear();
    contextMenu(pane, child(pane, top, 0), XmlTreePane::kOpen);
    EXPECT_EQ(pane.selectedItem(), child(pane, top, 0));
    EXPECT_EQ(practice.open, u"Data/week1.xml");
    const Item words = child(pane, top, 3);
    doubleClick(pane, words);
    EXPECT_TRUE(pane.tree().isExpanded(words));
    doubleClick(pane, words);
    EXPECT_FALSE(pane.tree().isExpanded(words));
    EXPECT_EQ(practice.tried.size(), 2u);

    // "Open Folder" shows a folder entry, or the folder of a file entry, when
    // that folder exists.
    std::vector<std::string> shown;
    pane.setFolderOpener([&](const std::string& folder) { shown.push_back(folder); });
    for (int index : {3, 2, 1, 0}) {
        contextMenu(pane, child(pane, top, index), XmlTreePane::kOpenFolder);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{(fs::current_path() / "words").string(),
                                               dir.file("files")}));
}

TEST_F(Library, TheCommandLineFileOpensAfterTheLibraryUnderItsOwnLabel) {
    test::writeAll("Data/a.xml", "<SentenceList />");
    test::writeAll("Data/b.xml", "<SentenceList />");
    test::writeAll("Tree.xml",
                   "<Lib><TreeItem path=\"Data/a.xml\" name=\"Lesson A\" />"
                   "<TreeItem path=\"other.xml\" state=\"2\" /></Lib>");
    struct Case {
        std::u16string file;
        std::u16string open;
        std::u16string title;
    };
    const Case cases[] = {
        {u"Data/a.xml", u"Data/a.xml", u"Lesson A - Phrasewright"},
        {u"b.xml", u"Data/b.xml", u"b - Phrasewright"},
        {u"nothing.xml", u"", u"Phrasewright"},
    };
    for (const auto& c : cases) {
        auto app = start(c.file);
        EXPECT_EQ(practice.open, c.open);
        EXPECT_EQ(app->getText(), c.title);
        XmlTreePane& pane = app->contentPane().library();
        EXPECT_EQ(pane.tree().itemText(pane.selectedItem()), u"other");
    }
    EXPECT_TRUE(recording->boxes.empty());
}

TEST_F(Library, RemovingTheOpenFilesEntryLeavesThePracticeWithoutAFile) {
    fs::create_directory("words");
    const std::u16string a = outside("a.xml");
    test::writeAll("Tree.xml",
                   "<Lib state=\"32\"><TreeItem path=\"words\" state=\"32\">"
                   "<TreeItem path=\"" +
                       toUtf8(a) +
                       "\" /><TreeItem path=\"b.xml\" /></TreeItem>"
                       "<TreeItem path=\"c.xml\" /></Lib>");
    auto app = start();
    XmlTreePane& pane = app->contentPane().library();
    const Item top = pane.rootItem();
    doubleClick(pane, child(pane, child(pane, top, 0), 0));
    ASSERT_EQ(practice.open, a);

    contextMenu(pane, child(pane, top, 1), XmlTreePane::kRemove);
    EXPECT_EQ(labels(pane, top), Labels{u"words"});
    EXPECT_EQ(practice.resets, 0);
    EXPECT_EQ(app->getText(), u"a - Phrasewright");

    contextMenu(pane, child(pane, top, 0), XmlTreePane::kRemove);
    EXPECT_TRUE(labels(pane, top).empty());
    EXPECT_EQ(practice.resets, 1);
    EXPECT_TRUE(practice.open.empty());
    EXPECT_EQ(app->getText(), u"Phrasewright");
    // The top item holds the library and stays.
    contextMenu(pane, top, XmlTreePane::kRemove);
    EXPECT_EQ(pane.rootItem(), top);
    close(app);

    app = start();
    EXPECT_EQ(app->contentPane().library().library().root()->getFirstChild(), nullptr);
}

TEST_F(Library, AnUnreadableLibraryIsReportedAndKeptBesideTheNewOne) {
    const std::string malformed = "<Lib><TreeItem path=\"a.xml\"></Lib>";
    test::writeAll("Tree.xml", malformed);
    auto app = start();
    ASSERT_EQ(recording->boxes.size(), 2u);
    EXPECT_NE(recording->boxes[0].text.find(u"XMLParser"), std::u16string::npos);
    EXPECT_NE(recording->boxes[1].text.find(u"Tree.xml.bak"), std::u16string::npos);
    XmlTreePane& pane = app->contentPane().library();
    EXPECT_EQ(pane.tree().itemText(pane.rootItem()), u"Tree.xml");
    EXPECT_EQ(pane.tree().firstChild(pane.rootItem()), nullptr);
    recording->chosenFiles.push_back(outside("new.xml"));
    contextMenu(pane, nullptr, XmlTreePane::kOpenFile);
    close(app);
    EXPECT_EQ(test::readAll("Tree.xml.bak"), malformed);

    EXPECT_NE(test::readAll("Tree.xml").find("new.xml"), std::string::npos);

    // When no copy can be kept, the file stays as it was and the user is told.
    test::writeAll("Tree.xml", malformed);
    fs::remove("Tree.xml.bak");
    fs::create_directory("Tree.xml.bak");
    app = start();
    recording->boxes.clear();
    close(app);
    ASSERT_EQ(recording->boxes.size(), 1u);
    EXPECT_NE(recording->boxes[0].text.find(u"could not be saved"), std::u16string::npos);
    EXPECT_EQ(test::readAll("Tree.xml"), malformed);
}

TEST(FileIcons, OneSmallImagePerExtensionWithTheFolderFirst) {
    test::TempDir dir;
    test::ScopedWorkingFolder folder(dir.file("program"));
    fs::create_directory("v1.2");
    FileIcons icons;
    EXPECT_EQ(icons.imageFor(u"v1.2"), FileIcons::kFolderImage);
    EXPECT_EQ(icons.imageFor(u"/x/a.xml"), 1);
    EXPECT_EQ(icons.imageFor(u"C:\\y\\B.XML"), 1);
    EXPECT_EQ(icons.imageFor(u"/x/a.mp3"), 2);
    EXPECT_EQ(icons.imageFor(u"/x/a.txt"), 3);
    for (bool desktop : {false, true}) {
        if (desktop) {
            icons.useDesktopIcons();
        }
        ASSERT_EQ(icons.images().size(), 4u);
        for (const auto& image : icons.images()) {
            EXPECT_EQ(image.GetSize(), wxSize(FileIcons::kSize, FileIcons::kSize));
        }
    }
}

}  // namespace
}  // namespace pw
