// The typed errors of the model library. what() is the text the user sees,
// in cp1251 like every std::string of the model.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace model {

// A text that is not a valid integer: "'12a' is not a valid integer value".
// Also raised for a payload whose structure cannot be right (a count larger
// than the payload itself).
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed file operation: "File not found", "Invalid numeric input", ...
class InOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The quest file's count does not convert: what() is "Invalid numeric input",
// and line() is the line of the file that holds the count (from 1).
class NumericInputError : public InOutError {
public:
    explicit NumericInputError(std::int64_t line)
        : InOutError("Invalid numeric input"), line_(line) {}
    std::int64_t line() const { return line_; }

private:
    std::int64_t line_;
};

// UTF-8 text that cannot become cp1251: malformed UTF-8, or a character that
// has no cp1251 byte. The message names the byte offset in the UTF-8 text.
class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace model
