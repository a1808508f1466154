#include "app/Program.h"

#include <iostream>
#include <utility>

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

ProgramOptions OptionsFor(const CommandLine& commandLine, PrintLine print) {
    ProgramOptions options;
    if (commandLine.trace) {
        options.trace = [print = std::move(print)](const std::string& line) {
            print("[trace] " + line);
        };
    }
    return options;
}

void PrintToStandardOutput(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

Program::Program(platform::Runtime& runtime, platform::WindowApi& windows,
                 forms::FrontEnd& frontEnd, ProgramOptions options)
    : random_(runtime),
      services_{windows, runtime, random_, options.listFolder},
      player_(MakeMediaPlayer(runtime)) {
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
