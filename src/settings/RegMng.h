// The settings manager: named items stored in an INI file or the registry, read and written as text,
// integers, booleans, fonts, string lists, byte streams and controls.
#pragma once
#include "Base.h"
#include "comm/Color.h"
#include "settings/ControlStream.h"
#include "settings/IniFile.h"
#include "settings/RegistryStore.h"
#include "settings/SettingsOutcome.h"
#include "settings/ValueText.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

enum TRegType { rtReg = 0, rtIni = 1 };

class TRegManager;

// One item of the table: the caller's lookup name, where the value lives and what a read yields
// when it is not stored.
class TRegItem {
 public:
  TRegItem() = default;
  virtual ~TRegItem() = default;
  // Copies all four texts.
  virtual void Assign(const TRegItem& source);

  std::wstring Name;          // compared without regard to case
  std::wstring Section;       // INI section, or registry subkey below the manager's key
  std::wstring Ident;         // INI key or registry value name; the stem of derived keys
  std::wstring DefaultValue;
};

// The ordered item table. Items keep their addresses while they are in the table.
class TRegItems {
 public:
  explicit TRegItems(TRegManager* owner = nullptr) : FOwner(owner) {}
  virtual ~TRegItems() = default;
  TRegItems(const TRegItems&) = delete;
  TRegItems& operator=(const TRegItems&) = delete;

  // Appends an empty item, or one with the given texts.
  TRegItem& Add();
  TRegItem& Add(std::wstring name, std::wstring section, std::wstring ident, std::wstring defaultValue = {});
  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at a position from 0; std::out_of_range outside the table.
  virtual TRegItem& Items(int index) const;
  // Copies the texts of value onto the item at index.
  virtual void SetItems(int index, const TRegItem& value);
  // The first item, from position 0 up, whose name equals name by the user's locale ignoring case.
  virtual TRegItem* FindItem(std::wstring_view name) const;
  void Delete(int index);
  void Clear();
  // Makes this table a copy of source.
  void Assign(const TRegItems& source);

 private:
  TRegManager* FOwner;
  std::vector<std::unique_ptr<TRegItem>> FItems;
};

// A font as the settings store it: its size in points (comm::FontPoints of its height); the character
// set is carried along but not stored.
using comm::TFontStyle;
using enum comm::TFontStyle;
using TRegFont = comm::TFont;

// Bytes in memory with a position; writes go at the position, overwriting and extending.
struct TByteStream {
  std::vector<uint8_t> Bytes;
  size_t Position = 0;
  void Write(const std::vector<uint8_t>& data);
};

// Reads and writes the item it is bound to (by TRegManager::Filer). Every operation opens the store,
// does its work and closes it again. Without a bound item reads yield an empty text, 0 or false and
// everything else does nothing. Nothing is thrown and nothing shown: a write returns what it met, and a
// read that meets a failure yields its default and notes the failure with the manager (TakeFailure).
//
// Keys derived from the item's Ident I: a font is stored as I_FontName, I_FontSize (points),
// I_FontColor (colour name or "$" + 8 hex digits) and I_FontStyle (bold 1, italic 2, underline 4,
// strike-out 8); a string list as I_ItemCount and I_Item0, I_Item1, ...; a byte stream in an INI file
// as I_c (line count) and I_d0, I_d1, ... (up to 64 upper-case hex digits a line), in the registry
// as the REG_BINARY value I. A control is stored as a byte stream in the form of SaveControl.
class TRegFiler {
 public:
  explicit TRegFiler(TRegManager& manager) : FManager(manager) {}
  virtual ~TRegFiler() = default;
  TRegFiler(const TRegFiler&) = delete;
  TRegFiler& operator=(const TRegFiler&) = delete;

  virtual std::wstring ReadString();
  virtual TSettingsOutcome WriteString(const std::wstring& value);
  // The stored text as an integer (see TextToInt); 0 when it does not convert.
  virtual int32_t ReadInteger();
  virtual TSettingsOutcome WriteInteger(int32_t value);
  // True when the low 8 bits of the stored integer are not all 0. The default counts as true when it
  // is "1", "TRUE" or "YES" in any letter case; a stored "TRUE" is no integer and reads as false.
  virtual bool ReadBool();
  virtual TSettingsOutcome WriteBool(bool value);
  // The stored text, or defaultValue when it is missing, section or key is empty or the store cannot
  // be opened.
  virtual std::wstring ReadValue(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue);
  // Nothing when section or key is empty.
  virtual TSettingsOutcome WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  // Updates the font from the store, the font's own values serving as defaults. A stored colour that
  // is neither a colour name nor an integer is returned as a failure, the values after it unread.
  virtual TSettingsOutcome ReadFont(TRegFont& font);
  virtual TSettingsOutcome WriteFont(const TRegFont& font);
  // Replaces the list's entries with the stored ones.
  virtual void ReadStrings(std::vector<std::wstring>& list);
  // Stores the entries and removes the keys of entries stored before beyond the new count.
  virtual TSettingsOutcome WriteStrings(const std::vector<std::wstring>& list);
  // Writes the stored bytes into the stream at its position.
  virtual void ReadStream(TByteStream& stream);
  // Stores the whole stream from its first byte; the position ends after the last byte.
  virtual TSettingsOutcome WriteStream(TByteStream& stream);
  // Replaces control with the stored controls (see RebuildControl); nothing when none are stored.
  // A failed read keeps the old control with its names and is not reported.
  virtual void ReadControl(TStreamableControl*& control);
  // Stores the control with its properties and children; a form is not stored.
  virtual TSettingsOutcome WriteComponent(const TStreamableControl* component);

