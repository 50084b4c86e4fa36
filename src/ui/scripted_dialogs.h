#pragma once
// Dialogs answered from a script: the headless program and the tests supply the
// file names a user would pick and read back every message shown.
#include <deque>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace fw::ui {

class ScriptedDialogs final : public Dialogs {
 public:
  // Answers for the next file dialogs, in order; an empty optional cancels.
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<FileDialogOptions> fileRequests;
  std::vector<std::string> messages;  // message boxes and errors, in order shown
  std::vector<std::string> errors;
  // The answer to "replace this take?": empty numbers the new take instead.
  std::optional<bool> replaceAnswer;

  std::optional<std::string> OpenFile(const FileDialogOptions& options) override { return Next(options); }
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override { return Next(options); }
  void MessageBox(const std::string& text, const std::string& caption) override {
    (void)caption;
    messages.push_back(text);
  }
  void ShowError(const std::string& text) override {
    errors.push_back(text);
    messages.push_back(text);
  }
  std::optional<bool> AskReplace(const std::string& path) override {
    (void)path;
    return replaceAnswer;
  }

 private:
  std::optional<std::string> Next(const FileDialogOptions& options) {
    fileRequests.push_back(options);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
};

}  // namespace fw::ui
