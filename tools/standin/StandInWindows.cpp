#include "tools/standin/StandInWindows.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "aol/ClientWindows.h"
#include "platform/AnsiText.h"
#include "platform/Text.h"
#include "tools/standin/StandInClient.h"

namespace standin {
namespace {

// The client whose windows these are.
StandInClient* owner = nullptr;

// The classes the client's windows carry. "Edit", "Button" and "Static" are
// registered here too: a class of the program's own shadows the system one
// inside the program, so those controls behave exactly as described below
// and nothing else.
const char* const kClasses[] = {aol::kFrameClass,  aol::kToolbarClass, aol::kInnerToolbarClass,
                                aol::kComboClass,  aol::kListClass,    aol::kIconClass,
                                aol::kStaticClass, aol::kAddressClass, aol::kBoxButtonClass,
                                aol::kBoxTextClass};

LRESULT CALLBACK PlainWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return owner->PlainProc(w, msg, wp, lp);
}
LRESULT CALLBACK FrameWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return owner->FrameProc(w, msg, wp, lp);
}
LRESULT CALLBACK ChildWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return owner->ChildProc(w, msg, wp, lp);
}
// The dialog class's own procedure, under the one the client's box gets.
WNDPROC dialogProc = nullptr;
LRESULT CALLBACK BoxWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return owner->BoxProc(w, msg, wp, lp);
}
// The input box's own procedure, under the one that takes a person's Return.
WNDPROC inputProc = nullptr;
LRESULT CALLBACK InputWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return owner->InputProc(w, msg, wp, lp);
}

bool RegisterClassNamed(HINSTANCE instance, const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return RegisterClassA(&wc) != 0;
}

// "RICHCNTL" as the client has it: a rich edit control under another name,
// of either generation. The client may be one made with RichEdit 1.0
// (riched32's "RICHEDIT", whose paragraphs end in CR LF) or with a later one
// (RichEdit20A, CR alone). A window of the class takes, at its first message,
// the window procedure of the generation the client is made with then, and
// keeps it for good.
WNDPROC richEditProc[2] = {};  // the later generation's, the first's

LRESULT CALLBACK RichCntlWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC proc = richEditProc[owner->FirstRichEdit() ? 1 : 0];
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return CallWindowProcA(proc, w, msg, wp, lp);
}

bool RegisterRichEdit(HINSTANCE instance) {
    WNDCLASSEXA later{}, first{};
    later.cbSize = first.cbSize = sizeof later;
    if (!LoadLibraryA("riched20.dll") || !GetClassInfoExA(nullptr, "RichEdit20A", &later)) {
        return false;
    }
    // Without riched32 there is only the later generation.
    if (!LoadLibraryA("riched32.dll") || !GetClassInfoExA(nullptr, "RICHEDIT", &first)) {
        first = later;
    }
    richEditProc[0] = later.lpfnWndProc;
    richEditProc[1] = first.lpfnWndProc;
    WNDCLASSEXA rich = later;
    rich.lpfnWndProc = RichCntlWndProc;
    rich.cbWndExtra = std::max(later.cbWndExtra, first.cbWndExtra);
    rich.hInstance = instance;
    rich.lpszClassName = aol::kRichEditClass;
    rich.style &= ~CS_GLOBALCLASS;
    return RegisterClassExA(&rich) != 0;
}

// The room's icons look like buttons, with their names on them.
void PaintIcon(HWND w) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(w, &paint);
    RECT r;
    GetClientRect(w, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    std::string name = TextOf(w);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, name.c_str(), static_cast<int>(name.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(w, &paint);
}

}  // namespace

bool RegisterClientClasses(HINSTANCE instance, StandInClient& client) {
    owner = &client;
    if (!RegisterRichEdit(instance)) return false;
    for (const char* name : kClasses) {
        RegisterClassNamed(instance, name,
                           std::strcmp(name, aol::kFrameClass) == 0 ? FrameWndProc : PlainWndProc);
    }
    RegisterClassNamed(instance, aol::kChildClass, ChildWndProc);
    return true;
}

void EnsureClass(HINSTANCE instance, const std::string& name) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name.c_str(), &existing)) return;
    RegisterClassNamed(instance, name.c_str(), PlainWndProc);
}

void SubclassRoomInput(HWND input) {
    inputProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputWndProc)));
}

void SubclassMessageBox(HWND box) {
    dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxWndProc)));
}

std::string TextOf(HWND window) {
    if (!window) return "";
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    int n = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(n, 0)));
    return text;
}

// --- the client's windows ---

