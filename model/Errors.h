// The typed errors of the model library; what() is the text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace model {

// A text that is not a valid integer: "'12a' is not a valid integer value".
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed file operation: "File not found", "Invalid numeric input", ...
class InOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace model
