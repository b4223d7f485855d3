#pragma once

#include <windows.h>

#include <map>

#include "app/platform.h"
#include "app/win32_handles.h"

namespace vexmora {
class Program;
}

namespace vexmora::win32 {

// BarWindow and DetailWindow, owned by a hidden window so that neither has a
// taskbar button.
class Win32Windows final : public Windows {
public:
    explicit Win32Windows(HINSTANCE instance);
    void connect(Program& program) { program_ = &program; }

    // Loads BarWindow hidden; its created event is raised by the entry.
    void loadBarWindow();
    void finishLoading() { loaded_ = true; }
    HWND barWindow() const { return bar_.get(); }

    bool cutWindowShape(WindowId window) override;
    void loadDetailWindow() override;
    void setWindowAlpha(WindowId window, int alpha) override;
    void setAlwaysOnTop(WindowId window, bool on) override;
    void setWindowVisible(WindowId window, bool visible) override;
    void moveWindow(WindowId window, const Rect& rect) override;
    Rect windowRect(WindowId window) override;
    void setLabelText(LabelId label, const Text& text) override;
    Text labelText(LabelId label) override;
    Text versionEditText() override;
    void installMouseLeaveHook() override;
    void trackMouseLeave() override;
    void dragBar() override;
    void setTimerPeriod(int milliseconds) override;
    int primaryScreenWidth() override;
    bool touchesAnyMonitor(const Rect& rect) override;

private:
    static LRESULT CALLBACK barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK detailProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND handle(WindowId window) const { return window == WindowId::bar ? bar_.get() : detail_.get(); }

    HINSTANCE instance_;
    Program* program_ = nullptr;
    bool loaded_ = false;
    UniqueWindow owner_;
    UniqueWindow bar_;
    UniqueWindow detail_;
    HWND versionEdit_ = nullptr;
    std::map<LabelId, Text> labelTexts_;
};

}  // namespace vexmora::win32
