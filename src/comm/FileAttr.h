// Attributes of a path: its kind, the folder test, size and date, and the read-only attribute; and the
// attribute word of an open file or folder.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "comm/NamedObject.h"
#include <cstdint>
#include <string>

namespace comm {

// What is at a path. The order of the values is fixed.
enum TPathKind { pkFolder = 0, pkNone = 1, pkFile = 2 };

// The attribute word's "cannot be read" value (all bits set).
constexpr DWORD kNoFileAttributes = INVALID_FILE_ATTRIBUTES;

// The paths below are taken as they stand (comm_LiteralPath): "a." is not "a", "C:\" is the root.
TPathKind comm_GetPathKind(const std::wstring& path);

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
// attribute word was written. A link gets it itself; where only its target could, nothing is written.
bool comm_SetReadOnlyAttr(const std::wstring& path, bool readOnly);

// The bits an attribute write can set (read-only, hidden, system, archive, temporary, offline, not
// indexed); the others (folder, link, compressed, …) are the file system's to keep.
constexpr DWORD kSettableFileAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                          FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Opens the object a literal path names itself (a link as the link: comm_OpenNamedObject) for reading
// and writing its attributes.
comm::TUniqueHandle comm_OpenForAttributes(const std::wstring& literalPath, comm::TOpenResult& result,
                                          comm::TFolderNameCache* folders = nullptr);

// The attribute word of an open file or folder, or kNoFileAttributes.
DWORD comm_GetHandleAttr(HANDLE h);

// Writes the settable bits of an attribute word through an open handle (none set is written as
// FILE_ATTRIBUTE_NORMAL); the times are left alone. True when the write was accepted, which does not
// yet mean that every bit took: read the word back to know.
bool comm_SetHandleAttr(HANDLE h, DWORD attr);

}  // namespace comm
