// The settings manager: named items stored in an INI file or the registry, read and written as text,
// integers, booleans, fonts, string lists, byte streams and controls.
#include "settings/RegMng.h"
#include <algorithm>
#include <stdexcept>

namespace settings {

namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

constexpr size_t kHexLineLength = 64;

// After a wait for a holder of the INI file ran out, later operations within this time do not wait.
constexpr ULONGLONG kHolderMemoryMs = 5000;

}  // namespace

// --- TRegItem, TRegItems -------------------------------------------------------------------------

void TRegItem::Assign(const TRegItem& source) {
  Name = source.Name;
  Section = source.Section;
  Ident = source.Ident;
  DefaultValue = source.DefaultValue;
}

TRegItem& TRegItems::Add() {
  FItems.push_back(std::make_unique<TRegItem>());
  return *FItems.back();
}

TRegItem& TRegItems::Add(std::wstring name, std::wstring section, std::wstring ident, std::wstring defaultValue) {
  TRegItem& item = Add();
  item.Name = std::move(name);
  item.Section = std::move(section);
  item.Ident = std::move(ident);
  item.DefaultValue = std::move(defaultValue);
  return item;
}

TRegItem& TRegItems::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TRegItems::Items: index out of range");
  return *FItems[static_cast<size_t>(index)];
}

void TRegItems::SetItems(int index, const TRegItem& value) { Items(index).Assign(value); }

TRegItem* TRegItems::FindItem(std::wstring_view name) const {
  for (const auto& item : FItems) {
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item->Name.data(), static_cast<int>(item->Name.size()),
                       name.data(), static_cast<int>(name.size())) == CSTR_EQUAL)
      return item.get();
  }
  return nullptr;
}

void TRegItems::Delete(int index) {
  TRegItem* item = &Items(index);
  if (FOwner) FOwner->ItemRemoved(item);
  FItems.erase(FItems.begin() + index);
}

void TRegItems::Clear() {
  if (FOwner)
    for (const auto& item : FItems) FOwner->ItemRemoved(item.get());
  FItems.clear();
}

void TRegItems::Assign(const TRegItems& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.FItems) Add().Assign(*item);
}

// --- TRegManager ---------------------------------------------------------------------------------

std::unique_ptr<TRegFiler> TRegManager::CreateFiler() { return std::make_unique<TRegFiler>(*this); }

TRegFiler& TRegManager::Filer(std::wstring_view name) {
  if (!FFiler) FFiler = CreateFiler();
  TRegItem* item = FRegItems.FindItem(name);
  if (!item) NoteFailure(L"[' " + std::wstring(name) + L" '] is invalid.");
  FFiler->FItem = item;
  return *FFiler;
}

// The filer must not keep pointing at an item that has left the table.
void TRegManager::ItemRemoved(const TRegItem* item) {
  if (FFiler && FFiler->FItem == item) FFiler->FItem = nullptr;
}

DWORD TRegManager::HolderPatience() const {
  if (FHolderOutwaitedAt != 0 && GetTickCount64() - FHolderOutwaitedAt < kHolderMemoryMs) return 0;
  return comm::kFileHolderPatienceMs;
}

void TRegManager::NoteFailure(std::wstring text) { FFailures.push_back(std::move(text)); }

void TRegManager::NoteFailure(const TSettingsOutcome& outcome) {
  if (!outcome) NoteFailure(outcome.Message);
}

TSettingsOutcome TRegManager::TakeFailure() {
  TSettingsOutcome first = FFailures.empty() ? TSettingsOutcome{} : TSettingsOutcome::Failed(FFailures.front());
  FFailures.clear();
  return first;
}

void TRegManager::NoteIniOutcome(const TIniFile& ini, bool wasRead) {
  if (ini.HolderOutwaited()) FHolderOutwaitedAt = GetTickCount64();
  if (wasRead && ini.LastReadFailed()) FReadFailed = true;
}

// --- TByteStream ---------------------------------------------------------------------------------

void TByteStream::Write(const std::vector<uint8_t>& data) {
  if (Bytes.size() < Position + data.size()) Bytes.resize(Position + data.size());
  std::copy(data.begin(), data.end(), Bytes.begin() + static_cast<ptrdiff_t>(Position));
  Position += data.size();
}

// --- TRegFiler: the back-ends --------------------------------------------------------------------

std::unique_ptr<TRegistryStore> TRegFiler::OpenRegistry() {
  if (FManager.RegType() == rtReg && !FManager.RegDir().empty()) return std::make_unique<TRegistryStore>(FManager.RegDir());
  FManager.NoteFailure(L"can not create Registry object.");
  return nullptr;
}

std::unique_ptr<TIniFile> TRegFiler::OpenIniFile() {
  if (FManager.RegType() == rtIni && !FManager.IniFileName().empty()) {
    auto ini = std::make_unique<TIniFile>(FManager.IniFileName());
    ini->SetPatience(FManager.HolderPatience());
    return ini;
  }
  FManager.NoteFailure(L"can not create Inifile object.");
  return nullptr;
}

