#pragma once
// Moved: the conversions live in Charset.h.
#include "platform/Charset.h"
