// What a settings operation met: success, or the text that tells the user what failed.
#pragma once
#include <string>

namespace settings {

// The settings show nothing and throw nothing: a failure comes back as this value, and the program
// shows its Message as the settings' error box.
struct TSettingsOutcome {
  bool Ok = true;
  std::wstring Message;  // empty when Ok

  static TSettingsOutcome Failed(std::wstring message) { return TSettingsOutcome{false, std::move(message)}; }
  explicit operator bool() const { return Ok; }
  // Keeps the first failure of several operations.
  TSettingsOutcome& operator&=(const TSettingsOutcome& next) {
    if (Ok && !next.Ok) *this = next;
    return *this;
  }
};

}  // namespace settings
