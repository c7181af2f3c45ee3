// The theme list: the default file, colour values, frames, the menu, and the
// themes shipped in Resources/ThemeList.xml.
#include <cmath>
#include <filesystem>

#include "core/ProfileSettings.h"
#include "practice/TypingStyleManager.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

class Themes : public ::testing::Test {
protected:
    Themes() {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
    }
    ~Themes() override { ProfileSettings::instance().setPath(m_oldSettings); }

    std::string path() const { return dir.file("ThemeList.xml"); }
    void writeThemes(const std::string& themes) {
        test::writeAll(path(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ThemeList>" + themes +
                                   "</ThemeList>");
    }

    test::TempDir dir;
    test::ScopedRecordingUi ui;

private:
    std::string m_oldSettings;
};

TEST_F(Themes, AMissingListIsCreatedWithTheDefaultThemeAlone) {
    TypingStyleManager themes(path());
    themes.load();
    EXPECT_EQ(themes.getColor(kTextColor), makeColor(0xff, 0xff, 0xff));
    EXPECT_EQ(themes.getColor(kBackgroundColor), makeColor(0x20, 0x20, 0x20));
    EXPECT_TRUE(themes.useFrame());

    XMLParser written;
    ASSERT_TRUE(written.load(path()));
    ASSERT_EQ(written.getRoot()->getName(), u"ThemeList");
    const std::vector<Element*> list = written.getRoot()->getChildren();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->getName(), u"Theme");
    const Element::Attributes expected{{u"name", u"default"},
                                       {u"textColor", u"#ffffff"},
                                       {u"backgroundColor", u"#202020"},
                                       {u"translationTextColor", u"#ff64b4"},
                                       {u"selectionColor", u"#80beff"},
                                       {u"hintTextColor", u"#c82020"},
                                       {u"patternColor1", u"#6eaadc"},
                                       {u"patternColor2", u"#82dc96"}};
    EXPECT_EQ(list[0]->getAttributes(), expected);
    EXPECT_TRUE(ui->boxes.empty());
}

TEST_F(Themes, AListThatCannotBeCreatedIsReportedAndTheDefaultUsed) {
    // A missing folder is made; one that cannot be (a file stands there) is reported.
    TypingStyleManager made(dir.file("Resources/ThemeList.xml"));
    made.load();
    EXPECT_TRUE(std::filesystem::exists(dir.file("Resources/ThemeList.xml")));
    EXPECT_TRUE(ui->boxes.empty());

    test::writeAll(dir.file("file"), "");
    TypingStyleManager themes(dir.file("file/ThemeList.xml"));
    themes.load();
    EXPECT_EQ(themes.getColor(kBackgroundColor), makeColor(0x20, 0x20, 0x20));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_NE(ui->boxes[0].text.find(u"file/ThemeList.xml\" could not be created"),
              std::u16string::npos);
    EXPECT_NE(ui->boxes[0].text.find(u"default theme is used"), std::u16string::npos);
}

TEST_F(Themes, AnUnreadableListIsLeftAloneAndTheDefaultUsed) {
    const std::string broken = "<ThemeList><Theme name=\"mine\" textColor=\"#123456\"></ThemeList>";
    test::writeAll(path(), broken);
    TypingStyleManager themes(path());
    themes.load();
    EXPECT_EQ(test::readAll(path()), broken);  // the learner's file is not replaced
    EXPECT_EQ(themes.getColor(kTextColor), makeColor(0xff, 0xff, 0xff));
    EXPECT_EQ(themes.themeCount(), 1);
}

TEST_F(Themes, ColourValuesAsWritten) {
    const ColorValue fallback = makeColor(1, 2, 3);
    const std::pair<std::u16string, ColorValue> cases[] = {
        {u"#0000ff", makeColor(0, 0, 0xff)},
        {u"#FF8000", makeColor(0xff, 0x80, 0)},
        {u"000000", 0},  // no number sign: black
        {u"ffffff", 0},
        {u"#", 0},                             // too short
        {u"", fallback},                       // empty: the default
        {u"#fff", makeColor(0, 0x0f, 0xff)},   // no check of the digit count
        {u"#1ff0000", makeColor(0xff, 0, 0)},  // only the low six digits count
        {u"#zz0000", makeColor(0, 0, 0)},
    };
    for (const auto& [text, color] : cases) {
        EXPECT_EQ(TypingStyleManager::parseColor(text, fallback), color) << toUtf8(text);
    }
    EXPECT_EQ(TypingStyleManager::formatColor(makeColor(0xab, 0x0c, 0xff)), u"#ab0cff");
}

