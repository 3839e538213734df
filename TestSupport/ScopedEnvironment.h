#pragma once
// Sets (or, given null, unsets) an environment variable for the scope and
// puts back what was there after.
#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name)) mOld = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ScopedEnvironment(const char* name, const std::string& value) : ScopedEnvironment(name, value.c_str()) {}
    ~ScopedEnvironment() { mOld ? ::setenv(mName, mOld->c_str(), 1) : ::unsetenv(mName); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* mName;
    std::optional<std::string> mOld;
};
