// The program's exception type: a message for the user, in UTF-16. Below the windows, so that units
// without windows can raise it too.
#pragma once
#include <stdexcept>
#include <string>

namespace comm {

class TUserError : public std::runtime_error {
 public:
  explicit TUserError(std::wstring message) : std::runtime_error("ui::Error"), FMessage(std::move(message)) {}
  const std::wstring& Message() const noexcept { return FMessage; }

 private:
  std::wstring FMessage;
};

}  // namespace comm
