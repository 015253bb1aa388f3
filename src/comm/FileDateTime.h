// File times: conversion to and from the date-time value, and reading and writing them on a path.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include <string>

namespace comm {

// UTC file time to local date-time, with the bias in force now. Milliseconds survive, the part
// below them is cut. False for a time outside years 1 to 9999 (or that the system cannot break up).
bool comm_ConvFileTimeToDateTime(const FILETIME& fileTime, comm::TDateTime& value);

// Calendar parts to the file time of the same wall-clock reading, no zone applied. False for parts the
// system cannot put together (before 1601, 30 February).
bool WallClockFileTime(const comm::TDateTimeParts& parts, FILETIME& fileTime);

// Local date-time to UTC file time, with the bias in force now; the value is rounded to whole
// milliseconds first. False for a value that is not a date-time or lies before 1601.
bool comm_ConvDateTimeToFileTime(comm::TDateTime value, FILETIME& fileTime);

// A file time as the user reads it: local time to the second ("2025/07/14 15:07:58"), "?" for a time
// that does not convert.
std::wstring LocalFileTimeText(const FILETIME& fileTime);

// Reads the creation, last-access and last-write times of a file or folder. The path is opened for
// writing (shared for reading only), so a read-only file or one another program writes cannot be
// read. The path is taken as it stands ("a." is not "a"); one trailing separator is ignored, but a
// root keeps its own ("C:\" is the root, "C:" would be the current folder of drive C). A link is read
// and written itself; where the platform would reach only its target, the call fails. True only when
// all three were read and converted.
bool comm_GetFileDateTime(const std::wstring& path, comm::TDateTime& creation, comm::TDateTime& lastAccess,
                          comm::TDateTime& lastWrite);

// Writes the creation and last-write times of a file or folder in one call; a value of exactly 0
// keeps the time as read (cut to whole milliseconds). The last-access time is read, and must
// convert, but is never written. One trailing separator is ignored.
bool comm_SetFileDateTime(const std::wstring& path, comm::TDateTime creation, comm::TDateTime lastWrite);

// What comm_ReplaceFileDateTime got to.
enum TReplaceTimesResult {
  rtDone,         // the times were written
  rtUnreadable,   // the path could not be opened, or its times read and converted
  rtWriteFailed,  // a new time could not be converted, or the write failed
};

// The date step of a change in one open: reads the three times, replaces the creation and the
// last-write time by the values given (null keeps the time as read, cut to whole milliseconds) and
// writes both in one call. Tells a failed read from a failed write. comm_SetFileDateTime is this
// with 0 standing for null.
TReplaceTimesResult comm_ReplaceFileDateTime(const std::wstring& path, const comm::TDateTime* creation,
                                             const comm::TDateTime* lastWrite);
// The same through a handle open for writing (an invalid handle reads as rtUnreadable).
TReplaceTimesResult comm_ReplaceHandleDateTime(HANDLE h, const comm::TDateTime* creation,
                                               const comm::TDateTime* lastWrite);

}  // namespace comm
