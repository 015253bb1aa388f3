// Shell folders of the user and shell link files, through the shell's own objects.
#include "shell/ShellLink.h"
#include "comm/LongPathName.h"
#include "ui/Error.h"
#include "comm/Scoped.h"
#include <knownfolders.h>
#include <shlobj.h>
#include <cstdio>
#include <vector>

namespace {

// The file-system path of an item identifier list, however long.
std::wstring PathOfIdList(PCIDLIST_ABSOLUTE idList) {
  for (DWORD size : {DWORD{MAX_PATH}, DWORD{32768}}) {
    std::vector<wchar_t> buffer(size, L'\0');
    if (SHGetPathFromIDListEx(idList, buffer.data(), size, GPFIDL_DEFAULT)) return buffer.data();
  }
  return std::wstring();
}

// What a link object gives back for one of its text properties; false when it gives nothing.
template <typename Getter>
bool ReadBack(Getter get, std::wstring& out) {
  std::vector<wchar_t> buffer(32768, L'\0');
  if (FAILED(get(buffer.data(), static_cast<int>(buffer.size())))) return false;
  out = buffer.data();
  return true;
}

}  // namespace

namespace shell {

void comm_GetWinDeskTopDir(std::wstring& path, HWND owner) {
  path.clear();
  // The shell's allocator is COM's task allocator.
  comm::TCoTaskMem<ITEMIDLIST> idList;
  if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, idList.Put())) || !idList) return;
  const std::wstring found = PathOfIdList(idList.Get());
  if (!found.empty()) comm::comm_GetLongPathName(found, path);
}

void comm_GetSendToDir(std::wstring& path) {
  path.clear();
  comm::TCoTaskMem<wchar_t> found;
  // Asked without verifying that the folder exists: a missing one is a failure to register, said as such.
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_SendTo, KF_FLAG_DONT_VERIFY, nullptr, found.Put());
  if (SUCCEEDED(hr) && found && *found.Get()) comm::comm_GetLongPathName(found.Get(), path);
}

bool comm_MakeShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& description, const std::wstring& workingDir) {
  auto failure = [](const wchar_t* step, HRESULT hr) {
    wchar_t code[16];
    std::swprintf(code, 16, L"%08lX", static_cast<unsigned long>(hr));
    return ui::Error(std::wstring(L"ショートカットを作成できません。\r(") + step + L": 0x" + code + L")");
  };
  comm::TComPtr<IUnknown> object;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&object));
  if (FAILED(hr)) throw failure(L"CoCreateInstance", hr);
  comm::TComPtr<IShellLinkW> link;
  hr = object->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&link));
  if (FAILED(hr)) throw failure(L"IShellLinkW", hr);
  comm::TComPtr<IPersistFile> file;
  hr = object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(hr)) throw failure(L"IPersistFile", hr);

  std::wstring folder = workingDir;
  if (folder.empty()) {
    const size_t cut = target.find_last_of(L"\\:");
    if (cut != std::wstring::npos) folder = target.substr(0, cut + 1);
  }
  if (FAILED(link->SetPath(target.c_str())) || FAILED(link->SetArguments(arguments.c_str())) ||
      FAILED(link->SetWorkingDirectory(folder.c_str())) || FAILED(link->SetDescription(description.c_str())))
    return false;
  // A link object that keeps a shortened target would start something else: such a link is not written.
  std::wstring kept;
  if (!ReadBack([&](wchar_t* b, int n) { return link->GetPath(b, n, nullptr, SLGP_RAWPATH); }, kept) ||
      CompareStringOrdinal(kept.c_str(), -1, target.c_str(), -1, TRUE) != CSTR_EQUAL)
    return false;
  return SUCCEEDED(file->Save(linkPath.c_str(), FALSE));
}

}  // namespace shell
