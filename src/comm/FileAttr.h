// Attributes of a path: its kind, the folder test, size and date, and the read-only attribute.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include <cstdint>
#include <string>

// What is at a path. The order of the values is fixed.
enum TPathKind { pkFolder = 0, pkNone = 1, pkFile = 2 };

// The attribute word's "cannot be read" value (all bits set).
constexpr DWORD kNoFileAttributes = INVALID_FILE_ATTRIBUTES;

TPathKind GetPathKind(const std::wstring& path);

// True for an existing folder.
bool comm_DirExists(const std::wstring& path);

// The attribute word of a path, or kNoFileAttributes. size and date start at 0; when a directory
// search finds the path, size becomes the low 32 bits of its size and date its last-write time in
// the file system's packed local form (2-second steps), as a date-time. A drive root, which the
// search does not find, keeps size and date 0.
DWORD comm_GetFileInfo(const std::wstring& path, int32_t& size, comm::TDateTime& date);

// Reads the read-only attribute; false (readOnly untouched) when the attributes cannot be read.
bool comm_GetReadOnlyAttr(const std::wstring& path, bool& readOnly);

// Sets or clears the read-only attribute, writing every other bit back as read; true when the
// attribute word was written.
bool comm_SetReadOnlyAttr(const std::wstring& path, bool readOnly);
