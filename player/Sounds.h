// The player's two sound channels as scripts use them: the sound channel of
// PlaySound and StopSound, the effect channel of PlayEffect and StopEffect.
// A file that does not exist is skipped without a word; every other failure
// is the channel's error. Each channel remembers the file it holds, as the
// script named it, for the transcript.
#pragma once

#include "platform/Audio.h"

#include <memory>
#include <optional>
#include <string>

namespace player {

enum class SoundChannel { Sound, Effect };

class Sounds {
public:
    explicit Sounds(std::unique_ptr<platform::Audio> audio) : audio_(std::move(audio)) {}

    // Does nothing when no file is at path (a folder is no file); otherwise
    // opens it on the channel (closing its previous file, which stops it,
    // even when the new one fails) and plays it from its beginning. Throws
    // platform::AudioError when it cannot be opened.
    void Play(SoundChannel channel, const std::string& path);
    // Stops the channel, keeping its file open; AudioError when not open.
    void Stop(SoundChannel channel);

    bool IsOpen(SoundChannel channel) const;
    bool IsPlaying(SoundChannel channel) const;
    // The open file as the script named it (cp1251); nullopt when not open.
    const std::optional<std::string>& File(SoundChannel channel) const;

private:
    platform::AudioChannel& Of(SoundChannel channel) const;

    std::unique_ptr<platform::Audio> audio_;
    std::optional<std::string> soundFile_;
    std::optional<std::string> effectFile_;
};

} // namespace player
