// Files the build makes beside the program, found from the running test program.
#pragma once
#include "Base.h"
#include <string>

namespace testsupport {

// The help file VornaSTS.hlp at the top of the build tree (the test programs run one folder below it).
std::wstring BuiltHelpFile();

}  // namespace testsupport
