// The process entry of the Windows program.
#include <windows.h>

#include "app/http_win32.h"
#include "app/process_win32.h"
#include "app/program.h"
#include "menu/balloon_win32.h"
#include "menu/input_box_win32.h"
#include "meter/interface_table_win32.h"
#include "settings/registry_win32.h"
#include "ui/windows_win32.h"

using namespace vexmora;

namespace {

int programMain(HINSTANCE instance) {
    win32::Win32Registry registry;
    win32::Win32InterfaceTable interfaceTable;
    win32::Win32Windows windows(instance);
    win32::Win32Balloon balloon(instance);
    win32::Win32InputBox inputBox(instance);
    win32::Win32Network network;
    win32::Win32Process process;
    Program program(Platform{registry, interfaceTable, windows, balloon, inputBox, network, process});
    windows.connect(program);
    balloon.connect(program);

    program.initGlobals();
    process.registerCleanUp([&program] { program.releaseGlobals(); });

    // BarWindow is the start-up window: loaded hidden, then its created
    // event (the start-up), then its position-changed event.
    windows.loadBarWindow();
    windows.finishLoading();
    program.startUp();
    program.onBarMoved();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    process.runCleanUpOnce();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return programMain(instance);
}
