// Whole-file reading and atomic writing: a save goes to a temporary file in
// the same folder, is flushed to disk and then renamed over the target, so a
// failed save never destroys the file that was there.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace model {

// The file's bytes. InOutError "File not found" for a missing file, another
// clear message naming the file for any other failure; a FIFO, a device or a
// file larger than 1 GiB is refused before anything is read.
std::string ReadFileBytes(const std::string& path);

// Replaces the file with bytes, or throws InOutError and leaves it as it was.
// The file gets `mode` less the umask, except that a file that exists keeps
// its own mode when keepExistingMode is set.
void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode = 0666,
                         bool keepExistingMode = true);

} // namespace model
