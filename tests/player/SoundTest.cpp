// PlaySound, StopSound, PlayEffect and StopEffect on the real SDL2_mixer
// channels (the dummy driver; the disk driver where the samples must show).
#include "tests/player/PlayerFixture.h"
#include "tests/player/SoundFiles.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace testing_support;
using player::SoundChannel;
namespace fs = std::filesystem;

class SoundTest : public PlayerTest {
protected:
    SoundTest() {
        dir = fs::temp_directory_path() / ("norvo-sound-" + std::to_string(getpid()));
        fs::create_directories(dir / "folder.wav");
        Write("long.wav", WavTone(5000));
        Write("other.wav", WavTone(5000));
        Write("broken.wav", "RIFF this is no sound");
        Write("tune.mid", MidiTune());
        Load(Quest({Location("One"), Location("Two")}));
    }
    ~SoundTest() override {
        form.reset();
        fs::remove_all(dir);
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // A script statement with a file of the test folder: Call("PlaySound", "a.wav").
    std::string Call(const std::string& function, const std::string& name) const {
        return function + "('" + Path(name) + "');";
    }
    const player::Sounds& Channels() const { return form->SoundChannels(); }

    fs::path dir;
};

TEST_F(SoundTest, SoundAndEffectPlayTogetherAndStopApart) {
    Run(Call("PlaySound", "long.wav") + Call("PlayEffect", "other.wav"));
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Sound));
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect));
    EXPECT_EQ(Channels().File(SoundChannel::Effect), Path("other.wav"));
    Run("StopSound; AddText('on');");
    EXPECT_FALSE(Channels().IsPlaying(SoundChannel::Sound));
    EXPECT_TRUE(Channels().IsOpen(SoundChannel::Sound)); // stopped, still open
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect));
    Run("StopSound; AddText('again');"); // stopping a silent channel is no error
    EXPECT_EQ(Description(), "One\non\nagain");
    // Played again, it starts again.
    Run(Call("PlaySound", "long.wav"));
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Sound));
    // goto and restart leave both playing.
    Run("goto(2); restart;");
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Sound));
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect));
}

TEST_F(SoundTest, AMissingFileOrAFolderChangesNothingAndTheScriptGoesOn) {
    Run(Call("PlaySound", "long.wav"));
    for (const char* name : {"missing.wav", "folder.wav", ""}) {
        Run(Call("PlaySound", name) + "AddText('x');");
        EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Sound)) << name;
        EXPECT_EQ(Channels().File(SoundChannel::Sound), Path("long.wav")) << name;
    }
    Run(Call("PlayEffect", "missing.wav"));
    EXPECT_FALSE(Channels().IsOpen(SoundChannel::Effect));
    EXPECT_EQ(Description(), "One\nx\nx\nx");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundTest, AnUnplayableFileClosesTheChannelAndEndsTheScript) {
    Run(Call("PlaySound", "long.wav") + Call("PlayEffect", "other.wav"));
    Run(Call("PlaySound", "broken.wav") + "AddText('after');");
    EXPECT_FALSE(Channels().IsOpen(SoundChannel::Sound)); // the old file stopped
    EXPECT_FALSE(Channels().File(SoundChannel::Sound).has_value());
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect)); // the other channel plays on
    EXPECT_EQ(Description(), "One");
    // Not open again: stopping it is the not-open error.
    Run("StopSound; AddText('after');");
    EXPECT_EQ(Description(), "One");
    EXPECT_TRUE(Boxes().empty()); // run-time errors are silent
}

TEST_F(SoundTest, StoppingAChannelThatNeverOpenedEndsTheScript) {
    for (const char* stop : {"StopSound", "StopEffect"}) {
        Run(std::string(stop) + "; AddText('after');");
        EXPECT_EQ(Description(), "One") << stop;
    }
}

TEST_F(SoundTest, AMidiFileOpensAndPlays) {
    Run(Call("PlayEffect", "tune.mid"));
    EXPECT_TRUE(Channels().IsOpen(SoundChannel::Effect));
    EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect));
}

// With SDL's disk driver the mixed samples land in a file.
class MixedSamplesTest : public SoundTest {
protected:
    MixedSamplesTest() {
        form.reset();
        out = Path("mixed.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1); // far faster than real time
        Write("short.wav", WavTone(300));
        Load(Quest({Location("One")}));
    }
    ~MixedSamplesTest() override {
        form.reset();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }
    // Plays one file on the effect channel to its end; the largest sample mixed.
    int Loudest(const std::string& name) {
        Run(Call("PlayEffect", name));
        EXPECT_TRUE(Channels().IsPlaying(SoundChannel::Effect)) << name;
        for (int i = 0; i < 20000 && Channels().IsPlaying(SoundChannel::Effect); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        form.reset(); // closes the device, so the file is complete
        std::ifstream in(out, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        int loudest = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto sample = static_cast<std::int16_t>(
                static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        return loudest;
    }
    std::string out;
};

TEST_F(MixedSamplesTest, AWavToneIsReallyMixed) {
    // The tone's amplitude is half the full scale.
    EXPECT_GT(Loudest("short.wav"), 8000);
}

TEST_F(MixedSamplesTest, AMidiTuneIsReallyMixedWithTheSoundFontsInstruments) {
    EXPECT_GT(Loudest("tune.mid"), 1000);
}

} // namespace
