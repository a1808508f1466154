#include "forms/TracingMediaPlayer.h"

namespace forms {

void TracingMediaPlayer::OpenAndPlay(const std::string& path) {
    Trace("MediaPlayer1.OpenAndPlay " + path);
    player_.OpenAndPlay(path);
}

void TracingMediaPlayer::TogglePause() {
    Trace("MediaPlayer1.TogglePause");
    player_.TogglePause();
}

void TracingMediaPlayer::Stop() {
    Trace("MediaPlayer1.Stop");
    player_.Stop();
}

void TracingMediaPlayer::NextEntry() {
    Trace("MediaPlayer1.NextEntry");
    player_.NextEntry();
}

void TracingMediaPlayer::SetVolume(std::int32_t volume) {
    Trace("MediaPlayer1.Volume " + std::to_string(volume));
    player_.SetVolume(volume);
}

void TracingMediaPlayer::SetBalance(std::int32_t balance) {
    Trace("MediaPlayer1.Balance " + std::to_string(balance));
    player_.SetBalance(balance);
}

void TracingMediaPlayer::SetMute(bool mute) {
    Trace(mute ? "MediaPlayer1.Mute true" : "MediaPlayer1.Mute false");
    player_.SetMute(mute);
}

}  // namespace forms
