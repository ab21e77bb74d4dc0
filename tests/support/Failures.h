#pragma once
// What the tests learn from a failing call: its user-facing message.
#include <string>

#include "runtime/Exceptions.h"

namespace mirth::testing {

// The message of the Exception that action throws, or "" when it succeeds.
template <typename F>
std::string MessageOf(F&& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

} // namespace mirth::testing
