#pragma once

// An environment variable set (or removed) for the scope of the object and
// put back as it was afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace testenv {

class TScopedVariable {
public:
    // Sets name to value; no value removes it.
    TScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~TScopedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    TScopedVariable(const TScopedVariable&) = delete;
    TScopedVariable& operator=(const TScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace testenv
