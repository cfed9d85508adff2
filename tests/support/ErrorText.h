#pragma once
// The text of the error an action throws, as the general error report would
// show it; "" when it throws none. Other exceptions pass through and fail the test.

#include "platform/Errors.h"

#include <string>

namespace korvane::test {

template <typename Action> std::string errorText(Action&& action)
{
    try {
        action();
    } catch (const KorvaneError& error) {
        return error.what();
    }
    return {};
}

} // namespace korvane::test
