#include "app/Program.h"

#include <algorithm>

#ifdef MOONRAKE_HAVE_GST_PLAYER
#include "media/gst/GstMediaPlayer.h"
#endif
#ifdef MOONRAKE_HAVE_DSHOW_PLAYER
#include "media/dshow/DShowMediaPlayer.h"
#endif

namespace app {
namespace {

#if !defined(MOONRAKE_HAVE_GST_PLAYER) && !defined(MOONRAKE_HAVE_DSHOW_PLAYER)
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

platform::sim::ClientOptions ClientOptionsFor(const ProgramOptions& options) {
    platform::sim::ClientOptions client;
    client.screenName = options.screenName;
    client.roomName = options.roomName;
    client.members = RoomMembers(options.screenName);
    return client;
}

}  // namespace

std::unique_ptr<engine::MediaPlayer> MakeMediaPlayer([[maybe_unused]] platform::Runtime& runtime) {
#if defined(MOONRAKE_HAVE_DSHOW_PLAYER)
    return std::make_unique<media::DShowMediaPlayer>(runtime);
#elif defined(MOONRAKE_HAVE_GST_PLAYER)
    return std::make_unique<media::GstMediaPlayer>(runtime);
#else
    return std::make_unique<SilentMediaPlayer>();
#endif
}

std::vector<std::string> RoomMembers(const std::string& screenName) {
    std::vector<std::string> members{screenName};
    for (const char* other : {"KarenK", "slickrick", "mistyblue"}) {
        if (std::find(members.begin(), members.end(), other) == members.end()) {
            members.emplace_back(other);
        }
    }
    return members;
}

Program::Program(platform::Runtime& runtime, forms::FrontEnd& frontEnd, ProgramOptions options)
    : runtime_(runtime),
      windows_(runtime),
      client_(windows_, runtime, ClientOptionsFor(options)),
      random_(runtime),
      services_{windows_, runtime, random_},
      player_(MakeMediaPlayer(runtime)) {
    client_.SignOn();
    client_.SetObserver(std::move(options.observer));
    forms::Form1Options formOptions;
    formOptions.trace = std::move(options.trace);
    form1_ = std::make_unique<forms::Form1>(services_, *player_, frontEnd, std::move(formOptions));
}

Program::~Program() {
    form1_.reset();
}

void Program::Load() {
    form1_->Load();
}

}  // namespace app
