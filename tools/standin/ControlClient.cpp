#include "tools/standin/ControlClient.h"

#include <stdexcept>

#include "tools/standin/ControlProtocol.h"

namespace standin {
namespace {

constexpr char kReplyClass[] = "StandInReply";

}  // namespace

ControlClient::ControlClient() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kReplyClass;
    RegisterClassA(&wc);  // fails harmlessly when an earlier client registered it
    reply_ = CreateWindowExA(0, kReplyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             nullptr);
    if (!reply_) throw std::runtime_error("cannot create a window for the stand-in's answers");
    SetWindowLongPtrA(reply_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ControlClient::~ControlClient() {
    DestroyWindow(reply_);
}

LRESULT CALLBACK ControlClient::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<ControlClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!self || !data) return FALSE;
    self->Take(
        static_cast<std::uint32_t>(data->dwData),
        std::string_view(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0));
    return TRUE;
}

void ControlClient::Take(std::uint32_t number, std::string_view data) {
    if (number != awaited_) return;  // a late answer to a request given up on
    answer_ = DecodeFields(data);
    if (!answer_) answer_ = std::vector<std::string>{"error", "malformed reply"};
}

std::optional<std::vector<std::string>> ControlClient::Call(HWND control,
                                                            const std::vector<std::string>& request,
                                                            UINT timeoutMs) {
    std::string data = EncodeFields(request);
    awaited_ = kTag | (nextRequest_++ & kNumberMask);
    answer_.reset();
    COPYDATASTRUCT copy{};
    copy.dwData = static_cast<ULONG_PTR>(awaited_);
    copy.cbData = static_cast<DWORD>(data.size());
    copy.lpData = data.data();
    DWORD_PTR result = 0;
    // The stand-in answers with a message of its own before this returns.
    const BOOL sent = SendMessageTimeoutA(control, WM_COPYDATA, reinterpret_cast<WPARAM>(reply_),
                                          reinterpret_cast<LPARAM>(&copy),
                                          SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result);
    awaited_ = 0;
    if (!sent || !answer_ || answer_->empty()) return std::nullopt;
    return std::move(answer_);
}

}  // namespace standin
