#pragma once
// The asking side of the control channel (ControlProtocol.h): a message-only
// window that takes the stand-in's answers, and one request at a time.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

class ControlClient {
  public:
    // Throws std::runtime_error when the reply window cannot be made.
    ControlClient();
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // Sends `request` to the stand-in's control window and returns its
    // answer, "ok" or "error" first; nothing when it gave none within
    // `timeoutMs`. While it waits, the thread takes messages sent to it
    // (the answer among them), as SendMessage does.
    std::optional<std::vector<std::string>> Call(HWND control,
                                                 const std::vector<std::string>& request,
                                                 UINT timeoutMs);

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Take(std::uint32_t number, std::string_view data);

    HWND reply_ = nullptr;
    std::uint32_t nextRequest_ = 1;
    std::uint32_t awaited_ = 0;
    std::optional<std::vector<std::string>> answer_;
};

}  // namespace standin
