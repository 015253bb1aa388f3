// Opening the object a path names itself: a link is opened as the link, never as what it leads to.
#pragma once
#include "Base.h"
#include "comm/Scoped.h"
#include <string>

namespace comm {

// The sharing of an open that stands in no one's way: others may read, write and delete beside it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How an open of a named object went.
enum TOpenResult {
  orOpened,        // the handle is the object the path names
  orFailed,        // the open failed; GetLastError() tells why
  orLinkFollowed,  // the path names a link, and the platform opened what it leads to instead
};

// The volume-relative name of the last folder asked for, kept between opens: the entries of a target
// list come folder by folder.
struct TFolderNameCache {
  std::wstring folder;  // the folder's literal path
  std::wstring name;    // the name its handle reports
};

// Opens the object that literalPath (the comm_LiteralPath form) names itself, as a file or a folder,
// with FILE_FLAG_OPEN_REPARSE_POINT: a symbolic link or junction is opened as the link, not followed.
// A platform that follows the link regardless (Wine follows Unix links, whatever the flag says) would
// hand out its target: the handle's own name is compared with the name the path gives it, and a handle
// on another object is closed again and reported as orLinkFollowed. Folders on the way to the object
// may be links; only the last name must be the object's own.
comm::TUniqueHandle comm_OpenNamedObject(const std::wstring& literalPath, DWORD access, DWORD share,
                                        comm::TOpenResult& result, comm::TFolderNameCache* folders = nullptr);

}  // namespace comm
