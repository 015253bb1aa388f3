// A second process of the same test program running the current test, as a second copy of the program
// (or its console companion) would run beside the first: the test finds its role in the environment.
#pragma once
#include "Base.h"
#include <string>

namespace testsupport {

// The value the parent gave its child under this name; empty in the parent itself.
std::wstring ChildRole(const wchar_t* variable);

// Starts this test program running only the current test, with variable=value in its environment, and
// waits for it at most timeoutMs, handling this thread's sent and posted messages meanwhile (not its
// timers, so that a test step that runs the child is not run again inside itself). The child's exit
// code (0 when its test passed), or -1 when it could not be started or did not end in time (it is then
// ended).
int RunTestInChild(const wchar_t* variable, const std::wstring& value, DWORD timeoutMs = 60000);

}  // namespace testsupport
