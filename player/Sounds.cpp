// The two channels: the missing-file rule and the file each one holds.
#include "player/Sounds.h"

#include "model/Cp1251.h"

#include <filesystem>

namespace player {

platform::AudioChannel& Sounds::Of(SoundChannel channel) const {
    return channel == SoundChannel::Sound ? audio_->Sound() : audio_->Effect();
}

const std::optional<std::string>& Sounds::File(SoundChannel channel) const {
    return channel == SoundChannel::Sound ? soundFile_ : effectFile_;
}

void Sounds::Play(SoundChannel channel, const std::string& path) {
    std::error_code error;
    const std::filesystem::path name(model::Cp1251ToUtf8(path));
    if (!std::filesystem::is_regular_file(name, error))
        return; // whatever the channel plays goes on
    std::optional<std::string>& file =
        channel == SoundChannel::Sound ? soundFile_ : effectFile_;
    file.reset();
    platform::AudioChannel& target = Of(channel);
    target.Open(path);
    file = path;
    target.Play();
}

void Sounds::Stop(SoundChannel channel) {
    Of(channel).Stop();
}

bool Sounds::IsOpen(SoundChannel channel) const {
    return Of(channel).IsOpen();
}

bool Sounds::IsPlaying(SoundChannel channel) const {
    return Of(channel).IsPlaying();
}

} // namespace player
