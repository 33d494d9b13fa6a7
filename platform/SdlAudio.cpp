// The two channels as two SDL2_mixer channels, each holding one decoded
// file (a chunk), so a sound and an effect can play at the same time.
#include "platform/Audio.h"

#include "model/Cp1251.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {
namespace {

// The mixer's output: CD rate, stereo, a buffer short enough to start quickly.
constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kBufferFrames = 2048;
// Mixer channel numbers of the sound and the effect channel.
constexpr int kSoundChannel = 0;
constexpr int kEffectChannel = 1;

std::string SdlError() {
    return Mix_GetError();
}

class Device {
public:
    ~Device() {
        if (open_) {
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    // Opens the device on first use; throws AudioError when there is none.
    void Require() {
        if (open_)
            return;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            throw AudioError(std::string("no audio: ") + SDL_GetError());
        if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kBufferFrames) != 0) {
            const std::string why = SdlError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            throw AudioError("no audio device: " + why);
        }
        Mix_AllocateChannels(2);
        open_ = true;
    }

private:
    bool open_ = false;
};

class SdlChannel : public AudioChannel {
public:
    SdlChannel(Device& device, int channel) : device_(device), channel_(channel) {}
    ~SdlChannel() override { Close(); }

    void Open(const std::string& path) override {
        Close();
        device_.Require();
        chunk_ = Mix_LoadWAV(model::Cp1251ToUtf8(path).c_str());
        if (chunk_ == nullptr)
            throw AudioError("cannot open " + path + ": " + SdlError());
    }

    void Play() override {
        if (chunk_ == nullptr)
            throw AudioError("the channel is not open");
        if (Mix_PlayChannel(channel_, chunk_, 0) < 0)
            throw AudioError("cannot play: " + SdlError());
    }

    void Stop() override {
        if (chunk_ == nullptr)
            throw AudioError("the channel is not open");
        Mix_HaltChannel(channel_);
    }

    bool IsOpen() const override { return chunk_ != nullptr; }
    bool IsPlaying() const override { return chunk_ != nullptr && Mix_Playing(channel_) != 0; }

private:
    void Close() {
        if (chunk_ == nullptr)
            return;
        Mix_HaltChannel(channel_);
        Mix_FreeChunk(chunk_);
        chunk_ = nullptr;
    }

    Device& device_;
    int channel_;
    Mix_Chunk* chunk_ = nullptr; // the open file, decoded
};

class SdlAudio : public Audio {
public:
    AudioChannel& Sound() override { return sound_; }
    AudioChannel& Effect() override { return effect_; }

private:
    Device device_; // declared first: closed after both channels
    SdlChannel sound_{device_, kSoundChannel};
    SdlChannel effect_{device_, kEffectChannel};
};

} // namespace

std::unique_ptr<Audio> MakeSdlAudio() {
    return std::make_unique<SdlAudio>();
}

} // namespace platform
