#include "menu/input_box_win32.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/gbk_win32.h"
#include "ui/resource_ids.h"

namespace vexmora::win32 {

namespace {

// Predefined control classes by atom, as a dialog template names them.
constexpr WORD buttonAtom = 0x0080;
constexpr WORD editAtom = 0x0081;
constexpr WORD staticAtom = 0x0082;

// Integer mode: among printable characters only these are taken.
bool isNumberCharacter(wchar_t c) {
    return (c >= L'0' && c <= L'9') || c == L'-';
}

// Control characters (Backspace, Ctrl+C, Ctrl+V, ...) keep their editing
// meaning; everything the edit would insert must be a number character.
bool takesCharacter(WPARAM c) {
    return c < 0x20 || (c <= 0xFFFF && isNumberCharacter(static_cast<wchar_t>(c)));
}

std::wstring numberCharactersOf(const std::wstring& text) {
    std::wstring kept;
    for (wchar_t c : text)
        if (isNumberCharacter(c)) kept += c;
    return kept;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// An in-memory DLGTEMPLATE with its DLGITEMTEMPLATEs, as WORDs. The vector's
// storage is aligned well beyond a DWORD, so item alignment is counted in
// WORDs from its start.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, const std::wstring& title, WORD pointSize,
                   const std::wstring& face) {
        dword(style);
        dword(0);         // extended style
        countAt_ = words_.size();
        word(0);          // number of items, filled in by add()
        word(0);          // x, y: DS_CENTER places the box
        word(0);
        word(static_cast<WORD>(cx));
        word(static_cast<WORD>(cy));
        word(0);          // no menu
        word(0);          // the predefined dialog class
        text(title);
        word(pointSize);  // DS_SETFONT
        text(face);
    }

    void add(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const std::wstring& title) {
        if (words_.size() % 2 != 0) word(0);  // each item starts on a DWORD
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        word(static_cast<WORD>(x));
        word(static_cast<WORD>(y));
        word(static_cast<WORD>(cx));
        word(static_cast<WORD>(cy));
        word(id);
        word(0xFFFF);
        word(classAtom);
        text(title);
        word(0);  // no creation data
        ++words_[countAt_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    // A template string ends at its first NUL, so one inside the text only
    // shortens it.
    void text(const std::wstring& s) {
        for (wchar_t c : s) word(static_cast<WORD>(c));
        word(0);
    }

    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

struct BoxState {
    WNDPROC editProc = nullptr;  // the edit's own procedure, while it is replaced
    HWND edit = nullptr;
    std::wstring answer;
};

BoxState* stateOf(HWND dialog) {
    return reinterpret_cast<BoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Inserts the number characters of the clipboard text at the selection.
void pasteNumberCharacters(HWND edit) {
    std::wstring kept;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(edit)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* clip = static_cast<const wchar_t*>(GlobalLock(data))) {
                // Bounded by the block's size, in case the text lacks its NUL.
                const SIZE_T limit = GlobalSize(data) / sizeof(wchar_t);
                for (SIZE_T i = 0; i < limit && clip[i] != L'\0'; ++i)
                    if (isNumberCharacter(clip[i])) kept += clip[i];
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    if (!kept.empty()) SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
}

LRESULT CALLBACK numberEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    BoxState* state = stateOf(GetParent(edit));
    if (state == nullptr || state->editProc == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    switch (message) {
        case WM_CHAR:
        case WM_IME_CHAR:
            if (wParam == 0x16) {  // Ctrl+V
                pasteNumberCharacters(edit);
                return 0;
            }
            if (!takesCharacter(wParam)) return 0;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
                pasteNumberCharacters(edit);
                return 0;
            }
            break;
        case WM_PASTE:
            pasteNumberCharacters(edit);
            return 0;
        default:
            break;
    }
    return CallWindowProcW(state->editProc, edit, message, wParam, lParam);
}

// Whatever still brings other characters in (a drop, an IME, the edit's own
// menu) is undone after the change, keeping the caret where it was among the
// characters that stay.
void keepOnlyNumberCharacters(HWND edit) {
    const std::wstring text = windowText(edit);
    const std::wstring kept = numberCharactersOf(text);
    if (kept == text) return;
    DWORD caret = 0;
    SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::size_t before = numberCharactersOf(text.substr(0, caret < text.size() ? caret : text.size())).size();
    SetWindowTextW(edit, kept.c_str());
    SendMessageW(edit, EM_SETSEL, before, static_cast<LPARAM>(before));
}

void restoreEdit(BoxState& state) {
    if (state.edit == nullptr || state.editProc == nullptr) return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(state.edit, GWLP_WNDPROC)) == numberEditProc)
        SetWindowLongPtrW(state.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.editProc));
    state.editProc = nullptr;
}

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<BoxState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            state->edit = GetDlgItem(dialog, Win32InputBox::editId);
            if (state->edit != nullptr) {
                state->editProc = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(numberEditProc)));
                SetFocus(state->edit);
                SendMessageW(state->edit, EM_SETSEL, 0, -1);
            }
            return FALSE;  // the focus is set
        }
        case WM_COMMAND: {
            BoxState* state = stateOf(dialog);
            if (state == nullptr) break;
            switch (LOWORD(wParam)) {
                case IDOK:
                    state->answer = state->edit ? windowText(state->edit) : std::wstring();
                    EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:  // the button, Esc and the close button
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                case Win32InputBox::editId:
                    if (HIWORD(wParam) == EN_CHANGE && state->edit) keepOnlyNumberCharacters(state->edit);
                    return TRUE;
                default:
                    break;
            }
            break;
        }
        case WM_DESTROY:
            // The dialog goes before its children: the edit gets its own
            // procedure back before it is destroyed.
            if (BoxState* state = stateOf(dialog)) restoreEdit(*state);
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

