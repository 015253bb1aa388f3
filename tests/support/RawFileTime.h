// Reading and writing a path's file times directly, to check the primitives against the system.
#pragma once
#include "Base.h"
#include <cstdint>
#include <string>

namespace testsupport {

struct RawTimes {
  int64_t Creation = 0, LastAccess = 0, LastWrite = 0;
};

// Reads through a handle opened for reading attributes only, so read-only files can be read too.
RawTimes ReadRawTimes(const std::wstring& path);
// Writes the given times (a negative value leaves that time alone). False when the write fails.
bool WriteRawTimes(const std::wstring& path, int64_t creation, int64_t lastAccess, int64_t lastWrite);

// A UTC file time from calendar fields.
int64_t FileTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0);

}  // namespace testsupport
