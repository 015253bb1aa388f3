// The registry back-end of the settings: values in subkeys of HKEY_CURRENT_USER\<dir>.
#pragma once
#include "Base.h"
#include "comm/Scoped.h"
#include "settings/SettingsOutcome.h"
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace settings {

// HKEY_CURRENT_USER\<dir>, opened with full access and created if missing. A section is a subkey of
// it and an ident a value in that subkey. Failures are returned as outcomes with the value name:
// "'%s' のデータ型が不正です" (wrong type), "'%s' の設定に失敗しました" (write refused),
// "'%s' の取得に失敗しました" (read refused after the value was found).
class TRegistryStore {
 public:
  explicit TRegistryStore(const std::wstring& dir);

  // The text of a REG_SZ or REG_EXPAND_SZ value (up to its first NUL), or defaultValue when the
  // subkey or the value is missing, or when the value cannot be read (then outcome says why).
  std::wstring ReadString(const std::wstring& section, const std::wstring& ident, const std::wstring& defaultValue,
                          TSettingsOutcome& outcome) const;
  // Stores a REG_SZ value, creating the subkey when needed.
  TSettingsOutcome WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
  // Removes the value; a missing subkey or value is no error.
  void DeleteValue(const std::wstring& section, const std::wstring& ident);
  // The bytes of the value (any type but text and REG_DWORD); false when it is missing. The subkey is
  // created if missing. A value that cannot be read gives false and outcome says why.
  bool ReadBinary(const std::wstring& section, const std::wstring& ident, std::vector<uint8_t>& bytes,
                  TSettingsOutcome& outcome);
  // Stores a REG_BINARY value, creating the subkey when needed.
  TSettingsOutcome WriteBinary(const std::wstring& section, const std::wstring& ident, const std::vector<uint8_t>& bytes);
  // The number of values in the subkey (0 when it is missing): no list stored there has more entries.
  size_t ValueCount(const std::wstring& section) const;

 private:
  comm::TRegKey FRoot;  // null when HKEY_CURRENT_USER\<dir> could not be opened or created
};

}  // namespace settings
