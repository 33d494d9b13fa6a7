// The two sound channels over SDL2_mixer, with the dummy audio driver.
#include "platform/Audio.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A mono 16-bit WAV of the given length of silence.
std::string Wav(int milliseconds) {
    const std::uint32_t rate = 22050;
    const std::uint32_t dataSize = rate * 2 * static_cast<std::uint32_t>(milliseconds) / 1000;
    std::string out = "RIFF";
    Put32(out, 36 + dataSize);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, dataSize);
    out.append(dataSize, '\0');
    return out;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        char pattern[] = "/tmp/norvo-audio-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        long_ = Write("long.wav", Wav(5000));
        broken = Write("broken.wav", "RIFF this is no sound");
    }
    void TearDown() override {
        audio.reset();
        std::remove(long_.c_str());
        std::remove(broken.c_str());
        rmdir(dir.c_str());
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::unique_ptr<platform::Audio> audio = platform::MakeSdlAudio();
    std::string dir, long_, broken;
};

TEST_F(AudioTest, TwoChannelsPlayAndStopIndependently) {
    auto& sound = audio->Sound();
    auto& effect = audio->Effect();
    sound.Open(long_);
    sound.Play();
    effect.Open(long_);
    effect.Play();
    EXPECT_TRUE(sound.IsPlaying());
    EXPECT_TRUE(effect.IsPlaying());
    sound.Stop();
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_TRUE(sound.IsOpen()); // stopping keeps the file open
    EXPECT_TRUE(effect.IsPlaying());
    sound.Play(); // from the beginning again
    EXPECT_TRUE(sound.IsPlaying());
}

TEST_F(AudioTest, FailuresAreErrorsAndAFailedOpenLeavesTheChannelClosed) {
    auto& sound = audio->Sound();
    EXPECT_THROW(sound.Stop(), platform::AudioError); // nothing opened yet
    EXPECT_THROW(sound.Play(), platform::AudioError);
    sound.Open(long_);
    sound.Play();
    EXPECT_THROW(sound.Open(broken), platform::AudioError);
    EXPECT_FALSE(sound.IsOpen()); // the old file was closed first, so it stopped
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_THROW(sound.Stop(), platform::AudioError);
    EXPECT_THROW(sound.Open(dir + "/missing.wav"), platform::AudioError);
}

// Crafted files of a few bytes that claim or decode to gigabytes: a MIDI note
// held for years, a WAV whose data chunk claims nearly 4 GiB and holds 16
// bytes. The sound channel streams them; the effect channel, which decodes
// whole, refuses them with an error instead of filling memory.
std::string Fixture(const std::string& name) {
    const char* root = std::getenv("NORVO_SOURCE_DIR");
    return std::string(root ? root : NORVO_SOURCE_DIR_DEFAULT) + "/tests/platform/sounds/" + name;
}

TEST_F(AudioTest, HugeSoundsStreamOnTheSoundChannelAndAreRefusedAsEffects) {
    for (const char* name : {"endless-note.mid", "huge-claim.wav"}) {
        const std::string path = Fixture(name);
        auto& sound = audio->Sound();
        auto& effect = audio->Effect();
        sound.Open(path); // streamed: opens at once (the WAV's 16 bytes end at once)
        sound.Play();
        EXPECT_TRUE(sound.IsOpen()) << name;
        effect.Open(long_);
        effect.Play();
        try {
            effect.Open(path);
            ADD_FAILURE() << name << " opened as an effect";
        } catch (const platform::AudioError& error) {
            EXPECT_NE(std::string(error.what()).find("MiB"), std::string::npos) << error.what();
        }
        EXPECT_FALSE(effect.IsOpen()) << name;
        EXPECT_TRUE(sound.IsOpen()) << name; // the effect's failure leaves the sound alone
        // The channel is whole again after the refusal.
        effect.Open(long_);
        effect.Play();
        EXPECT_TRUE(effect.IsPlaying()) << name;
    }
}

} // namespace
