// What a screen reader in another process finds in a window of the program:
//   accwalk.exe <window title>                 one line per object: role, state, name, value (UTF-8)
//   accwalk.exe <window title> --press <name>  the default action of the first object of that name
// Exit 0 when done, 1 when the window or the object is not found or the action is refused.
#include "support/Accessible.h"
#include "comm/Scoped.h"
#include <cstdio>
#include <string>

namespace {

void PrintUtf8(const std::wstring& line) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
  bytes += '\n';
  fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && !(argc == 4 && std::wstring(argv[2]) == L"--press")) {
    fputs("usage: accwalk <window title> [--press <name>]\n", stderr);
    return 2;
  }
  const comm::TOleInit com;
  const HWND window = FindWindowW(nullptr, argv[1]);
  if (!window) {
    fputs("accwalk: no such window\n", stderr);
    return 1;
  }
  const auto nodes = testsupport::WalkAccessible(window);
  if (argc == 2) {
    for (const auto& n : nodes)
      PrintUtf8(std::to_wstring(n.Role) + L"\t" + std::to_wstring(n.State) + L"\t" + n.Name + L"\t" + n.Value);
    return nodes.empty() ? 1 : 0;
  }
  for (const auto& n : nodes) {
    if (n.Name != argv[3]) continue;
    comm::TComPtr<IAccessible> object;
    *&object = testsupport::ClientObject(n.Window);
    if (!object) return 1;
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = n.Child;
    return SUCCEEDED(object->accDoDefaultAction(id)) ? 0 : 1;
  }
  fputs("accwalk: no object of that name\n", stderr);
  return 1;
}
