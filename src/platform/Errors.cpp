#include "platform/Errors.h"

namespace korvane {

ConvertError::ConvertError(const std::string& text)
    : KorvaneError("'" + text + "' is not a valid integer value")
{}

} // namespace korvane
