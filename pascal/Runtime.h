// The execution core's data: value cells, aggregates, the slot stacks that
// hold the frames of running routines, and the state of one run.
#pragma once

#include "pascal/Engine.h"
#include "pascal/Types.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pascal {

// --- Limits -----------------------------------------------------------------

// Longest string a script may build: far beyond any quest text, small enough
// that a runaway concatenation loop fails cleanly instead of eating memory.
inline constexpr std::size_t kMaxStringLength = 16u << 20;
// Most elements one array may hold (SetLength and static bounds), for the
// same reason.
inline constexpr std::int64_t kMaxArrayLength = 1 << 24;
// Deepest chain of script routine calls; a deeper recursion is a run-time
// error rather than a native stack overflow.
inline constexpr int kMaxCallDepth = 4000;
// Native stack that runs may use below the start of the outermost run on the
// thread (nested runs share it), checked at every script call together with
// kMaxCallDepth (frames are bigger in sanitizer builds).
inline constexpr std::size_t kMaxNativeStack = 3u << 20;
// Memory one run may hold in strings and arrays, counted where they are
// made and given back where they are dropped: far beyond any quest's needs,
// small enough that filling an array with long strings fails cleanly instead
// of taking the machine's memory.
inline constexpr std::int64_t kMaxRunMemory = std::int64_t(256) << 20;
// The cancellation callback is consulted once per this many steps; a step is
// a loop turn or a call, a few nanoseconds each, so this is well under a
// millisecond of script work.
inline constexpr std::int64_t kStepsPerCheck = 4096;

// --- Values -----------------------------------------------------------------

// A number slot: Integer and Boolean (0/1) use i, Float uses f.
union Cell {
    std::int64_t i;
    double f;
};

struct Agg;
using AggPtr = std::shared_ptr<Agg>;

// An array or record value. Arrays use the one vector that matches their
// element storage; records use all three, indexed by field.
struct Agg {
    std::vector<Cell> n;
    std::vector<std::string> s;
    std::vector<AggPtr> a;
    std::int64_t lo = 0;            // arrays: index of the first element
    Storage elem = Storage::Number; // arrays: which vector holds the elements
    bool byValue = true;            // static arrays and records: copied on assignment

    std::size_t length() const {
        switch (elem) {
        case Storage::Number:
            return n.size();
        case Storage::Str:
            return s.size();
        default:
            return a.size();
        }
    }
};

// A fresh, default value of an aggregate type (nullptr for a dynamic array).
AggPtr makeAgg(const TypeInfo* t);
// A deep copy, for assignment of static arrays and records.
AggPtr cloneAgg(const AggPtr& p);
// The bytes an aggregate holds for the memory budget: its slots, its
// strings, and the aggregates copied along with it (static arrays and
// records; dynamic arrays are shared and counted where they are made).
std::int64_t aggBytes(const Agg* p);

// The run-time error of a script: caught by try..except, recorded with the
// place of the statement that failed.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown when the host stops a run; try..except does not catch it.
struct StopRun {
    bool budget; // true: the step budget ran out; false: the host cancelled
};

[[noreturn]] void fail(std::string_view message);

// A reference for a var parameter: either a stable slot of a frame (direct),
// or an element of an aggregate, re-checked against the aggregate on each use
// so that a SetLength inside the callee can never leave it dangling.
struct Ref {
    void* direct = nullptr;
    AggPtr holder;
    std::size_t index = 0;

    Cell& cell() const;
    std::string& str() const;
    AggPtr& agg() const;
};

