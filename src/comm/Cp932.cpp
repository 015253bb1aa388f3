// Conversion between UTF-16 and code page 932, always through the explicit code page.
#include "comm/Cp932.h"

namespace comm {

std::wstring Cp932ToWide(std::string_view bytes) {
  std::wstring out;
  if (bytes.empty()) return out;
  // Convert in pieces no larger than INT_MAX so very large inputs are handled too.
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t len = std::min<size_t>(bytes.size() - pos, 1u << 30);
    // Do not split a double-byte character between two pieces.
    if (pos + len < bytes.size()) {
      size_t i = pos;
      while (i < pos + len) i += IsDBCSLeadByteEx(kCodePage932, static_cast<BYTE>(bytes[i])) ? 2 : 1;
      if (i > pos + len) len -= 1;
    }
    int n = MultiByteToWideChar(kCodePage932, 0, bytes.data() + pos, static_cast<int>(len), nullptr, 0);
    size_t old = out.size();
    out.resize(old + n);
    if (n > 0)
      MultiByteToWideChar(kCodePage932, 0, bytes.data() + pos, static_cast<int>(len), out.data() + old, n);
    pos += len;
  }
  return out;
}

std::string WideToCp932(std::wstring_view text, bool* usedDefault) {
  std::string out;
  if (usedDefault) *usedDefault = false;
  if (text.empty()) return out;
  BOOL used = FALSE;
  int n = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, &used);
  out.resize(n);
  if (n > 0)
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        &used);
  if (usedDefault) *usedDefault = used != FALSE;
  return out;
}

}  // namespace comm
