#include "menu/input_box_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vexmora::win32 {
namespace {

constexpr wchar_t tickerClass[] = L"VexmoraInputBoxTestTicker";

// The box is driven from inside its own modal loop: a window timer of a
// hidden window, like the bar's, ticks there; once enough ticks have come
// through, the script acts on the box.
struct Script {
    std::function<void(HWND box)> act;
    int ticksBeforeActing = 2;
    int ticks = 0;
    bool acted = false;
};
Script* running = nullptr;

BOOL CALLBACK findBoxOfThread(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND findBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBoxOfThread, reinterpret_cast<LPARAM>(&box));
    return box;
}

LRESULT CALLBACK tickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || running == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    Script& script = *running;
    ++script.ticks;
    HWND box = findBox();
    if (!script.acted && script.ticks >= script.ticksBeforeActing && box != nullptr) {
        script.acted = true;
        script.act(box);
    } else if (script.ticks > 400 && box != nullptr) {  // about 8 s: the script did not close it
        ADD_FAILURE() << "the box was left open";
        EndDialog(box, IDCANCEL);
    }
    return 0;
}

std::optional<Text> runBox(const Text& prompt, const Text& title, const Text& initial,
                           std::function<void(HWND)> act, int ticksBeforeActing = 2) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = tickerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = tickerClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when already registered
    HWND ticker = CreateWindowExW(0, tickerClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    Script script{std::move(act), ticksBeforeActing};
    running = &script;
    SetTimer(ticker, 1, 20, nullptr);
    static Win32InputBox box(instance);  // one box for the whole run, as in the program
    const std::optional<Text> answer = box.inputNumber(prompt, title, initial);
    KillTimer(ticker, 1);
    running = nullptr;
    DestroyWindow(ticker);
    EXPECT_TRUE(script.acted) << "the box never came up";
    EXPECT_GE(script.ticks, ticksBeforeActing);
    return answer;
}

std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// A control's place inside the box's client area.
RECT placeIn(HWND box, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT dialogUnits(HWND box, int width, int height) {
    RECT rect{0, 0, width, height};
    MapDialogRect(box, &rect);
    return rect;
}

int widthOf(const RECT& r) { return r.right - r.left; }
int heightOf(const RECT& r) { return r.bottom - r.top; }

void putOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    CloseClipboard();
}

void typeCharacters(HWND edit, const std::wstring& characters) {
    for (wchar_t c : characters) SendMessageW(edit, WM_CHAR, c, 1);
}

const Text monitorPrompt = "一般win7填入14 XP填入2,不行请尝试从1开始递增填入,输入范围1-4";

