// Conversion between UTF-16 and UTF-8 through the system's converter.
#include "comm/Utf8.h"
#include <algorithm>
#include <climits>

namespace comm {

namespace {

// Pieces stay below INT_MAX and never split a character: a UTF-8 piece does not end before a
// continuation byte, a UTF-16 piece not between the halves of a surrogate pair.
constexpr size_t kPiece = 1u << 28;

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
  std::wstring out;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t len = std::min(bytes.size() - pos, kPiece);
    while (pos + len < bytes.size() && len > 1 && (static_cast<unsigned char>(bytes[pos + len]) & 0xC0) == 0x80) --len;
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + pos, static_cast<int>(len), nullptr, 0);
    size_t old = out.size();
    out.resize(old + static_cast<size_t>(n));
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + pos, static_cast<int>(len), out.data() + old, n);
    pos += len;
  }
  return out;
}

void AppendUtf8(std::string& out, std::wstring_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t len = std::min(text.size() - pos, kPiece / 4);
    if (pos + len < text.size() && IS_HIGH_SURROGATE(text[pos + len - 1]) && len > 1) --len;
    // At most three bytes for each UTF-16 unit (a surrogate pair makes four of two): one call converts.
    const size_t old = out.size();
    out.resize(old + len * 3);
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data() + pos, static_cast<int>(len), out.data() + old,
                                      static_cast<int>(len * 3), nullptr, nullptr);
    out.resize(old + static_cast<size_t>(std::max(n, 0)));
    pos += len;
  }
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  AppendUtf8(out, text);
  return out;
}

}  // namespace comm
