// Small sound files made in the test: a WAV tone and a MIDI tune.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace testing_support {

inline void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
inline void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A mono 16-bit WAV: a 440 Hz tone of the given length (silence at volume 0).
inline std::string WavTone(int milliseconds, double volume = 0.5) {
    const std::uint32_t rate = 22050;
    const std::uint32_t frames = rate * static_cast<std::uint32_t>(milliseconds) / 1000;
    std::string out = "RIFF";
    Put32(out, 36 + frames * 2);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double sample = volume * 32767.0 * std::sin(2.0 * M_PI * 440.0 * i / rate);
        Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)));
    }
    return out;
}

// A one-track MIDI file: four quarter notes on the piano.
inline std::string MidiTune() {
    std::string track;
    for (int note : {60, 64, 67, 72}) {
        track += std::string{0x00, static_cast<char>(0x90), static_cast<char>(note), 100};
        // 240 ticks (an eighth at 480 per quarter) as a variable-length number.
        track += std::string{static_cast<char>(0x81), 0x70, static_cast<char>(0x80),
                             static_cast<char>(note), 0};
    }
    track += std::string{0x00, static_cast<char>(0xFF), 0x2F, 0x00};
    std::string out = "MThd";
    out += std::string{0, 0, 0, 6, 0, 0, 0, 1, 0x01, static_cast<char>(0xE0)};
    out += "MTrk";
    const auto size = static_cast<std::uint32_t>(track.size());
    out += std::string{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                       static_cast<char>(size >> 8), static_cast<char>(size)};
    return out + track;
}

} // namespace testing_support
