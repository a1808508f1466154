#pragma once
// The answering side of the control channel (ControlProtocol.h): the
// client's hidden window takes a test's requests, carries each out on the
// client and answers it. The same window takes the wake-ups of the client's
// reactions.

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

class MessageLoop;
class StandInClient;

class ControlServer {
  public:
    // Shows the control window, captioned with `token`; Window() is null
    // when it could not be made.
    ControlServer(HINSTANCE instance, const std::string& token, StandInClient& client,
                  MessageLoop& loop);
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    HWND Window() const { return window_; }

  private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    // The results of one request; throws for one it cannot carry out.
    std::vector<std::string> Execute(const std::vector<std::string>& request);

    StandInClient& client_;
    MessageLoop& loop_;
    HWND window_ = nullptr;
};

}  // namespace standin
