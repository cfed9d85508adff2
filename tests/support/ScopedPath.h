#pragma once
// An environment variable replaced for a scope, restored or removed again
// afterwards; PATH above all, so no real wine or engine is ever found or run.

#include <cstdlib>
#include <optional>
#include <string>

namespace korvane::test {

class ScopedVariable
{
public:
    // Unset for the scope when value is nullopt.
    ScopedVariable(std::string name, const std::optional<std::string>& value) : m_name(std::move(name))
    {
        if (const char* old = std::getenv(m_name.c_str())) m_old = old;
        if (value)
            ::setenv(m_name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ~ScopedVariable()
    {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class ScopedPath : public ScopedVariable
{
public:
    explicit ScopedPath(const std::string& value) : ScopedVariable("PATH", value) {}
};

} // namespace korvane::test
