// The two channels over SDL2_mixer, so a sound and an effect can play at the
// same time. The sound channel is the mixer's music stream, decoded as it
// plays, so a file of any length opens at once in little memory. The effect
// channel is a mixer channel holding one file decoded whole (a chunk), which
// may allocate no more than kDecodeAllocationBudget while it decodes.
#include "platform/Audio.h"

#include "model/Cp1251.h"
#include "platform/AudioAllocationLimit.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {
namespace {

// The mixer's output: CD rate, stereo, a buffer short enough to start quickly.
constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kBufferFrames = 2048;
// The mixer channel of the effect channel (the sound channel is the music).
constexpr int kEffectChannel = 0;

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
        InstallAudioAllocationLimit(); // before SDL's audio thread starts
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            throw AudioError(std::string("no audio: ") + SDL_GetError());
        if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kBufferFrames) != 0) {
            const std::string why = SdlError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            throw AudioError("no audio device: " + why);
        }
        Mix_AllocateChannels(1);
        open_ = true;
    }

private:
    bool open_ = false;
};

// The sound channel: the music stream, which reads the file as it plays.
class StreamChannel : public AudioChannel {
public:
    explicit StreamChannel(Device& device) : device_(device) {}
    ~StreamChannel() override { Close(); }

    void Open(const std::string& path) override {
        Close();
        device_.Require();
        music_ = Mix_LoadMUS(model::Cp1251ToUtf8(path).c_str());
        if (music_ == nullptr)
            throw AudioError("cannot open " + path + ": " + SdlError());
    }

    void Play() override {
        if (music_ == nullptr)
            throw AudioError("the channel is not open");
        if (Mix_PlayMusic(music_, 0) < 0) // 0: once, no repeat
            throw AudioError("cannot play: " + SdlError());
    }

    void Stop() override {
        if (music_ == nullptr)
            throw AudioError("the channel is not open");
        Mix_HaltMusic();
    }

    bool IsOpen() const override { return music_ != nullptr; }
    bool IsPlaying() const override { return music_ != nullptr && Mix_PlayingMusic() != 0; }

private:
    void Close() {
        if (music_ == nullptr)
            return;
        Mix_FreeMusic(music_); // halts it first
        music_ = nullptr;
    }

    Device& device_;
    Mix_Music* music_ = nullptr; // the open file, read as it plays
};

// The effect channel: one mixer channel and the file decoded whole.
class ChunkChannel : public AudioChannel {
public:
    explicit ChunkChannel(Device& device) : device_(device) {}
    ~ChunkChannel() override { Close(); }

    void Open(const std::string& path) override {
        Close();
        device_.Require();
        const AudioAllocationLimit limit;
        chunk_ = Mix_LoadWAV(model::Cp1251ToUtf8(path).c_str());
        if (chunk_ != nullptr && limit.Refused()) // a decoder that went on with less
            Close();
        if (limit.Refused())
            throw AudioError("cannot open " + path + ": decoding it takes more than " +
                             std::to_string(kDecodeAllocationBudget >> 20) +
                             " MiB; play it as a sound, which streams");
        if (chunk_ == nullptr)
            throw AudioError("cannot open " + path + ": " + SdlError());
    }

    void Play() override {
        if (chunk_ == nullptr)
            throw AudioError("the channel is not open");
        if (Mix_PlayChannel(kEffectChannel, chunk_, 0) < 0)
            throw AudioError("cannot play: " + SdlError());
    }

    void Stop() override {
        if (chunk_ == nullptr)
            throw AudioError("the channel is not open");
        Mix_HaltChannel(kEffectChannel);
    }

    bool IsOpen() const override { return chunk_ != nullptr; }
    bool IsPlaying() const override {
        return chunk_ != nullptr && Mix_Playing(kEffectChannel) != 0;
    }

private:
    void Close() {
        if (chunk_ == nullptr)
            return;
        Mix_HaltChannel(kEffectChannel);
        Mix_FreeChunk(chunk_);
        chunk_ = nullptr;
    }

    Device& device_;
    Mix_Chunk* chunk_ = nullptr; // the open file, decoded
};

class SdlAudio : public Audio {
public:
    AudioChannel& Sound() override { return sound_; }
    AudioChannel& Effect() override { return effect_; }

private:
    Device device_; // declared first: closed after both channels
    StreamChannel sound_{device_};
    ChunkChannel effect_{device_};
};

} // namespace

std::unique_ptr<Audio> MakeSdlAudio() {
    return std::make_unique<SdlAudio>();
}

} // namespace platform
