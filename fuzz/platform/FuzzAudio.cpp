// Feeds arbitrary bytes as a sound file to both channels of the player's
// audio (SDL's dummy driver): opened as an effect, decoded whole within its
// budget, and opened and played as a sound, which streams.
#include "platform/Audio.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The mixer opens files by path, so each input is written to one file.
const std::string& InputPath() {
    static const std::string path = "/tmp/norvo-fuzz-audio-" + std::to_string(getpid());
    return path;
}

platform::Audio& TheAudio() {
    static const auto audio = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        return platform::MakeSdlAudio();
    }();
    return *audio;
}

void OpenAndPlay(platform::AudioChannel& channel) {
    try {
        channel.Open(InputPath());
        channel.Play();
        channel.Stop();
    } catch (const platform::AudioError&) {
        if (channel.IsOpen())
            __builtin_trap(); // a failed open leaves the channel closed
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    OpenAndPlay(TheAudio().Effect());
    OpenAndPlay(TheAudio().Sound());
    return 0;
}
