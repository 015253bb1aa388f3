// The program's exception type: a message for the user, in UTF-16.
#pragma once
#include <stdexcept>
#include <string>

namespace ui {

class Error : public std::runtime_error {
 public:
  explicit Error(std::wstring message) : std::runtime_error("ui::Error"), FMessage(std::move(message)) {}
  const std::wstring& Message() const noexcept { return FMessage; }

 private:
  std::wstring FMessage;
};

}  // namespace ui
