// What the editor asks of the desktop beyond its own windows: open a document
// with the program the desktop chooses, and start a program as a process of
// its own. Behind one small interface, so that tests record the requests.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Opens a local file the way the desktop opens it; a missing file or a
    // desktop that cannot open it shows nothing.
    virtual void OpenDocument(const std::string& path) = 0;

    // Starts program (a native path) detached from this process, in
    // workingDir. Nothing when it started, else the reason (cp1251).
    virtual std::optional<std::string> StartDetached(const std::string& program,
                                                     const std::vector<std::string>& arguments,
                                                     const std::string& workingDir) = 0;
};

} // namespace platform
