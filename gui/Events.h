// What windows tell each other and what the user does to them: commands and
// notifications a child sends its parent, and key and mouse input.
#pragma once

class wxWindow;

namespace pw {

// Codes a control puts in the commands and notifications it sends; the table of
// each control class says which it sends.
namespace codes {
// Commands.
inline constexpr int kClicked = 0;           // buttons, check boxes, radio buttons, tool buttons
inline constexpr int kSelectionChanged = 1;  // combo box: another item chosen
inline constexpr int kTextChanged = 2;       // text fields, editable combo box
inline constexpr int kEnter = 3;             // text field: Enter pressed
inline constexpr int kValueChanged = 4;      // slider moved, number field changed
inline constexpr int kTrackEnd = 5;          // slider: the user let go of the thumb
inline constexpr int kDropDown = 6;          // combo box: its list is about to open
inline constexpr int kCaptionClose = 7;      // caption: its close button was pressed
// Notifications.
inline constexpr int kItemActivated = 100;  // table or tree: double-click or Enter on an item
inline constexpr int kItemSelected = 101;   // table or tree: the selection changed
inline constexpr int kContextMenu = 102;    // table or tree: right-click or the menu key
inline constexpr int kKeyDown = 103;        // table or tree: a key was pressed (Notify::key)
inline constexpr int kColumnClick = 104;    // table: a column title was clicked
inline constexpr int kTabChanged = 105;     // tabbed pane: another tab is shown
inline constexpr int kItemExpanded = 106;   // tree: an item was opened
inline constexpr int kItemCollapsed = 107;  // tree: an item was closed
inline constexpr int kBeginDrag = 108;      // tree: the user started dragging an item
inline constexpr int kItemChecked = 109;    // table: the user checked or unchecked a row's box
}  // namespace codes

// A command from a child control to its parent. The parent tells its children
// apart by comparing sender with child.handle().
struct Command {
    int id = 0;    // the sender's control id (the tool or menu id for tool buttons)
    int code = 0;  // codes::k...
    wxWindow* sender = nullptr;
};

// A notification from a child control to its parent, with what it is about.
struct Notify {
    int id = 0;
    int code = 0;  // codes::k...
    wxWindow* sender = nullptr;
    int row = -1;          // table row or tab index; -1 when none
    int column = -1;       // table column of a column click
    int x = 0, y = 0;      // sender's client coordinates of a context menu
    int key = 0;           // wx key code of kKeyDown
    void* item = nullptr;  // tree item (Tree::Item) the notification is about
};

// Key input: keyCode is the wx key code (WXK_... or the upper-case letter),
// ch the character typed (0 for key-down and key-up).
struct KeyInput {
    int keyCode = 0;
    char32_t ch = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

struct MouseInput {
    enum Action { Down, Up, DoubleClick, Move, Wheel, Enter, Leave };
    enum Button { NoButton, Left, Right, Middle };
    Action action = Move;
    Button button = NoButton;
    int x = 0, y = 0;       // client coordinates
    int wheelRotation = 0;  // multiples of 120 per notch, positive away from the user
    bool shift = false;
    bool control = false;
    bool alt = false;
};

}  // namespace pw
