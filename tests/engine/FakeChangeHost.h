// A scripted main window, target list and user for the change run: records what the run does.
#pragma once
#include "engine/ChangeRun.h"
#include <gtest/gtest.h>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace enginetest {

class FakeChangeHost : public engine::IChangeWindow, public engine::IChangeTargets, public engine::IChangeUser {
 public:
  engine::TChangeControls controls;
  engine::TDateParts parts{};
  engine::TTargetTimeRules rules;
  std::vector<std::wstring> paths;
  std::deque<engine::TAnswer> answers;   // given to the questions in order
  std::function<void(int pump)> onPump;  // runs inside ProcessMessages, pump = 0, 1, …
  bool throwInAsk = false;               // a question box that cannot be made

  std::vector<std::wstring> questions, informs, errors;
  std::vector<std::string> events;  // the window calls in order
  int pumps = 0;

  // IChangeWindow
  engine::TChangeControls Controls() const override { return controls; }
  engine::TDateParts DateParts() const override { return parts; }
  engine::TTargetTimeRules TargetTimeRules() const override { return rules; }
  void SetIdleState(bool idle) override { events.push_back(idle ? "idle" : "running"); }
  void ProcessMessages() override {
    events.push_back("pump");
    const int pump = pumps++;
    if (onPump) onPump(pump);
  }
  void SetBusyCursor(bool busy) override { events.push_back(busy ? "busy" : "arrow"); }
  void SetProgressRange(int min, int max) override {
    events.push_back("range " + std::to_string(min) + ".." + std::to_string(max));
  }
  void SetProgressPosition(int position) override { events.push_back("at " + std::to_string(position)); }
  void RequestClose() override { events.push_back("close"); }
  void BringToFront() override { events.push_back("front"); }

  // IChangeTargets
  int Count() const override { return static_cast<int>(paths.size()); }
  std::wstring Entry(int index) const override { return paths.at(static_cast<size_t>(index)); }

  // IChangeUser
  engine::TAnswer Ask(engine::TQuestion, const std::wstring& text) override {
    questions.push_back(text);
    events.push_back("ask");
    if (throwInAsk) throw std::runtime_error("no question box");
    if (answers.empty()) {
      ADD_FAILURE() << "a question nobody expected";
      return engine::TAnswer::Abort;
    }
    const engine::TAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void Inform(const std::wstring& text) override {
    informs.push_back(text);
    events.push_back("inform");
  }
  void ShowError(const std::wstring& text) override {
    errors.push_back(text);
    events.push_back("error");
  }
  std::deque<bool> confirmAnswers;  // given to the yes/no questions in order
  std::vector<std::wstring> confirms;
  bool Confirm(const std::wstring& text, bool) override {
    confirms.push_back(text);
    events.push_back("confirm");
    if (confirmAnswers.empty()) {
      ADD_FAILURE() << "a yes/no question nobody expected";
      return false;
    }
    const bool a = confirmAnswers.front();
    confirmAnswers.pop_front();
    return a;
  }
  std::vector<std::string> exceptions;  // what ReportException was told, as what() says
  void ReportException() override {
    events.push_back("exception");
    try {
      throw;
    } catch (const std::exception& e) {
      exceptions.push_back(e.what());
    } catch (...) {
      exceptions.push_back("?");
    }
  }

  // Stored date parts of one side.
  void SetParts(engine::TDateSide side, int y, int mo, int d, int h, int mi, int s) {
    parts[side] = {static_cast<uint16_t>(y), static_cast<uint16_t>(mo), static_cast<uint16_t>(d),
                   static_cast<uint16_t>(h), static_cast<uint16_t>(mi), static_cast<uint16_t>(s)};
  }
};

}  // namespace enginetest
