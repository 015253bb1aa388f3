// The registry back-end of the settings: values in subkeys of HKEY_CURRENT_USER\<dir>.
#include "settings/RegistryStore.h"
#include <cstring>

namespace settings {

namespace {

TSettingsOutcome TypeError(const std::wstring& ident) { return TSettingsOutcome::Failed(L"'" + ident + L"' のデータ型が不正です"); }
TSettingsOutcome WriteError(const std::wstring& ident) { return TSettingsOutcome::Failed(L"'" + ident + L"' の設定に失敗しました"); }
TSettingsOutcome ReadError(const std::wstring& ident) { return TSettingsOutcome::Failed(L"'" + ident + L"' の取得に失敗しました"); }

// The value's type; false when it does not exist or cannot be queried (then outcome says so).
bool ValueType(HKEY key, const std::wstring& ident, DWORD& type, TSettingsOutcome& outcome) {
  LONG rc = RegQueryValueExW(key, ident.c_str(), nullptr, &type, nullptr, nullptr);
  if (rc == ERROR_FILE_NOT_FOUND) return false;
  if (rc != ERROR_SUCCESS) {
    outcome = ReadError(ident);
    return false;
  }
  return true;
}

// All the data of a value that exists; the value may grow between the size query and the read.
bool ValueData(HKEY key, const std::wstring& ident, std::vector<BYTE>& data, TSettingsOutcome& outcome) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExW(key, ident.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) break;
    data.resize(size);
    LONG rc = RegQueryValueExW(key, ident.c_str(), nullptr, nullptr, data.empty() ? nullptr : data.data(), &size);
    if (rc == ERROR_SUCCESS) {
      data.resize(size);
      return true;
    }
    if (rc != ERROR_MORE_DATA) break;
  }
  outcome = ReadError(ident);
  return false;
}

TSettingsOutcome SetValue(HKEY root, const std::wstring& section, const std::wstring& ident, DWORD type, const BYTE* data,
                          DWORD size) {
  if (!root) return WriteError(ident);
  comm::TRegKey key;
  if (RegCreateKeyExW(root, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                      key.Put(), nullptr) != ERROR_SUCCESS)
    return WriteError(ident);
  static const BYTE none = 0;
  if (RegSetValueExW(key.Get(), ident.c_str(), 0, type, size ? data : &none, size) != ERROR_SUCCESS) return WriteError(ident);
  return {};
}

}  // namespace

TRegistryStore::TRegistryStore(const std::wstring& dir) {
  if (RegCreateKeyExW(HKEY_CURRENT_USER, dir.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      FRoot.Put(), nullptr) != ERROR_SUCCESS)
    FRoot.Reset();
}

std::wstring TRegistryStore::ReadString(const std::wstring& section, const std::wstring& ident,
                                        const std::wstring& defaultValue, TSettingsOutcome& outcome) const {
  if (!FRoot) return defaultValue;
  comm::TRegKey key;
  if (RegOpenKeyExW(FRoot.Get(), section.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return defaultValue;
  DWORD type = 0;
  if (!ValueType(key.Get(), ident, type, outcome)) return defaultValue;
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    outcome = TypeError(ident);
    return defaultValue;
  }
  std::vector<BYTE> data;
  if (!ValueData(key.Get(), ident, data, outcome)) return defaultValue;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  // The stored size counts the terminating NUL, and a value set by hand may hold more after it.
  size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

TSettingsOutcome TRegistryStore::WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) {
  return SetValue(FRoot.Get(), section, ident, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void TRegistryStore::DeleteValue(const std::wstring& section, const std::wstring& ident) {
  if (!FRoot) return;
  comm::TRegKey key;
  if (RegOpenKeyExW(FRoot.Get(), section.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
  RegDeleteValueW(key.Get(), ident.c_str());
}

bool TRegistryStore::ReadBinary(const std::wstring& section, const std::wstring& ident, std::vector<uint8_t>& bytes,
                                TSettingsOutcome& outcome) {
  bytes.clear();
  if (!FRoot) return false;
  comm::TRegKey key;
  if (RegCreateKeyExW(FRoot.Get(), section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, key.Put(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  DWORD type = 0;
  if (!ValueType(key.Get(), ident, type, outcome)) return false;
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD) {
    outcome = TypeError(ident);
    return false;
  }
  std::vector<BYTE> data;
  if (!ValueData(key.Get(), ident, data, outcome)) return false;
  bytes.assign(data.begin(), data.end());
  return true;
}

TSettingsOutcome TRegistryStore::WriteBinary(const std::wstring& section, const std::wstring& ident,
                                              const std::vector<uint8_t>& bytes) {
  return SetValue(FRoot.Get(), section, ident, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

size_t TRegistryStore::ValueCount(const std::wstring& section) const {
  if (!FRoot) return 0;
  comm::TRegKey key;
  if (RegOpenKeyExW(FRoot.Get(), section.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return 0;
  return values;
}

}  // namespace settings
