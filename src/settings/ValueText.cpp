// Text forms of stored settings values: integers, font colours and hexadecimal byte lines.
#include "settings/ValueText.h"

namespace settings {

namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> TextToInt(std::wstring_view text, bool hexAsBits) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
    negative = text[i] == L'-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == L'$' || text[i] == L'x' || text[i] == L'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;  // no digits at all

  // 64 bits hold every value up to one digit past the 32-bit limits, so the checks below see overflow.
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = hex ? HexDigit(text[i]) : (text[i] >= L'0' && text[i] <= L'9' ? text[i] - L'0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex && hexAsBits) {
    uint32_t bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  if (negative) {
    if (magnitude > 0x80000000ull) return std::nullopt;
    return static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude));
  }
  if (magnitude > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<int32_t>(magnitude);
}

int32_t TextToIntOrZero(std::wstring_view text) { return TextToInt(text).value_or(0); }

std::wstring IntToText(int32_t value) { return std::to_wstring(value); }

const std::vector<TColorName>& ColorNames() {
  static const std::vector<TColorName> names = {
      {L"clBlack", 0x000000},
      {L"clMaroon", 0x000080},
      {L"clGreen", 0x008000},
      {L"clOlive", 0x008080},
      {L"clNavy", 0x800000},
      {L"clPurple", 0x800080},
      {L"clTeal", 0x808000},
      {L"clGray", 0x808080},
      {L"clSilver", 0xC0C0C0},
      {L"clRed", 0x0000FF},
      {L"clLime", 0x00FF00},
      {L"clYellow", 0x00FFFF},
      {L"clBlue", 0xFF0000},
      {L"clFuchsia", 0xFF00FF},
      {L"clAqua", 0xFFFF00},
      {L"clWhite", 0xFFFFFF},
      {L"clScrollBar", comm::SysColor(COLOR_SCROLLBAR)},
      {L"clBackground", comm::SysColor(COLOR_BACKGROUND)},
      {L"clActiveCaption", comm::SysColor(COLOR_ACTIVECAPTION)},
      {L"clInactiveCaption", comm::SysColor(COLOR_INACTIVECAPTION)},
      {L"clMenu", comm::SysColor(COLOR_MENU)},
      {L"clWindow", comm::SysColor(COLOR_WINDOW)},
      {L"clWindowFrame", comm::SysColor(COLOR_WINDOWFRAME)},
      {L"clMenuText", comm::SysColor(COLOR_MENUTEXT)},
      {L"clWindowText", comm::SysColor(COLOR_WINDOWTEXT)},
      {L"clCaptionText", comm::SysColor(COLOR_CAPTIONTEXT)},
      {L"clActiveBorder", comm::SysColor(COLOR_ACTIVEBORDER)},
      {L"clInactiveBorder", comm::SysColor(COLOR_INACTIVEBORDER)},
      {L"clAppWorkSpace", comm::SysColor(COLOR_APPWORKSPACE)},
      {L"clHighlight", comm::SysColor(COLOR_HIGHLIGHT)},
      {L"clHighlightText", comm::SysColor(COLOR_HIGHLIGHTTEXT)},
      {L"clBtnFace", comm::SysColor(COLOR_BTNFACE)},
      {L"clBtnShadow", comm::SysColor(COLOR_BTNSHADOW)},
      {L"clGrayText", comm::SysColor(COLOR_GRAYTEXT)},
      {L"clBtnText", comm::SysColor(COLOR_BTNTEXT)},
      {L"clInactiveCaptionText", comm::SysColor(COLOR_INACTIVECAPTIONTEXT)},
      {L"clBtnHighlight", comm::SysColor(COLOR_BTNHIGHLIGHT)},
      {L"cl3DDkShadow", comm::SysColor(COLOR_3DDKSHADOW)},
      {L"cl3DLight", comm::SysColor(COLOR_3DLIGHT)},
      {L"clInfoText", comm::SysColor(COLOR_INFOTEXT)},
      {L"clInfoBk", comm::SysColor(COLOR_INFOBK)},
  };
  return names;
}

std::wstring ColorToText(TColor color) {
  for (const TColorName& entry : ColorNames())
    if (entry.Value == color) return entry.Name;
  wchar_t buffer[16];
  swprintf(buffer, 16, L"$%08X", static_cast<unsigned>(static_cast<uint32_t>(color)));
  return buffer;
}

std::optional<TColor> TextToColor(std::wstring_view text) {
  for (const TColorName& entry : ColorNames()) {
    if (CompareStringOrdinal(entry.Name, -1, text.data(), static_cast<int>(text.size()), TRUE) == CSTR_EQUAL)
      return entry.Value;
  }
  return TextToInt(text, /*hexAsBits=*/true);
}

std::wstring BytesToHex(const std::vector<uint8_t>& bytes) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    text.push_back(digits[b >> 4]);
    text.push_back(digits[b & 0x0F]);
  }
  return text;
}

std::vector<uint8_t> HexLineToBytes(std::wstring_view line) {
  std::vector<uint8_t> bytes;
  bytes.reserve((line.size() + 1) / 2);
  for (size_t i = 0; i < line.size(); i += 2) {
    int high = HexDigit(line[i]);
    if (i + 1 == line.size()) {
      bytes.push_back(high < 0 ? 0 : static_cast<uint8_t>(high));
      break;
    }
    int low = HexDigit(line[i + 1]);
    bytes.push_back(high < 0 || low < 0 ? 0 : static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace settings
