// The desktop through Qt: QDesktopServices and QProcess.
#pragma once

#include "platform/Desktop.h"

namespace platform {

class QtDesktop : public Desktop {
public:
    void OpenDocument(const std::string& path) override;
    std::optional<std::string> StartDetached(const std::string& program,
                                             const std::vector<std::string>& arguments,
                                             const std::string& workingDir) override;
};

} // namespace platform
