// The native controls: the commands they send, their values, and menus,
// dialogs, captions and tool bars.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include "core/testsupport/TestFiles.h"
#include "gui/Button.h"
#include "gui/Caption.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/ImageStrip.h"
#include "gui/Menu.h"
#include "gui/Slider.h"
#include "gui/TextArea.h"
#include "gui/ToolBar.h"
#include "gui/UpDownTextField.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::HostWindow;

void sendNative(BaseWindow& control, wxEventType type) {
    wxCommandEvent event(type, control.handle()->GetId());
    event.SetEventObject(control.handle());
    control.handle()->ProcessWindowEvent(event);
}

class Counter : public ActionListener {
public:
    void actionPerformed(Component&, int command) override { actions.push_back(command); }
    std::vector<int> actions;
};

TEST(Controls, EachControlSendsItsCommandToTheParentAndListeners) {
    HostWindow host;
    CheckBox check;
    ComboBox combo;
    ComboBox editable;
    editable.setEditable(true);
    Slider slider;
    UpDownTextField number;
    TextField field;
    check.create(host, 0, 0, 80, 20);
    combo.create(host, 0, 30, 80, 25);
    editable.create(host, 0, 60, 80, 25);
    slider.create(host, 0, 90, 80, 40);
    number.create(host, 0, 130, 120, 40);
    field.create(host, 0, 170, 80, 30);
    Counter counter;
    slider.addListener(&counter);

    struct Case {
        BaseWindow& control;
        wxEventType type;
        int code;
    };
    const Case cases[] = {
        {check, wxEVT_CHECKBOX, codes::kClicked},
        {combo, wxEVT_COMBOBOX, codes::kSelectionChanged},
        {editable, wxEVT_TEXT, codes::kTextChanged},
        {slider, wxEVT_SLIDER, codes::kValueChanged},
        {number, wxEVT_SPINCTRL, codes::kValueChanged},
        {field, wxEVT_TEXT, codes::kTextChanged},
        {field, wxEVT_TEXT_ENTER, codes::kEnter},
    };
    for (const auto& c : cases) {
        host.commands.clear();
        sendNative(c.control, c.type);
        ASSERT_EQ(host.commands.size(), 1u) << c.code;
        EXPECT_EQ(host.commands[0].code, c.code);
        EXPECT_EQ(host.commands[0].sender, c.control.handle());
    }
    EXPECT_EQ(counter.actions, std::vector<int>{codes::kValueChanged});

    // A read-only list's text events are its own business.
    host.commands.clear();
    sendNative(combo, wxEVT_TEXT);
    EXPECT_TRUE(host.commands.empty());
}

TEST(Controls, ValuesSetBeforeCreateAreKeptAndClamped) {
    HostWindow host;
    Slider slider;
    slider.setRange(50, 200);
    slider.setValue(20);
    slider.create(host, 0, 0, 100, 40);
    EXPECT_EQ(slider.value(), 50);
    slider.setValue(500);
    EXPECT_EQ(slider.value(), 200);

    UpDownTextField number;
    number.setRange(10, -10);  // given the wrong way round
    number.setValue(7);
    number.create(host, 0, 40, 120, 40);
    EXPECT_EQ(number.value(), 7);
    EXPECT_EQ(number.minimum(), -10);

    CheckBox check;
    check.setText(u"Shuffle");
    check.setChecked(true);
    check.create(host, 0, 60, 100, 20);
    EXPECT_TRUE(check.isChecked());
    EXPECT_EQ(check.getText(), u"Shuffle");

    ComboBox combo;
    combo.create(host, 0, 90, 100, 25);
    combo.addItem(u"英語");
    combo.addItem(u"Japanese");
    combo.insertItem(0, u"First");
    combo.select(2);
    EXPECT_EQ(combo.selectedIndex(), 2);
    EXPECT_EQ(combo.itemText(1), u"英語");
    EXPECT_EQ(combo.itemText(9), u"");
    combo.removeItem(0);
    EXPECT_EQ(combo.itemCount(), 2);

    TextArea area;
    area.setText(u"line 1\nline 2");
    area.create(host, 0, 120, 100, 60);
    EXPECT_EQ(area.getText(), u"line 1\nline 2");
}

