#pragma once
// Errors that end an event handler and reach the general error report.

#include <stdexcept>
#include <string>

namespace korvane {

// Base of every error a handler lets travel to the general error report.
class KorvaneError : public std::runtime_error
{
public:
    explicit KorvaneError(const std::string& text) : std::runtime_error(text), m_text(text) {}
    // The whole text, NUL bytes included (what() ends at the first).
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// A file could not be opened, created, read, written or deleted.
class IoError : public KorvaneError
{
public:
    using KorvaneError::KorvaneError;
};

// A text that should be an integer is not one.
class ConvertError : public KorvaneError
{
public:
    explicit ConvertError(const std::string& text);
};

inline constexpr const char* FileNotFoundText = "File not found";

} // namespace korvane