TEST_F(Themes, MissingColoursFallBackOneByOne) {
    writeThemes(
        "<Theme name=\"a\" textColor=\"000000\" backgroundColor=\"#0000ff\" "
        "hintTextColor=\"\" />");
    TypingStyleManager themes(path());
    themes.load();
    EXPECT_EQ(themes.getColor(kTextColor), 0u);
    EXPECT_EQ(themes.getColor(kBackgroundColor), makeColor(0, 0, 0xff));
    EXPECT_EQ(themes.getColor(kHintTextColor), makeColor(0xc8, 0x20, 0x20));
    EXPECT_EQ(themes.getColor(kPatternColor2), makeColor(0x82, 0xdc, 0x96));
    EXPECT_EQ(themes.getColor(7), 1u);
    EXPECT_EQ(themes.getColor(-1), 1u);
    EXPECT_EQ(themes.colorCount(), 7);
    EXPECT_EQ(themes.colorKey(4), "hintTextColor");
    EXPECT_EQ(themes.colorKey(7), "");

    themes.setColor(kHintTextColor, makeColor(1, 2, 3));
    EXPECT_EQ(themes.getColor(kHintTextColor), makeColor(1, 2, 3));
}

TEST_F(Themes, TheMenuListsThemesWithAuthorsAndChoosesOne) {
    writeThemes(
        "<Theme name=\"Plain\" /><Theme name=\"\" />"
        "<Theme name=\"Night\" author=\"X\" frame=\"0\" textColor=\"#00ff00\" />");
    ProfileSettings::instance().write(settings::kTheme, 2);
    TypingStyleManager themes(path());
    themes.load();
    EXPECT_EQ(themes.themeIndex(), 2);
    EXPECT_FALSE(themes.useFrame());

    const std::vector<MenuItem> items = themes.menuItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 10);
    EXPECT_EQ(items[0].text, u"Plain");
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(items[2].id, 12);
    EXPECT_EQ(items[2].text, u"Night\t(X)");
    EXPECT_TRUE(items[2].checked);

    EXPECT_FALSE(themes.chooseMenuItem(11));  // the separator
    EXPECT_FALSE(themes.chooseMenuItem(13));
    EXPECT_FALSE(themes.chooseMenuItem(9));
    EXPECT_EQ(themes.themeIndex(), 2);
    EXPECT_TRUE(themes.chooseMenuItem(10));
    EXPECT_EQ(themes.themeIndex(), 0);
    EXPECT_TRUE(themes.useFrame());
    EXPECT_EQ(themes.getColor(kTextColor), makeColor(0xff, 0xff, 0xff));
    themes.saveSettings();
    EXPECT_EQ(ProfileSettings::instance().read(settings::kTheme), 0);

    // A setting beyond the list falls back to the first theme.
    ProfileSettings::instance().write(settings::kTheme, 7);
    TypingStyleManager again(path());
    again.load();
    EXPECT_EQ(again.themeIndex(), 0);
}

// Relative luminance contrast of two colours, 1 to 21.
double contrast(ColorValue a, ColorValue b) {
    const auto luminance = [](ColorValue c) {
        const auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colorRed(c)) + 0.7152 * channel(colorGreen(c)) +
               0.0722 * channel(colorBlue(c));
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

TEST_F(Themes, TheShippedThemesAreCompleteAndReadable) {
    const std::string shipped = test::sourceDir() + "/Resources/ThemeList.xml";
    std::filesystem::copy_file(shipped, path());
    TypingStyleManager themes(path());
    themes.load();
    ASSERT_GE(themes.themeCount(), 4);

    // The first is the default theme, written as the program writes it.
    TypingStyleManager created(dir.file("created.xml"));
    created.load();
    XMLParser list;
    ASSERT_TRUE(list.load(path()));
    XMLParser fresh;
    ASSERT_TRUE(fresh.load(dir.file("created.xml")));
    EXPECT_EQ(list.getRoot()->getFirstChild()->getAttributes(),
              fresh.getRoot()->getFirstChild()->getAttributes());

    for (const MenuItem& item : themes.menuItems()) {
        if (item.separator) {
            continue;
        }
        ASSERT_TRUE(themes.chooseMenuItem(item.id));
        const ColorValue background = themes.getColor(kBackgroundColor);
        const double text = contrast(themes.getColor(kTextColor), background);
        EXPECT_GE(text, item.id == 10 ? 4.5 : 7.0) << toUtf8(item.text);
        if (item.id != 10) {  // the default theme is as it has always been
            for (int i : {kTranslationTextColor, kSelectionColor, kHintTextColor}) {
                EXPECT_GE(contrast(themes.getColor(i), background), 4.5)
                    << toUtf8(item.text) << " colour " << i;
            }
        }
    }
    // Every colour of every theme is written in full.
    for (Element* theme : list.getRoot()->getChildren()) {
        if (theme->getAttribute(u"name").empty()) {
            continue;
        }
        for (int i = 0; i < themes.colorCount(); ++i) {
            const std::u16string value = theme->getAttribute(fromUtf8(themes.colorKey(i)));
            EXPECT_EQ(value.size(), 7u) << toUtf8(theme->getAttribute(u"name")) << " " << i;
            EXPECT_EQ(value.substr(0, 1), u"#");
        }
    }
}

}  // namespace
}  // namespace pw
