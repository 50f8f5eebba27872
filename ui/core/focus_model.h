#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "run/controls.h"
#include "ui/core/form_core.h"
#include "ui/core/keys.h"

namespace infotest {

// What a key, a click or a focus change asks of the window, in the model's
// terms; each window turns it into its toolkit's calls, in this order:
// close the box, focus its button, select, focus, deliver.
struct FocusAnswer {
    // The window used the event: the toolkit's own meaning of it is
    // cancelled.
    bool handled = false;
    bool closeBox = false;
    // The focus goes back to the open box's button.
    bool focusBox = false;
    // The option that becomes the selected one of its group.
    std::optional<Control> select;
    // The control that takes the focus; Form1 for the window itself.
    std::optional<Control> focus;
    // The event procedure to run, through FormCore::Deliver.
    FormCore::Procedure deliver = nullptr;
};

// A message box of a window whose boxes do not block the procedure that
// shows them (the page's).
struct QueuedBox {
    std::string prompt;
    std::string title;
    MessageIcon icon;
};

// What the window does once the pupil has closed a box.
struct AfterBox {
    // Another box waited its turn: the window opens OpenBox() now.
    bool nextBox = false;
    // The end of the program that waited for the box: hide the window,
    // then end the event loop with this status.
    bool hideWindow = false;
    std::optional<int> endStatus;
    // Where the focus goes when nothing else follows.
    std::optional<Control> focus;
    // The announcement that waited for the last box to close.
    std::optional<std::string> announce;
};

// The keyboard, the focus and the box's modality, the same for every window
// whatever its toolkit:
// - Tab follows the table's tab order and skips what the pupil cannot reach
//   (hidden, or placed wholly outside its container);
// - the option group is one Tab stop, entered at the selected option or,
//   with none selected, at the one drawn topmost;
// - the arrow keys move within the group in the order the options are
//   drawn, top to bottom, wrap, and select the option they reach;
// - Enter and Space press the focused command button once, however long
//   the key is held (its repeats press nothing);
// - a control that leaves the pupil's reach passes the focus on to the
//   next Tab stop, or to the window when there is none;
// - while a box is open the focus stays on its button and no click or key
//   reaches the window; Enter, Space and Escape close the box;
// - for boxes that do not block (the page's): one open at a time, the next
//   waiting its turn, and an end of the program asked for behind a box
//   carried out when the last box closes, so that the pupil reads it first;
//   likewise an announcement, which the box would talk over.
//
// The window tells the model what it does to its controls (Moved,
// ShownChanged) and reads the selection through its own Controls; the
// model keeps no toolkit state and calls nothing back.
class FocusModel {
public:
    explicit FocusModel(const Controls& window);

    // The window placed or showed a control. When `focused` has just left
    // the pupil's reach, returns where the focus goes (Form1: the window).
    std::optional<Control> Moved(Control control, double leftTwips, int topTwips, Control focused);
    std::optional<Control> ShownChanged(Control control, bool shown, Control focused);

    // Shown and inside its container; never Form1 or Timer1.
    bool InReach(Control control) const;
    // The option Tab stops at; Form1 when no option is in reach.
    Control OptionTabStop() const;
    bool IsTabStop(Control control) const;
    // The Tab stop after `from` (before it, `back`), round the tab order;
    // `from` when there is no other. From Form1, the first (last) one.
    Control NextTabStop(Control from, bool back) const;
    // The options in reach, topmost first.
    std::vector<Control> OptionsInDrawnOrder() const;

    // A key pressed while `focused` has the focus; `repeat`: a repeat of a
    // key held down.
    FocusAnswer PressKey(Key key, bool shift, bool repeat, Control focused) const;
    // A click on a control (Form1: anything else of the window or page).
    FocusAnswer Click(Control control) const;
    FocusAnswer ClickBoxButton() const;
    // A mouse button goes down (on the box's button or elsewhere), or the
    // focus arrives somewhere: while a box is open the focus stays on its
    // button, and the press's own meaning is cancelled.
    FocusAnswer PointerDown(bool onBoxButton) const;
    FocusAnswer FocusArrived(bool onBoxButton) const;

    // ---- Boxes that do not block ----
    bool BoxOpen() const { return !boxes_.empty(); }
    // Returns whether the box opens now; otherwise it waits for the open
    // one. The focus returns to `focused` when the last box closes.
    bool QueueBox(QueuedBox box, Control focused);
    const QueuedBox& OpenBox() const { return boxes_.front(); }
    AfterBox CloseBox();
    // The window hides, or the event loop ends, while a box may be open:
    // returns true when it has to wait for the last box to close.
    bool HoldHide();
    bool HoldEnd(int exitStatus);
    // An announcement while a box is open: returns true when it has to wait
    // for the last box to close (a later one replaces it).
    bool HoldAnnouncement(std::string text);
    // The window is shown again: a hide still waiting is dropped.
    void CancelHide() { hideWhenBoxCloses_ = false; }
    // Forgets the boxes (the page goes away with them).
    void DropBoxes();

private:
    std::optional<Control> PassOnIfUnreachable(Control control, Control focused) const;

    const Controls& window_;
    std::array<bool, kControlCount> shown_{};
    std::array<bool, kControlCount> outside_{};
    std::array<int, kControlCount> tops_{};  // twips, in the container
    std::deque<QueuedBox> boxes_;
    Control focusBeforeBox_ = Control::Form1;
    bool hideWhenBoxCloses_ = false;
    std::optional<int> endWhenBoxCloses_;
    std::optional<std::string> announceWhenBoxCloses_;
};

}  // namespace infotest
