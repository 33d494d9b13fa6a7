// The two sound channels of the player (sounds and effects), over SDL2_mixer.
// Each channel holds at most one open file and plays it once from the start;
// the two play independently of each other.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// A file that cannot be opened or played, or a channel used before it was
// opened; what() is English text that names the cause.
class AudioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AudioChannel {
public:
    virtual ~AudioChannel() = default;
    // Closes the channel's file (which stops it), then opens path (cp1251).
    // On failure throws AudioError and leaves the channel not open.
    virtual void Open(const std::string& path) = 0;
    // Plays the open file once from its beginning and returns at once.
    virtual void Play() = 0;
    // Stops playing and keeps the file open; AudioError when not open.
    virtual void Stop() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool IsPlaying() const = 0;
};

class Audio {
public:
    virtual ~Audio() = default;
    virtual AudioChannel& Sound() = 0;
    virtual AudioChannel& Effect() = 0;
};

// The real channels. The audio device opens with the first file; without a
// usable device every Open fails with AudioError.
std::unique_ptr<Audio> MakeSdlAudio();

} // namespace platform
