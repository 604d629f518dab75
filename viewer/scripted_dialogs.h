// Test helper: answers the viewer's dialogs from scripts and records what the viewer showed,
// so no test waits on a modal dialog. A dialog the script did not foresee fails the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "viewer/dialogs.h"

namespace viewer::test {

class ScriptedDialogs final : public ViewerDialogs {
 public:
  bool askYesNo(const std::string& question) override {
    questions.push_back(question);
    return next(answers, false);
  }
  std::optional<std::string> chooseSnapshot() override { return next(snapshots, std::optional<std::string>()); }
  std::optional<std::string> choosePicture() override { return next(pictures, std::optional<std::string>()); }
  bool editData(DataDialogValues& values, const Scene&) override {
    ++dataDialogs;
    shownValues = values;
    return editor && editor(values);
  }
  void tellError(const std::string& message) override {
    EXPECT_FALSE(busyOpen) << "an error told behind the busy window";
    errors.push_back(message);
  }
  void showBusy(const std::string& text) override {
    EXPECT_FALSE(busyOpen) << "a second busy window";
    busyOpen = true;
    busyTexts.push_back(text);
  }
  void closeBusy() override {
    EXPECT_TRUE(busyOpen);
    busyOpen = false;
  }

  std::deque<bool> answers;
  std::deque<std::optional<std::string>> snapshots;
  std::deque<std::optional<std::string>> pictures;
  std::function<bool(DataDialogValues&)> editor;
  std::vector<std::string> questions;
  std::vector<std::string> busyTexts;
  std::vector<std::string> errors;
  DataDialogValues shownValues;
  int dataDialogs = 0;
  bool busyOpen = false;

 private:
  template <class T>
  static T next(std::deque<T>& script, T none) {
    if (script.empty()) {
      ADD_FAILURE() << "a dialog the test did not expect";
      return none;
    }
    T value = script.front();
    script.pop_front();
    return value;
  }
};

}  // namespace viewer::test