TEST(Win32InputBox, OpensWithItsLayoutFontAndFocusAndConfirmsTheInitialText) {
    HFONT boxFont = nullptr;
    const auto answer = runBox(monitorPrompt, "请输入监控编号", "14", [&boxFont](HWND box) {
        EXPECT_EQ(textOf(box), L"请输入监控编号");
        const LONG style = GetWindowLongW(box, GWL_STYLE);
        EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);

        RECT client{};
        GetClientRect(box, &client);
        const RECT whole = dialogUnits(box, 252, 92);
        EXPECT_EQ(widthOf(client), widthOf(whole));
        EXPECT_EQ(heightOf(client), heightOf(whole));

        // Centred in the work area.
        RECT frame{}, work{};
        GetWindowRect(box, &frame);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);

        // 9-point 宋体, made by the dialog itself.
        boxFont = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
        LOGFONTW font{};
        ASSERT_NE(GetObjectW(boxFont, sizeof(font), &font), 0);
        EXPECT_STREQ(font.lfFaceName, L"宋体");
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
        ReleaseDC(nullptr, screen);

        HWND prompt = GetDlgItem(box, Win32InputBox::promptId);
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(textOf(prompt), L"一般win7填入14 XP填入2,不行请尝试从1开始递增填入,输入范围1-4");
        EXPECT_EQ(GetWindowLongW(prompt, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);  // wraps
        const RECT promptPlace = placeIn(box, prompt);
        EXPECT_EQ(widthOf(promptPlace), widthOf(dialogUnits(box, 229, 27)));
        EXPECT_EQ(heightOf(promptPlace), heightOf(dialogUnits(box, 229, 27)));

        HWND edit = GetDlgItem(box, Win32InputBox::editId);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(textOf(edit), L"14");
        const RECT editPlace = placeIn(box, edit);
        EXPECT_EQ(widthOf(editPlace), widthOf(dialogUnits(box, 238, 12)));
        EXPECT_EQ(heightOf(editPlace), heightOf(dialogUnits(box, 238, 12)));
        EXPECT_GE(editPlace.top, promptPlace.bottom);  // under the prompt
        EXPECT_EQ(GetFocus(), edit);
        DWORD start = 99, end = 99;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 2u);

        EXPECT_EQ(textOf(GetDlgItem(box, IDOK)), L"确认输入(&O)");
        EXPECT_EQ(textOf(GetDlgItem(box, IDCANCEL)), L"取消(&C)");
        EXPECT_EQ(SendMessageW(box, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        for (HWND control : {prompt, edit, GetDlgItem(box, IDOK), GetDlgItem(box, IDCANCEL)}) {
            const RECT place = placeIn(box, control);
            EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right && place.bottom <= client.bottom);
        }
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(answer, Text("14"));
    ASSERT_NE(boxFont, nullptr);
    EXPECT_EQ(GetObjectType(boxFont), 0u) << "the box's font outlived it";
}

TEST(Win32InputBox, TakesOnlyDigitsAndMinusAndKeepsTheEditingKeys) {
    const auto answer = runBox("p", "t", "2", [](HWND box) {
        HWND edit = GetDlgItem(box, Win32InputBox::editId);
        // The initial text is selected: the first character replaces it.
        typeCharacters(edit, L"1a2-+ .xX\x0663\xFF19\x4E2D" L"3");
        EXPECT_EQ(textOf(edit), L"12-3");
        SendMessageW(edit, WM_IME_CHAR, L'b', 1);
        SendMessageW(edit, WM_IME_CHAR, 0x4E2D, 1);
        EXPECT_EQ(textOf(edit), L"12-3");
        typeCharacters(edit, L"\b");  // Backspace
        EXPECT_EQ(textOf(edit), L"12-");
        SendMessageW(edit, EM_SETSEL, 0, 0);
        SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 1);
        EXPECT_EQ(textOf(edit), L"2-");
        SendMessageW(edit, WM_KEYDOWN, VK_RIGHT, 1);
        typeCharacters(edit, L"7");
        EXPECT_EQ(textOf(edit), L"27-");
        // Enter goes through the dialog's own loop to the default button.
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(answer, Text("27-"));
}

TEST(Win32InputBox, PastesOnlyTheNumberCharactersOfTheClipboard) {
    const auto answer = runBox("p", "t", "1", [](HWND box) {
        HWND edit = GetDlgItem(box, Win32InputBox::editId);
        SendMessageW(edit, EM_SETSEL, 1, 1);
        putOnClipboard(L"7a-8 b\t9中");
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(textOf(edit), L"17-89");
        SendMessageW(edit, EM_SETSEL, 0, -1);
        putOnClipboard(L"x4\r\n2y");
        typeCharacters(edit, L"\x16");  // Ctrl+V
        EXPECT_EQ(textOf(edit), L"42");
        // Nothing to take: the selection stays as it is.
        SendMessageW(edit, EM_SETSEL, 0, -1);
        putOnClipboard(L"abc");
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(textOf(edit), L"42");
        // Text arriving any other way is cut back to its number characters.
        SendMessageW(edit, EM_SETSEL, 1, 1);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x5y"));
        EXPECT_EQ(textOf(edit), L"452");
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(end, 2u);  // the caret after the 5
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(answer, Text("452"));
}

TEST(Win32InputBox, CancelEscAndTheCloseButtonGiveNoAnswer) {
    const std::pair<const char*, std::function<void(HWND)>> ways[] = {
        {"cancel button", [](HWND box) { SendMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Esc", [](HWND box) { PostMessageW(GetDlgItem(box, Win32InputBox::editId), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"close button", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [way, act] : ways) EXPECT_EQ(runBox("p", "t", "5", act), std::nullopt) << way;
}

TEST(Win32InputBox, EmptyTextIsConfirmedAsEmpty) {
    const auto answer = runBox("p", "t", "225", [](HWND box) {
        typeCharacters(GetDlgItem(box, Win32InputBox::editId), L"\b");
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(answer, Text());
}

TEST(Win32InputBox, TicksGoOnWhileTheBoxIsOpen) {
    // Acting only after 25 ticks of a window timer means the box's loop
    // dispatched all of them.
    const auto answer = runBox("p", "t", "3", [](HWND box) { SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); },
                               25);
    EXPECT_EQ(answer, Text("3"));
}

TEST(Win32InputBox, AQuitWhileAskingWaitsForTheAnswer) {
    // The quit ends the box; the prompt shows it again, and the quit comes
    // back once a number is confirmed, for the program's own loop to end on.
    EXPECT_EQ(runBox("p", "t", "1", [](HWND) { PostQuitMessage(7); }), std::nullopt);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    const auto answer = runBox("p", "t", "4", [](HWND box) { SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); });
    EXPECT_EQ(answer, Text("4"));
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

TEST(Win32InputBox, OddTextsStillMakeABox) {
    const Text longPrompt(20000, 'x');
    const Text badGbk = "\xFF\x81\x30";
    const auto answer = runBox(longPrompt, badGbk, "", [](HWND box) {
        EXPECT_EQ(textOf(GetDlgItem(box, Win32InputBox::editId)), L"");
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(answer, Text());
}

}  // namespace
}  // namespace vexmora::win32
