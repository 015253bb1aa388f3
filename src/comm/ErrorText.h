// Windows' own words for an error code.
#pragma once
#include "Base.h"
#include <string>

namespace comm {

// The system's reason text for error, without the line break it ends with; empty when the system has
// no text for that code.
std::wstring SystemErrorText(DWORD error);

}  // namespace comm