LRESULT StandInClient::PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && room_ && GetParent(w) == room_) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::strcmp(cls, aol::kIconClass) == 0) {
            PaintIcon(w);
            return 0;
        }
    }
    if (w == roomSend_ && w) return RoomSend(w, msg, wp, lp);
    if (w == addressEdit_ && w) return Address(w, msg, wp, lp);
    if (w == boxButton_ && w) return BoxButton(w, msg, wp, lp);
    if (ImWindow* im = FindIm(w); im && im->sendButton == w) return ImSend(w, msg, wp, lp);
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT StandInClient::FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && w == frame_) {
        SignOff();
        return 0;
    }
    return DefFrameProcA(w, w == frame_ ? mdi_ : nullptr, msg, wp, lp);
}

LRESULT StandInClient::ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // The keys go to the room's input box whenever the room has them.
    if (msg == WM_SETFOCUS && w == room_ && roomInput_) {
        SetFocus(roomInput_);
        return 0;
    }
    if (msg == WM_SIZE && w == room_) {
        LRESULT r = DefMDIChildProcA(w, msg, wp, lp);
        LayOutRoom();
        return r;
    }
    if (msg == WM_CLOSE) {
        Forget(w);
        if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
        return 0;
    }
    return DefMDIChildProcA(w, msg, wp, lp);
}

LRESULT StandInClient::BoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        Forget(w);
        DestroyWindow(w);
        return 0;
    }
    return CallWindowProcA(dialogProc, w, msg, wp, lp);
}

LRESULT StandInClient::InputProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // A person's Return sends the line; the box itself never sees it.
    if (personal_ && w == roomInput_ && (msg == WM_KEYDOWN || msg == WM_CHAR) && wp == VK_RETURN) {
        if (msg == WM_KEYDOWN) SendRoomLine();
        return 0;
    }
    return CallWindowProcA(inputProc, w, msg, wp, lp);
}

// --- the controls that act ---

LRESULT StandInClient::RoomSend(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // The icon sends when the button has gone down and the space key then
    // comes up over it; a button-up in between cancels the press.
    if (msg == WM_LBUTTONDOWN) {
        roomSendDown_ = true;
        roomSendClicked_ = personal_;
        return 0;
    }
    if (msg == WM_LBUTTONUP) {
        // A person's click, down and up with the mouse, sends.
        const bool clicked = personal_ && roomSendClicked_ && roomSendDown_;
        roomSendDown_ = roomSendClicked_ = false;
        if (clicked) SendRoomLine();
        return 0;
    }
    if (msg != WM_KEYUP) return w ? DefWindowProcA(w, msg, wp, lp) : 0;
    if (wp != VK_SPACE || !roomSendDown_) return 0;
    roomSendDown_ = false;
    SendRoomLine();
    return 0;
}

LRESULT StandInClient::Address(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_CHAR) return DefWindowProcA(w, msg, wp, lp);
    if (wp == VK_RETURN) {
        std::string address = platform::TrimBlanks(platform::FromAnsi(TextOf(w)));
        reactions_.Queue([this, address] { Navigate(address); }, timings_.address);
        return 0;
    }
    // Any other character is typed at the end of the box, where the caret
    // stands after the text was set.
    std::string text = TextOf(w);
    text.push_back(static_cast<char>(wp & 0xFF));
    SetWindowTextA(w, text.c_str());
    return 0;
}

LRESULT StandInClient::ImSend(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    ImWindow* im = FindIm(w);
    if (!im) return DefWindowProcA(w, msg, wp, lp);
    if (msg == WM_LBUTTONDOWN) {
        im->buttonDown = true;
        return 0;
    }
    if (msg != WM_LBUTTONUP || !im->buttonDown) return DefWindowProcA(w, msg, wp, lp);
    im->buttonDown = false;
    HWND window = im->window;
    std::string to = im->to;
    std::string text = platform::FromAnsi(TextOf(im->message));
    reactions_.Queue(
        [this, window, to, text] {
            if (!FindIm(window)) return;
            ims_.emplace_back(to, text);
            if (to == aol::kImSwitchOn || to == aol::kImSwitchOff) {
                // The switch answers with the client's own box, a moment
                // later, and leaves the message window open behind it.
                imsOn_ = to == aol::kImSwitchOn;
                std::string box = imsOn_ ? aol::kImsOnBoxText : aol::kImsOffBoxText;
                reactions_.Queue(
                    [this, box] {
                        if (frame_) ShowMessageBox(box);
                    },
                    timings_.messageBox);
            } else {
                Forget(window);
                if (mdi_) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
            }
        },
        timings_.imSend);
    return 0;
}

LRESULT StandInClient::BoxButton(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    // A button is pressed by the space key going down and then up over it.
    if (msg == WM_KEYDOWN && wp == VK_SPACE) {
        boxSpaceDown_ = true;
        return 0;
    }
    if (msg == WM_KEYUP && wp == VK_SPACE && boxSpaceDown_) {
        boxSpaceDown_ = false;
        HWND box = GetParent(w);
        Forget(box);
        DestroyWindow(box);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace standin