std::wstring TRegFiler::ReadValue(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) {
  if (section.empty() || key.empty()) return defaultValue;
  if (FManager.RegType() == rtReg) {
    std::unique_ptr<TRegistryStore> registry = OpenRegistry();
    if (!registry) return defaultValue;
    TSettingsOutcome outcome;
    std::wstring value = registry->ReadString(section, key, defaultValue, outcome);
    FManager.NoteFailure(outcome);
    return value;
  }
  std::unique_ptr<TIniFile> ini = OpenIniFile();
  if (!ini) return defaultValue;
  std::wstring value = ini->ReadString(section, key, defaultValue);
  FManager.NoteIniOutcome(*ini, true);
  return value;
}

TSettingsOutcome TRegFiler::WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (section.empty() || key.empty()) return {};
  if (FManager.RegType() == rtReg) {
    if (std::unique_ptr<TRegistryStore> registry = OpenRegistry()) return registry->WriteString(section, key, value);
  } else if (std::unique_ptr<TIniFile> ini = OpenIniFile()) {
    TSettingsOutcome outcome = ini->WriteString(section, key, value);
    FManager.NoteIniOutcome(*ini, false);
    return outcome;
  }
  return {};
}

TSettingsOutcome TRegFiler::DeleteValue(const std::wstring& section, const std::wstring& key) {
  if (section.empty() || key.empty()) return {};
  if (FManager.RegType() == rtReg) {
    if (std::unique_ptr<TRegistryStore> registry = OpenRegistry()) registry->DeleteValue(section, key);
  } else if (std::unique_ptr<TIniFile> ini = OpenIniFile()) {
    TSettingsOutcome outcome = ini->DeleteKey(section, key);
    FManager.NoteIniOutcome(*ini, false);
    return outcome;
  }
  return {};
}

// --- TRegFiler: texts, integers, booleans --------------------------------------------------------

std::wstring TRegFiler::ReadString() {
  if (!FItem) return {};
  return ReadValue(FItem->Section, FItem->Ident, FItem->DefaultValue);
}

TSettingsOutcome TRegFiler::WriteString(const std::wstring& value) {
  if (!FItem) return {};
  return WriteValue(FItem->Section, FItem->Ident, value);
}

int32_t TRegFiler::ReadInteger() {
  if (!FItem) return 0;
  return TextToIntOrZero(ReadValue(FItem->Section, FItem->Ident, FItem->DefaultValue));
}

TSettingsOutcome TRegFiler::WriteInteger(int32_t value) {
  if (!FItem) return {};
  return WriteValue(FItem->Section, FItem->Ident, IntToText(value));
}

bool TRegFiler::ReadBool() {
  if (!FItem) return false;
  const std::wstring& d = FItem->DefaultValue;
  bool defaultTrue = SameText(d, L"1") || SameText(d, L"TRUE") || SameText(d, L"YES");
  int32_t value = TextToIntOrZero(ReadValue(FItem->Section, FItem->Ident, defaultTrue ? L"1" : L"0"));
  return (value & 0xFF) != 0;
}

TSettingsOutcome TRegFiler::WriteBool(bool value) {
  if (!FItem) return {};
  return WriteValue(FItem->Section, FItem->Ident, value ? L"1" : L"0");
}

// --- TRegFiler: fonts and string lists -----------------------------------------------------------

TSettingsOutcome TRegFiler::ReadFont(TRegFont& font) {
  if (!FItem) return {};
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  font.Name = ReadValue(section, ident + L"_FontName", font.Name);
  const int32_t points = comm::FontPoints(font.Height);
  if (const auto size = TextToInt(ReadValue(section, ident + L"_FontSize", IntToText(points))); size && *size != points)
    font.Height = comm::FontHeight(*size);
  std::wstring colorText = ReadValue(section, ident + L"_FontColor", ColorToText(font.Color));
  std::optional<TColor> color = TextToColor(colorText);
  if (!color) return TSettingsOutcome::Failed(L"'" + colorText + L"' は有効な整数値ではありません");
  font.Color = *color;
  font.Style = static_cast<uint32_t>(TextToIntOrZero(ReadValue(section, ident + L"_FontStyle", IntToText(static_cast<int32_t>(font.Style))))) &
               (fsBold | fsItalic | fsUnderline | fsStrikeOut);
  return {};
}

TSettingsOutcome TRegFiler::WriteFont(const TRegFont& font) {
  if (!FItem) return {};
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  // The first failure ends the write, as it leaves the file.
  if (TSettingsOutcome o = WriteValue(section, ident + L"_FontName", font.Name); !o) return o;
  if (TSettingsOutcome o = WriteValue(section, ident + L"_FontSize", IntToText(comm::FontPoints(font.Height))); !o) return o;
  if (TSettingsOutcome o = WriteValue(section, ident + L"_FontColor", ColorToText(font.Color)); !o) return o;
  return WriteValue(section, ident + L"_FontStyle", IntToText(static_cast<int32_t>(font.Style)));
}

