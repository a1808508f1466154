// The simulated client in this process, on the virtual clock.
#include <algorithm>
#include <memory>

#include "clientsim/SimChatClient.h"
#include "platform/AnsiText.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/ClientDriver.h"
#include "tests/support/TestRuntime.h"

namespace testsupport {
namespace {

class SimClientDriver final : public ClientDriver {
  public:
    SimClientDriver() : windows_(runtime_), services_{windows_, runtime_, runtime_.random()} {}

    platform::Services& Services() override { return services_; }
    bool VirtualTime() const override { return true; }
    // The client's reactions take virtual time: let it pass until the client
    // has nothing left to do (bounded, for a client that keeps itself busy).
    void Settle() override {
        runtime_.RunUntilIdle();
        for (int i = 0; i < 100000; ++i) {
            auto due = windows_.NextDue();
            if (!due) break;
            runtime_.Advance(std::max(*due - runtime_.Monotonic(), platform::Millis{0}));
        }
        runtime_.RunUntilIdle();
    }
    void Advance(std::chrono::milliseconds duration) override { runtime_.Advance(duration); }

    void SignOn(const DriverOptions& options) override {
        clientsim::ClientOptions o;
        o.screenName = options.screenName;
        o.roomName = options.roomName;
        o.transcriptGeneration = options.richEdit;
        o.without = options.without;
        o.timings = clientsim::ClientTimings::Realistic();
        client_ = std::make_unique<clientsim::SimChatClient>(windows_, runtime_, o);
        client_->SignOn();
    }
    void SignOff() override {
        if (client_) client_->SignOff();
    }

    void Type(const std::string& text) override { client_->Type(text); }
    void Say(const std::string& sender, const std::string& text) override {
        client_->Say(sender, text);
    }
    bool BringToFront(const std::string& caption) override {
        return client_->BringToFront(caption);
    }
    void OpenChild(const std::string& caption, const std::vector<std::string>& classes) override {
        client_->OpenChild(caption, classes);
    }
    void OpenInstantMessageWindow(const std::string& screenName) override {
        client_->OpenInstantMessageWindow(screenName);
    }
    void SetInstantMessageWindowDelay(std::optional<std::chrono::milliseconds> d) override {
        client_->SetInstantMessageWindowDelay(d);
    }

    void SayTogether(const std::vector<RoomLine>& lines) override { client_->SayTogether(lines); }
    void SetRoomWidth(int width) override { client_->SetRoomWidth(width); }
    void SetHistoryLimit(std::size_t lines) override { client_->SetHistoryLimit(lines); }
    void SetNewWindowPerRoom(bool on, const std::vector<RoomLine>& history) override {
        client_->SetNewWindowPerRoom(on);
        client_->SetHistoryOnEntry(history);
    }
    void CloseRoom() override { client_->CloseRoom(); }

    std::vector<RoomLine> Transcript() override { return client_->Transcript(); }
    std::vector<std::string> VisitedAddresses() override { return client_->VisitedAddresses(); }
    std::vector<InstantMessage> InstantMessagesSent() override {
        return client_->InstantMessagesSent();
    }
    std::vector<std::string> MessageBoxesShown() override { return client_->MessageBoxesShown(); }
    bool MessageBoxOpen() override { return client_->MessageBoxOpen(); }
    bool InstantMessagesOn() override { return client_->InstantMessagesOn(); }
    std::string RoomName() override { return client_->RoomName(); }
    std::string AddressBoxText() override { return client_->AddressBoxText(); }
    std::string FrontCaption() override { return client_->FrontCaption(); }
    std::string RoomInputText() override;
    std::vector<std::string> ChildCaptions() override { return client_->ChildCaptions(); }

  private:
    testsupport::TestRuntime runtime_;
    platform::sim::SimWindowSystem windows_;
    platform::Services services_;
    std::unique_ptr<clientsim::SimChatClient> client_;
};

std::string SimClientDriver::RoomInputText() {
    return client_ ? platform::FromAnsi(windows_.Text(client_->RoomInput())) : std::string();
}

}  // namespace

std::unique_ptr<ClientDriver> MakeClientDriver() {
    return std::make_unique<SimClientDriver>();
}

}  // namespace testsupport
