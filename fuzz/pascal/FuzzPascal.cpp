// Compiles and runs arbitrary bytes as a script, with a step budget, a small
// host unit and the dialog functions answered by a fixed host.
#include "fuzz/pascal/FuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzhost::compileAndRun(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
