// A budget on what SDL may allocate while a sound file decodes whole into
// memory. SDL2_mixer queues the decoded samples in small pieces and then
// copies them into one buffer, so a crafted file of a few bytes (a note held
// for years, a header claiming gigabytes) would otherwise fill memory. With
// the budget spent, SDL's allocations fail, it reports "out of memory", and
// the load ends with an error.
#pragma once

#include <cstddef>

namespace platform {

// All SDL may allocate in one load, counted without frees: the samples are
// held about twice (queued, then copied), so an effect of up to about 16 MiB
// decoded (a minute and a half of 44.1 kHz 16-bit stereo) loads, and the
// decoding stops after about two seconds at most.
constexpr std::size_t kDecodeAllocationBudget = std::size_t{32} << 20;

// Replaces SDL's memory functions (once per process) by ones that pass every
// call on to the originals and can refuse. Call it before SDL starts threads
// of its own: the change is not atomic.
void InstallAudioAllocationLimit();

// While one lives (after InstallAudioAllocationLimit), SDL's allocations on
// this thread share kDecodeAllocationBudget; other threads (the mixer's) are
// not affected.
class AudioAllocationLimit {
public:
    AudioAllocationLimit();
    ~AudioAllocationLimit();
    AudioAllocationLimit(const AudioAllocationLimit&) = delete;
    AudioAllocationLimit& operator=(const AudioAllocationLimit&) = delete;
    // Whether an allocation has been refused since this one began.
    bool Refused() const;
};

} // namespace platform