void TRegFiler::ReadStrings(std::vector<std::wstring>& list) {
  if (!FItem) return;
  list.clear();
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  int32_t count = StoredCount(section, ident + L"_ItemCount");
  for (int32_t n = 0; n < count; ++n) list.push_back(ReadValue(section, ident + L"_Item" + IntToText(n), L""));
}

TSettingsOutcome TRegFiler::WriteStrings(const std::vector<std::wstring>& list) {
  if (!FItem) return {};
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  return WriteNumbered(section, ident + L"_ItemCount", ident + L"_Item", list);
}

int32_t TRegFiler::StoredCount(const std::wstring& section, const std::wstring& countKey) {
  int32_t count = TextToIntOrZero(ReadValue(section, countKey, L"0"));
  if (count <= 0 || section.empty() || countKey.empty()) return 0;
  size_t bound = 0;
  if (FManager.RegType() == rtReg) {
    if (std::unique_ptr<TRegistryStore> registry = OpenRegistry()) bound = registry->ValueCount(section);
  } else if (std::unique_ptr<TIniFile> ini = OpenIniFile()) {
    bound = ini->LineCount();
    FManager.NoteIniOutcome(*ini, true);
  }
  return static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(count), bound));
}

TSettingsOutcome TRegFiler::WriteNumbered(const std::wstring& section, const std::wstring& countKey, const std::wstring& prefix,
                                          const std::vector<std::wstring>& values) {
  int32_t count = static_cast<int32_t>(values.size());
  int32_t old = StoredCount(section, countKey);
  // The first failure ends the write, as it leaves the file.
  if (count < old) {
    for (int32_t n = old - 1; n >= count; --n)
      if (TSettingsOutcome o = DeleteValue(section, prefix + IntToText(n)); !o) return o;
    if (count == 0)
      if (TSettingsOutcome o = DeleteValue(section, countKey); !o) return o;
  }
  if (count > 0) {
    if (TSettingsOutcome o = WriteValue(section, countKey, IntToText(count)); !o) return o;
    for (int32_t n = 0; n < count; ++n)
      if (TSettingsOutcome o = WriteValue(section, prefix + IntToText(n), values[static_cast<size_t>(n)]); !o) return o;
  }
  return {};
}

// --- TRegFiler: byte streams and controls --------------------------------------------------------

void TRegFiler::ReadStream(TByteStream& stream) {
  if (!FItem || FItem->Section.empty() || FItem->Ident.empty()) return;
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  if (FManager.RegType() == rtReg) {
    std::unique_ptr<TRegistryStore> registry = OpenRegistry();
    std::vector<uint8_t> bytes;
    TSettingsOutcome outcome;
    if (registry && registry->ReadBinary(section, ident, bytes, outcome)) stream.Write(bytes);
    FManager.NoteFailure(outcome);
    return;
  }
  int32_t count = StoredCount(section, ident + L"_c");
  std::vector<uint8_t> bytes;
  for (int32_t n = 0; n < count; ++n) {
    std::vector<uint8_t> line = HexLineToBytes(ReadValue(section, ident + L"_d" + IntToText(n), L""));
    bytes.insert(bytes.end(), line.begin(), line.end());
  }
  stream.Write(bytes);
}

TSettingsOutcome TRegFiler::WriteStream(TByteStream& stream) {
  if (!FItem || FItem->Section.empty() || FItem->Ident.empty()) return {};
  const std::wstring& section = FItem->Section;
  const std::wstring& ident = FItem->Ident;
  stream.Position = 0;
  const std::vector<uint8_t> bytes = stream.Bytes;
  stream.Position = bytes.size();
  if (FManager.RegType() == rtReg) {
    if (std::unique_ptr<TRegistryStore> registry = OpenRegistry()) return registry->WriteBinary(section, ident, bytes);
    return {};
  }
  std::wstring hex = BytesToHex(bytes);
  std::vector<std::wstring> lines;
  for (size_t at = 0; at < hex.size(); at += kHexLineLength) lines.push_back(hex.substr(at, kHexLineLength));
  return WriteNumbered(section, ident + L"_c", ident + L"_d", lines);
}

void TRegFiler::ReadControl(TStreamableControl*& control) {
  if (!FItem || !control) return;
  TByteStream stream;
  ReadStream(stream);
  if (stream.Bytes.empty()) return;
  RebuildControl(control, stream.Bytes);
}

TSettingsOutcome TRegFiler::WriteComponent(const TStreamableControl* component) {
  if (!FItem || !component || component->IsForm()) return {};
  TByteStream stream;
  stream.Bytes = SaveControl(*component);
  return WriteStream(stream);
}

}  // namespace settings
