#include "platform/win32/PromptDialog.h"

#include <cstdint>
#include <vector>

#include "platform/AnsiText.h"

namespace platform {
namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;

// Dialog units: 4 to the average character width, 8 to its height.
constexpr short kWidth = 220;
constexpr short kHeight = 68;

// A DLGTEMPLATE and its items as the words the dialog manager reads. Every
// item starts on a DWORD boundary; strings are UTF-16 (left empty here: the
// texts are set in the ANSI code page once the dialog exists).
class TemplateBuilder {
  public:
    void Dialog(DWORD style, short width, short height, WORD items) {
        Dword(style);
        Dword(0);  // extended style
        words_.push_back(items);
        Short(0);
        Short(0);
        Short(width);
        Short(height);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        words_.push_back(0);  // title: set later
        words_.push_back(8);  // DS_SETFONT: points and face
        for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) words_.push_back(static_cast<WORD>(*c));
        words_.push_back(0);
    }

    // `atom` is one of the predefined classes: 0x80 button, 0x81 edit,
    // 0x82 static.
    void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD atom,
              const wchar_t* text = L"") {
        if (words_.size() % 2) words_.push_back(0);
        Dword(style);
        Dword(0);
        Short(x);
        Short(y);
        Short(width);
        Short(height);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        for (const wchar_t* c = text; *c; ++c) words_.push_back(static_cast<WORD>(*c));
        words_.push_back(0);
        words_.push_back(0);  // no creation data
    }

    const DLGTEMPLATE* Template() const {
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

  private:
    void Dword(DWORD value) {
        words_.push_back(static_cast<WORD>(value & 0xFFFF));
        words_.push_back(static_cast<WORD>(value >> 16));
    }
    void Short(short value) { words_.push_back(static_cast<WORD>(value)); }

    std::vector<WORD> words_;
};

struct PromptState {
    std::string text;
    std::string title;
    std::string defaultAnswer;
    std::string answer;
};

// Over the owner when it is shown, else in the middle of the work area;
// always wholly on it.
void Place(HWND dialog) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    RECT box;
    GetWindowRect(dialog, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    LONG x = around.left + ((around.right - around.left) - width) / 2;
    LONG y = around.top + ((around.bottom - around.top) - height) / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthA(item) : 0;
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<PromptState*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            SetWindowTextA(dialog, ToAnsi(state->title).c_str());
            SetDlgItemTextA(dialog, kPromptId, ToAnsi(state->text).c_str());
            SetDlgItemTextA(dialog, kEditId, ToAnsi(state->defaultAnswer).c_str());
            Place(dialog);
            HWND edit = GetDlgItem(dialog, kEditId);
            SendMessageA(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: {
                    auto* state =
                        reinterpret_cast<PromptState*>(GetWindowLongPtrA(dialog, DWLP_USER));
                    if (state) state->answer = FromAnsi(ItemText(dialog, kEditId));
                    EndDialog(dialog, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::string> RunPromptDialog(HWND owner, const std::string& text,
                                           const std::string& title,
                                           const std::string& defaultAnswer) {
    TemplateBuilder builder;
    builder.Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, kWidth, kHeight,
                   4);
    builder.Item(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 7, 7, kWidth - 14, 20, kPromptId,
                 0x82);
    builder.Item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 30,
                 kWidth - 14, 13, kEditId, 0x81);
    builder.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 114, kHeight - 20,
                 50, 14, IDOK, 0x80, L"OK");
    builder.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kWidth - 57, kHeight - 20, 50,
                 14, IDCANCEL, 0x80, L"Cancel");

    PromptState state{text, title, defaultAnswer, {}};
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), builder.Template(), owner, &PromptProc,
                                reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.answer;
}

}  // namespace platform
