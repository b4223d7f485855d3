#pragma once

#include <windows.h>

#include "app/platform.h"
#include "app/system_library_win32.h"

namespace vexmora::win32 {

// The modal integer input box: a dialog built in memory, 252 x 92 dialog
// units in 9-point 宋体, centred on the screen. Its edit line takes only "-"
// and the digits among printable characters, typed or pasted.
//
// The box has no owner: at start-up no window of the program is visible yet,
// and from the menu the bar and the panel stay enabled and keep drawing while
// the box is open (the box's own loop dispatches their messages and the
// ticks).
class Win32InputBox final : public InputBox {
public:
    explicit Win32InputBox(HINSTANCE instance) : instance_(instance) {}
    std::optional<Text> inputNumber(const Text& prompt, const Text& title, const Text& initialText) override;

    // Control identifiers inside the dialog, besides IDOK and IDCANCEL.
    static constexpr int promptId = 100;
    static constexpr int editId = 101;

private:
    HINSTANCE instance_;
    // The themed controls of comctl32 version 6, through an activation
    // context of the box's own. Made with the first box, as most runs never
    // show one, and kept while the box lives: the control classes comctl32
    // registers belong to it.
    void prepareThemedControls();
    bool prepared_ = false;
    UniqueActivationContext controlsContext_;
    UniqueModule commonControls_;
    // A WM_QUIT that ended a box: held back while the prompt goes on (a
    // prompt shown again would end at once and spin), posted again once a
    // number is confirmed.
    std::optional<WPARAM> heldQuit_;
};

}  // namespace vexmora::win32
