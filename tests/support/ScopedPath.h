#pragma once
// PATH replaced for a scope (so no real wine is ever found or run), restored
// or removed again afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace korvane::test {

class ScopedPath
{
public:
    explicit ScopedPath(const std::string& value)
    {
        if (const char* old = std::getenv("PATH")) m_old = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath()
    {
        if (m_old)
            ::setenv("PATH", m_old->c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::optional<std::string> m_old;
};

} // namespace korvane::test
