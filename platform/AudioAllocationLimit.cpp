// SDL's memory functions, replaced once by ones that pass every call on to
// the originals, so blocks allocated before and after the change mix freely;
// only the calling thread's budget makes allocations fail.
#include "platform/AudioAllocationLimit.h"

#include <SDL.h>

#include <mutex>

namespace platform {
namespace {

thread_local bool limited = false;
thread_local std::size_t spent = 0;
thread_local bool refused = false;

SDL_malloc_func originalMalloc;
SDL_calloc_func originalCalloc;
SDL_realloc_func originalRealloc;
SDL_free_func originalFree;

// Charges count * size bytes to the budget; false when it does not allow them.
bool Allowed(std::size_t count, std::size_t size) {
    if (!limited)
        return true;
    const std::size_t left = kDecodeAllocationBudget - spent;
    if (size != 0 && count > left / size) {
        refused = true;
        return false;
    }
    spent += count * size;
    return true;
}

void* LimitedMalloc(std::size_t size) {
    return Allowed(1, size) ? originalMalloc(size) : nullptr;
}

void* LimitedCalloc(std::size_t count, std::size_t size) {
    return Allowed(count, size) ? originalCalloc(count, size) : nullptr;
}

void* LimitedRealloc(void* block, std::size_t size) {
    return Allowed(1, size) ? originalRealloc(block, size) : nullptr;
}

void LimitedFree(void* block) {
    originalFree(block);
}

} // namespace

void InstallAudioAllocationLimit() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        SDL_GetMemoryFunctions(&originalMalloc, &originalCalloc, &originalRealloc, &originalFree);
        SDL_SetMemoryFunctions(LimitedMalloc, LimitedCalloc, LimitedRealloc, LimitedFree);
    });
}

AudioAllocationLimit::AudioAllocationLimit() {
    limited = true;
    spent = 0;
    refused = false;
}

AudioAllocationLimit::~AudioAllocationLimit() {
    limited = false;
}

bool AudioAllocationLimit::Refused() const {
    return refused;
}

} // namespace platform
