#include "tools/standin/ControlServer.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "tools/standin/ControlProtocol.h"
#include "tools/standin/MessageLoop.h"
#include "tools/standin/Reactions.h"
#include "tools/standin/StandInClient.h"

namespace standin {
namespace {

using Fields = std::vector<std::string>;

// How long the test's reply window may take to take an answer.
constexpr UINT kReplyTimeoutMs = 10000;

// One request as its handler sees it.
struct Call {
    StandInClient& client;
    MessageLoop& loop;
    const Fields& fields;  // the command word first

    // The field at `i`; "" past the end.
    std::string Arg(std::size_t i) const { return i < fields.size() ? fields[i] : std::string(); }
    // The fields from `first` on.
    Fields From(std::size_t first) const {
        return Fields(fields.begin() + static_cast<std::ptrdiff_t>(std::min(first, fields.size())),
                      fields.end());
    }
    // The fields from `first` on as chat lines, a sender and a text each; a
    // sender without a text is no line.
    std::vector<RoomLine> Lines(std::size_t first) const {
        std::vector<RoomLine> lines;
        for (std::size_t i = first; i + 1 < fields.size(); i += 2) {
            lines.push_back(RoomLine{fields[i], fields[i + 1]});
        }
        return lines;
    }
};

Fields Flag(bool on) {
    return {on ? "1" : "0"};
}

Fields Flattened(const std::vector<std::pair<std::string, std::string>>& pairs) {
    Fields out;
    for (const auto& [first, second] : pairs) {
        out.push_back(first);
        out.push_back(second);
    }
    return out;
}

struct Command {
    std::string_view word;
    Fields (*run)(const Call&);
};

// Every request the stand-in answers. A command that reports nothing
// answers "ok" alone.
const Command kCommands[] = {
    // --- the channel ---
    {"sync",
     [](const Call& c) -> Fields {
         // The answer: how many reactions are still to come.
         c.loop.WorkOffQueue();
         return {std::to_string(c.client.PendingReactions())};
     }},
    {"quit",
     [](const Call& c) -> Fields {
         c.loop.Quit();
         return {};
     }},
    {"ballast",
     [](const Call& c) -> Fields {
         // An answer of the size asked for (at most 16 MB): what a client
         // sends when it hands large data to the system.
         return {std::string(std::min<std::size_t>(std::stoul(c.Arg(1)), 16u << 20), 'x')};
     }},

    // --- signing on and off ---
    {"signon",
     [](const Call& c) -> Fields {
         SignOnOptions options;
         options.screenName = c.Arg(1);
         options.room = c.Arg(2);
         // The fields after the room: "richedit1" for a client made with
         // RichEdit 1.0, and the pieces it leaves out.
         for (const std::string& field : c.From(3)) {
             if (field == "richedit1") {
                 options.firstRichEdit = true;
             } else if (!field.empty()) {
                 options.without.push_back(field);
             }
         }
         c.client.SignOn(options);
         return {};
     }},
    {"signoff",
     [](const Call& c) -> Fields {
         c.client.SignOff();
         return {};
     }},

    // --- the people in the room ---
    {"type",
     [](const Call& c) -> Fields {
         c.client.Type(c.Arg(1));
         return {};
     }},
    {"say",
     [](const Call& c) -> Fields {
         c.client.Say(c.Arg(1), c.Arg(2));
         return {};
     }},
    {"saytogether",
     [](const Call& c) -> Fields {
         c.client.SayTogether(c.Lines(1));
         return {};
     }},

    // --- the hand on the client ---
    {"front", [](const Call& c) -> Fields { return Flag(c.client.BringToFront(c.Arg(1))); }},
    {"openchild",
     [](const Call& c) -> Fields {
         c.client.OpenChild(c.Arg(1), c.From(2));
         return {};
     }},
    {"openim",
     [](const Call& c) -> Fields {
         c.client.OpenInstantMessageWindow(c.Arg(1));
         return {};
     }},
    {"closeroom",
     [](const Call& c) -> Fields {
         c.client.CloseRoom();
         return {};
     }},
    {"place",
     [](const Call& c) -> Fields {
         c.client.Place(c.Arg(1), std::stoi(c.Arg(2)), std::stoi(c.Arg(3)), std::stoi(c.Arg(4)),
                        std::stoi(c.Arg(5)));
         return {};
     }},

    // --- how the client behaves ---
    {"roomwidth",
     [](const Call& c) -> Fields {
         c.client.SetRoomWidth(std::stoi(c.Arg(1)));
         return {};
     }},
    {"historylimit",
     [](const Call& c) -> Fields {
         c.client.SetHistoryLimit(static_cast<std::size_t>(std::stoul(c.Arg(1))));
         return {};
     }},
    {"newwindowperroom",
     [](const Call& c) -> Fields {
         c.client.SetNewWindowPerRoom(c.Arg(1) == "1", c.Lines(2));
         return {};
     }},
    {"imdelay",
     [](const Call& c) -> Fields {
         // Milliseconds, or nothing: the client never opens the window.
         if (c.Arg(1).empty()) {
             c.client.SetInstantMessageWindowDelay(std::nullopt);
         } else {
             c.client.SetInstantMessageWindowDelay(static_cast<DWORD>(std::stoul(c.Arg(1))));
         }
         return {};
     }},

    // --- the record ---
    {"transcript",
     [](const Call& c) -> Fields {
         Fields out;
         for (const auto& line : c.client.Transcript()) {
             out.push_back(line.sender);
             out.push_back(line.text);
         }
         return out;
     }},
    {"addresses", [](const Call& c) -> Fields { return c.client.Addresses(); }},
    {"ims", [](const Call& c) -> Fields { return Flattened(c.client.InstantMessages()); }},
    {"boxes", [](const Call& c) -> Fields { return c.client.MessageBoxes(); }},
    {"boxopen", [](const Call& c) -> Fields { return Flag(c.client.MessageBoxOpen()); }},
    {"imson", [](const Call& c) -> Fields { return Flag(c.client.InstantMessagesOn()); }},
    {"roomname", [](const Call& c) -> Fields { return {c.client.RoomName()}; }},
    {"addressbox", [](const Call& c) -> Fields { return {c.client.AddressBoxText()}; }},
    {"roominput", [](const Call& c) -> Fields { return {c.client.RoomInputText()}; }},
    {"children", [](const Call& c) -> Fields { return c.client.ChildCaptions(); }},
    {"frontcaption",
     [](const Call& c) -> Fields {
         auto captions = c.client.ChildCaptions();
         return {captions.empty() ? std::string() : captions.front()};
     }},
    {"rect",
     [](const Call& c) -> Fields {
         // Where a person finds a control on the screen: left, top, right,
         // bottom in screen pixels.
         const auto r = c.client.ScreenRect(c.Arg(1));
         if (!r) throw std::invalid_argument("no such control: " + c.Arg(1));
         return {std::to_string(r->left), std::to_string(r->top), std::to_string(r->right),
                 std::to_string(r->bottom)};
     }},
    {"focus",
     [](const Call& c) -> Fields {
         // Which of the client's controls has the keyboard: "input", or "".
         return {c.client.InputHasFocus() ? "input" : ""};
     }},
};

}  // namespace

ControlServer::ControlServer(HINSTANCE instance, const std::string& token, StandInClient& client,
                             MessageLoop& loop)
    : client_(client), loop_(loop) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kControlClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    std::string caption = std::string(kControlClass) + " " + token;
    window_ = CreateWindowExA(0, kControlClass, caption.c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                              nullptr, instance, this);
}