// Without the context or the library the box still opens, with the classic
// controls.
void Win32InputBox::prepareThemedControls() {
    if (std::exchange(prepared_, true)) return;
    wchar_t exePath[MAX_PATH];
    const DWORD length = GetModuleFileNameW(instance_, exePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ACTCTXW manifest{};
    manifest.cbSize = sizeof(manifest);
    manifest.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    manifest.lpSource = exePath;
    manifest.hModule = instance_;
    manifest.lpResourceName = MAKEINTRESOURCEW(VEXMORA_CONTROLS_MANIFEST);
    controlsContext_.reset(CreateActCtxW(&manifest));
    if (!controlsContext_) return;
    const ActivationScope themed(controlsContext_.get());
    commonControls_ = loadSystemLibrary(L"comctl32.dll");
    if (auto* init = procedure<decltype(InitCommonControlsEx)>(commonControls_.get(), "InitCommonControlsEx")) {
        const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
        init(&controls);
    }
}

std::optional<Text> Win32InputBox::inputNumber(const Text& prompt, const Text& title, const Text& initialText) {
    // The font the dialog manager creates from DS_SETFONT is its own and goes
    // with the dialog.
    DialogTemplate box(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_SETFOREGROUND,
                       252, 92, wideFromGbk(title), 9, wideFromGbk("宋体"));
    box.add(SS_LEFT | SS_NOPREFIX, 7, 6, 229, 27, promptId, staticAtom, wideFromGbk(prompt));
    box.add(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 38, 238, 12, editId, editAtom, wideFromGbk(initialText));
    box.add(WS_TABSTOP | BS_DEFPUSHBUTTON, 118, 62, 60, 16, IDOK, buttonAtom, wideFromGbk("确认输入(&O)"));
    box.add(WS_TABSTOP | BS_PUSHBUTTON, 185, 62, 60, 16, IDCANCEL, buttonAtom, wideFromGbk("取消(&C)"));

    prepareThemedControls();
    const ActivationScope themed(controlsContext_.get());
    BoxState state;
    const INT_PTR result =
        DialogBoxIndirectParamW(instance_, box.get(), nullptr, inputBoxProc, reinterpret_cast<LPARAM>(&state));
    // The loop leaves a WM_QUIT that ended it in the queue; whatever the
    // result says then, nothing was confirmed.
    MSG quit;
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        heldQuit_ = quit.wParam;
        return std::nullopt;
    }
    if (result != IDOK) return std::nullopt;
    if (heldQuit_) PostQuitMessage(static_cast<int>(*std::exchange(heldQuit_, std::nullopt)));
    return gbkFromWide(state.answer);
}

}  // namespace vexmora::win32