// A stack of slots in chunks that never move, so a frame's slots stay put
// while deeper frames come and go.
template <class T> class SlotStack {
public:
    struct Mark {
        std::size_t chunk, top;
    };
    Mark mark() const { return {cur_, top_}; }

    T* push(std::size_t n) {
        if (top_ + n <= size_) { // the common case: room in the current chunk
            T* p = data_ + top_;
            top_ += n;
            return p;
        }
        return pushSlow(n);
    }

    // Gives back the slots of one frame, emptied, and the stack top as it was.
    void release(Mark m, T* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            p[i] = T{};
        if (m.chunk != cur_) {
            cur_ = m.chunk;
            data_ = chunks_[cur_].data.get();
            size_ = chunks_[cur_].size;
        }
        top_ = m.top;
    }

private:
    static constexpr std::size_t kChunk = 4096;
    struct Chunk {
        std::unique_ptr<T[]> data;
        std::size_t size;
    };
    std::vector<Chunk> chunks_;
    std::size_t cur_ = 0, top_ = 0;
    T* data_ = nullptr;    // chunks_[cur_], cached
    std::size_t size_ = 0; // its size

    T* pushSlow(std::size_t n) {
        std::size_t want = std::max(n, kChunk);
        if (chunks_.empty()) {
            chunks_.push_back(Chunk{std::make_unique<T[]>(want), want});
            cur_ = 0;
        } else {
            ++cur_;
            if (cur_ == chunks_.size())
                chunks_.push_back(Chunk{std::make_unique<T[]>(want), want});
            else if (chunks_[cur_].size < n)
                chunks_[cur_] = Chunk{std::make_unique<T[]>(want), want};
        }
        data_ = chunks_[cur_].data.get();
        size_ = chunks_[cur_].size;
        top_ = n;
        return data_;
    }
};

// The random numbers of Random and RandomInt: SplitMix64, small and quick to
// seed, since every run (every click) starts a generator of its own.
struct SplitMix {
    std::uint64_t state = 0;
    void seed(std::uint64_t s) { state = s; }
    std::uint64_t operator()() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
};

// The slots of one activation of a routine (or of the main program).
struct Frame {
    Cell* n = nullptr;
    std::string* s = nullptr;
    AggPtr* a = nullptr;
    Ref* r = nullptr;
};

// Deepest nesting of routine declarations; each level has a display entry.
inline constexpr int kMaxLevels = 32;

enum class Flow : std::uint8_t { Normal, Break, Continue, Exit };

struct Position {
    int line = 0, column = 0;
};

// The state of one run. Nested runs (a program run from a host callback) each
// have their own.
struct Ctx {
    Frame display[kMaxLevels]; // the current frame of each lexical level
    SlotStack<Cell> nStack;
    SlotStack<std::string> sStack;
    SlotStack<AggPtr> aStack;
    SlotStack<Ref> rStack;
    Flow flow = Flow::Normal;
    Position pos; // the statement being run, for error messages
    std::int64_t untilCheck = kStepsPerCheck;
    std::uint64_t budgetLeft = 0; // steps left when a budget is set
    bool hasBudget = false;
    const RunOptions* options = nullptr;
    int callDepth = 0;
    std::uintptr_t stackBase = 0; // address of the run's first frame on the native stack
    SplitMix rng;
    std::string raised;    // the message of the exception being handled
    std::int64_t held = 0; // bytes of strings and arrays held, for kMaxRunMemory

    // Counts memory made (positive) or given back (negative).
    void hold(std::int64_t bytes) {
        held += bytes;
        if (bytes > 0 && held > kMaxRunMemory)
            memoryExhausted();
    }
    void holdStr(const std::string& now, std::size_t before) {
        hold(static_cast<std::int64_t>(now.size()) - static_cast<std::int64_t>(before));
    }
    // Gives back what a dropped aggregate held, when nothing else holds it.
    void release(const AggPtr& p) {
        if (p && p.use_count() == 1)
            hold(-aggBytes(p.get()));
    }
    [[noreturn]] void memoryExhausted();

    // Counts one step (a loop turn or a call); every kStepsPerCheck steps it
    // asks the host whether to stop.
    void step() {
        if (--untilCheck <= 0)
            checkpoint(kStepsPerCheck - untilCheck);
    }
    // Counts bulk work (bytes copied, elements made) as steps.
    void work(std::size_t amount) {
        std::int64_t steps = static_cast<std::int64_t>(amount / 64);
        untilCheck -= steps;
        if (untilCheck <= 0)
            checkpoint(kStepsPerCheck - untilCheck);
    }
    void checkpoint(std::int64_t used);
    void enterCall();
    void leaveCall() { --callDepth; }
};

// Checked string building.
void checkLength(std::size_t length);

} // namespace pascal
