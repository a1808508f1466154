#include "ui/app/Program.h"

#include <algorithm>

#include "ui/app/ClientWindow.h"
#include "ui/forms/Form1.h"

#if __has_include("ui/media/GstMediaPlayer.h") && defined(MOONRAKE_HAVE_GST_PLAYER)
#include "ui/media/GstMediaPlayer.h"
#define MOONRAKE_USE_GST_PLAYER 1
#endif

namespace ui {
namespace {

#ifndef MOONRAKE_USE_GST_PLAYER
// Stands in for the media player where the GStreamer one is not built: it
// accepts every call and plays nothing.
class SilentMediaPlayer final : public engine::MediaPlayer {
  public:
    void OpenAndPlay(const std::string&) override {}
    void TogglePause() override {}
    void Stop() override {}
    void NextEntry() override {}
    void SetVolume(std::int32_t) override {}
    void SetBalance(std::int32_t) override {}
    void SetMute(bool) override {}
    double Length() override { return 0.0; }
    double Position() override { return 0.0; }
};
#endif

std::unique_ptr<engine::MediaPlayer> MakeMediaPlayer([[maybe_unused]] platform::Runtime& runtime) {
#ifdef MOONRAKE_USE_GST_PLAYER
    return std::make_unique<GstMediaPlayer>(runtime);
#else
    return std::make_unique<SilentMediaPlayer>();
#endif
}

platform::sim::ClientOptions ClientOptionsFor(const ProgramOptions& options) {
    platform::sim::ClientOptions client;
    client.screenName = options.screenName;
    client.roomName = options.roomName;
    client.members = RoomMembers(options.screenName);
    return client;
}

}  // namespace

std::vector<std::string> RoomMembers(const std::string& screenName) {
    std::vector<std::string> members{screenName};
    for (const char* other : {"KarenK", "slickrick", "mistyblue"}) {
        if (std::find(members.begin(), members.end(), other) == members.end()) {
            members.emplace_back(other);
        }
    }
    return members;
}

Program::Program(platform::Runtime& runtime, ProgramOptions options)
    : runtime_(runtime),
      windows_(runtime),
      client_(windows_, runtime, ClientOptionsFor(options)),
      services_{windows_, runtime},
      player_(MakeMediaPlayer(runtime)) {
    client_.SignOn();
    clientWindow_ = std::make_unique<ClientWindow>(client_, std::move(options.observer));
    Form1Options formOptions;
    formOptions.trace = std::move(options.trace);
    form1_ = std::make_unique<Form1>(services_, *player_, std::move(formOptions));
}

Program::~Program() {
    form1_.reset();
    clientWindow_.reset();
}

void Program::Load() {
    form1_->Load();
}

}  // namespace ui