TEST(Controls, PopupMenusAnswerTheChosenIdAndTestsAnswerForTheUser) {
    HostWindow host;
    PopupMenu menu;
    menu.append(1, u"Open");
    menu.appendSeparator();
    menu.appendCheck(2, u"Show all", true);
    Menu& sub = menu.appendSubMenu(u"Voice");
    sub.appendRadio(3, u"Voice 1", true);
    sub.appendRadio(4, u"Voice 2");
    menu.setEnabled(1, false);

    EXPECT_EQ(menu.itemIds(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(menu.isChecked(2));
    EXPECT_FALSE(menu.isEnabled(1));
    EXPECT_TRUE(menu.contains(4));
    EXPECT_TRUE(sub.isChecked(3));
    sub.setChecked(4, true);
    EXPECT_FALSE(sub.isChecked(3));

    std::vector<std::u16string> seen;
    test::ScopedMenuChooser chooser([&](const PopupMenu& shown) {
        seen.push_back(shown.text(2));
        return 4;
    });
    EXPECT_EQ(menu.track(host, 10, 10), 4);
    EXPECT_EQ(seen, std::vector<std::u16string>{u"Show all"});
}

class AskDialog : public Dialog {
public:
    bool onInit() override {
        setTitle(u"Save");
        ok.setId(wxID_OK);
        ok.setText(u"OK");
        ok.create(handle(), 10, 10, 80, 30);
        cancel.setId(wxID_CANCEL);
        cancel.setText(u"Cancel");
        cancel.create(handle(), 100, 10, 80, 30);
        setSizeCentred(200, 60);
        return true;
    }
    bool onOK() override {
        ++okCalls;
        return okAllowed;
    }
    Button ok, cancel;
    bool okAllowed = false;
    int okCalls = 0;
};

void clickLater(Button& button) {
    wxTheApp->CallAfter([&button] {
        wxCommandEvent event(wxEVT_BUTTON, button.handle()->GetId());
        event.SetEventObject(button.handle());
        button.handle()->ProcessWindowEvent(event);
    });
}

TEST(Controls, AModalDialogClosesOnlyWhenOnOKAgrees) {
    HostWindow host;
    AskDialog dialog;
    // First OK is refused, the second is accepted.
    wxTheApp->CallAfter([&] {
        clickLater(dialog.ok);
        wxTheApp->CallAfter([&] {
            dialog.okAllowed = true;
            clickLater(dialog.ok);
        });
    });
    EXPECT_EQ(dialog.showModal(host.handle()), wxID_OK);
    EXPECT_EQ(dialog.okCalls, 2);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.ok.handle(), nullptr);

    // Shown again at once, with new controls; Cancel ends it.
    wxTheApp->CallAfter([&] { clickLater(dialog.cancel); });
    EXPECT_EQ(dialog.showModal(host.handle()), wxID_CANCEL);
}

TEST(Controls, ACaptionsCloseButtonTellsTheParent) {
    HostWindow host;
    Caption caption;
    caption.setText(u"Dictionary");
    caption.create(host, 0, 0, 200, 20);
    Button* close = nullptr;
    for (wxWindow* child : caption.handle()->GetChildren()) {
        close = dynamic_cast<Button*>(BaseWindow::fromHandle(child));
    }
    ASSERT_NE(close, nullptr);
    sendNative(*close, wxEVT_BUTTON);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].code, codes::kCaptionClose);
    EXPECT_EQ(host.commands[0].sender, caption.handle());
}

TEST(Controls, ToolBarImagesComeFromAStripWithGreenSeeThrough) {
    const auto images =
        loadImageStrip(test::sourceDir() + "/Resources/MainTool.bmp", 16, wxColour(0, 255, 0));
    ASSERT_GE(images.size(), 4u);
    for (const auto& image : images) {
        EXPECT_EQ(image.GetSize(), wxSize(16, 16));
        EXPECT_NE(image.GetMask(), nullptr);
    }
    EXPECT_TRUE(loadImageStrip("/no/such/file.bmp", 16, wxColour(0, 255, 0)).empty());
}

TEST(Controls, ToolButtonsSendTheirIdToTheCommandTarget) {
    HostWindow host;
    HostWindow target;
    BaseWindow holder;
    holder.create(host, 0, 0, 200, 40);
    ToolBar bar;
    bar.create(holder, 0, 0, 200, 30);
    bar.setCommandTarget(&target);
    bar.addButton(11, 1, u"Always on Top", ToolBar::Kind::Check);
    bar.addButton(13, 3, u"Theme");
    EXPECT_EQ(bar.buttonCount(), 2);

    auto* toolBar = static_cast<wxToolBar*>(bar.handle());
    bar.setChecked(11, true);
    EXPECT_TRUE(bar.isChecked(11));
    wxCommandEvent event(wxEVT_TOOL, 11);
    event.SetEventObject(toolBar);
    toolBar->ProcessWindowEvent(event);
    ASSERT_EQ(target.commands.size(), 1u);
    EXPECT_EQ(target.commands[0].id, 11);
    EXPECT_EQ(target.commands[0].sender, bar.handle());
    EXPECT_TRUE(host.commands.empty());
}

}  // namespace
}  // namespace pw