  // Removes a stored value; nothing when section or key is empty.
  TSettingsOutcome DeleteValue(const std::wstring& section, const std::wstring& key);
  // The back-end of the manager's RegType, or null (the failure noted) when the manager does not
  // name one (RegType another kind, or RegDir / IniFileName empty).
  std::unique_ptr<TRegistryStore> OpenRegistry();
  std::unique_ptr<TIniFile> OpenIniFile();

  TRegItem* Item() const { return FItem; }

 protected:
  TRegItem* FItem = nullptr;
  TRegManager& FManager;

 private:
  friend class TRegManager;
  // The number stored under countKey, bounded by what the store can hold (its lines or values), so
  // that a corrupt huge count cannot make a read or a write walk billions of keys.
  int32_t StoredCount(const std::wstring& section, const std::wstring& countKey);
  // Writes values under prefix + 0, 1, ... with their number under countKey, removing the keys of a
  // longer list written before (string lists and byte streams share this layout).
  TSettingsOutcome WriteNumbered(const std::wstring& section, const std::wstring& countKey, const std::wstring& prefix,
                     const std::vector<std::wstring>& values);
};

// Owns the item table and one filer. Filer(name) binds the filer to the named item and returns it;
// the usual call is one lookup followed by one operation: Filer(L"Left").ReadInteger().
class TRegManager {
 public:
  TRegManager() = default;
  virtual ~TRegManager() = default;
  TRegManager(const TRegManager&) = delete;
  TRegManager& operator=(const TRegManager&) = delete;

  const std::wstring& IniFileName() const { return FIniFileName; }
  void SetIniFileName(std::wstring fileName) { FIniFileName = std::move(fileName); }
  // Key path below HKEY_CURRENT_USER.
  const std::wstring& RegDir() const { return FRegDir; }
  void SetRegDir(std::wstring dir) { FRegDir = std::move(dir); }
  TRegItems& RegItems() { return FRegItems; }
  const TRegItems& RegItems() const { return FRegItems; }
  void SetRegItems(const TRegItems& items) { FRegItems.Assign(items); }
  TRegType RegType() const { return FRegType; }
  void SetRegType(TRegType type) { FRegType = type; }

  // The filer bound to the item of that name. An unknown name notes the failure
  // "[' name '] is invalid." and leaves the filer bound to no item.
  TRegFiler& Filer(std::wstring_view name);

  // True when a read since the last ResetReadFailure found the INI file there but could not read it
  // (another program held it, or it was refused): the values read then are defaults, not the file's.
  bool ReadFailed() const { return FReadFailed; }
  void ResetReadFailure() { FReadFailed = false; }

  // The failures noted since the last TakeFailure, oldest first: unknown names, a store that cannot
  // be made, reads the store refused. Writes return theirs instead.
  std::vector<std::wstring>& Failures() { return FFailures; }
  // The first noted failure (success when none), and the notes cleared.
  TSettingsOutcome TakeFailure();
  void NoteFailure(std::wstring text);
  void NoteFailure(const TSettingsOutcome& outcome);

 protected:
  // Makes the filer on first use (a constructor could not reach an override).
  virtual std::unique_ptr<TRegFiler> CreateFiler();

 private:
  friend class TRegItems;
  friend class TRegFiler;
  void ItemRemoved(const TRegItem* item);
  // How long the next INI operation waits for a program that holds the file: after one such wait
  // ran out, not at all for a few seconds, so that a file held for long costs one wait and not one
  // per value (loading and saving touch some forty values).
  DWORD HolderPatience() const;
  // Takes note of what an INI operation met.
  void NoteIniOutcome(const TIniFile& ini, bool wasRead);

  // Declared before the table: the table is freed first, then the filer.
  std::unique_ptr<TRegFiler> FFiler;
  TRegItems FRegItems{this};
  std::wstring FIniFileName;
  std::wstring FRegDir;
  TRegType FRegType = rtReg;
  bool FReadFailed = false;
  ULONGLONG FHolderOutwaitedAt = 0;  // tick count of the last wait that ran out; 0 for none
  std::vector<std::wstring> FFailures;
};


}  // namespace settings
