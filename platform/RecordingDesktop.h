// A desktop that does nothing but record what it was asked, and answers a
// start with a failure when told to. The editor's tests use it.
#pragma once

#include "platform/Desktop.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct DesktopRequest {
    enum class Kind { Open, Start };
    Kind kind = Kind::Open;
    std::string path; // the document or the program
    std::vector<std::string> arguments;
    std::string workingDir;
};

class RecordingDesktop : public Desktop {
public:
    // The reason the next starts fail with; nothing: they succeed.
    std::optional<std::string> startFailure;

    const std::vector<DesktopRequest>& Requests() const { return requests_; }

    void OpenDocument(const std::string& path) override {
        requests_.push_back({DesktopRequest::Kind::Open, path, {}, {}});
    }
    std::optional<std::string> StartDetached(const std::string& program,
                                             const std::vector<std::string>& arguments,
                                             const std::string& workingDir) override {
        requests_.push_back({DesktopRequest::Kind::Start, program, arguments, workingDir});
        return startFailure;
    }

private:
    std::vector<DesktopRequest> requests_;
};

} // namespace platform