LRESULT CALLBACK ControlServer::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* server = reinterpret_cast<ControlServer*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    return server ? server->Handle(w, msg, wp, lp) : DefWindowProcA(w, msg, wp, lp);
}

LRESULT ControlServer::Handle(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == Reactions::kRunMessage) {
        client_.RunReaction();
        return 0;
    }
    if (msg == WM_DESTROY) {
        loop_.Quit();  // closing the control window ends the program
        return 0;
    }
    if (msg != WM_COPYDATA) return DefWindowProcA(w, msg, wp, lp);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (!data || (static_cast<std::uint32_t>(data->dwData) & kTagMask) != kTag) return FALSE;
    auto request = DecodeFields(
        std::string_view(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0));
    Fields reply{"ok"};
    if (!request || request->empty()) {
        reply = {"error", "malformed request"};
    } else {
        try {
            auto results = Execute(*request);
            reply.insert(reply.end(), results.begin(), results.end());
        } catch (const std::exception& e) {
            reply = {"error", e.what()};
        }
    }
    std::string encoded = EncodeFields(reply);
    COPYDATASTRUCT answer{};
    answer.dwData = data->dwData;
    answer.cbData = static_cast<DWORD>(encoded.size());
    answer.lpData = encoded.data();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(reinterpret_cast<HWND>(wp), WM_COPYDATA, reinterpret_cast<WPARAM>(w),
                        reinterpret_cast<LPARAM>(&answer), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kReplyTimeoutMs, &ignored);
    return TRUE;
}

Fields ControlServer::Execute(const Fields& request) {
    const std::string& command = request[0];
    const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&command](const Command& c) { return c.word == command; });
    if (found == std::end(kCommands)) throw std::invalid_argument("unknown command " + command);
    return found->run(Call{client_, loop_, request});
}

}  // namespace standin
