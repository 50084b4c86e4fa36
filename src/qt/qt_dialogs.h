#pragma once
// Real dialogs: Qt file dialogs with the system's titles and filters, modal message
// boxes and the application's error display.
#include <QString>

#include "ui/dialogs.h"

class QWidget;

namespace fw::qt {

// "description|pattern|description|pattern" as Qt's "description (pattern);;...".
QString QtFilter(const std::string& filter);

class QtDialogs final : public ui::Dialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> OpenFile(const ui::FileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const ui::FileDialogOptions& options) override;
  void MessageBox(const std::string& text, const std::string& caption) override;
  void ShowError(const std::string& text) override;
  // A typed take name that exists: Yes replaces the file, No keeps it.
  std::optional<bool> AskReplace(const std::string& path) override;

  // File dialogs belong to the system, not to the program's windows: the main
  // window's activation and deactivation do not run for them.
  bool FileDialogOpen() const { return fileDialogDepth_ > 0; }
  // The text of the last message box: the reason a fatal error ended the program.
  const std::string& LastMessage() const { return lastMessage_; }

 private:
  std::optional<std::string> Ask(const ui::FileDialogOptions& options, bool save);
  void ReturnToParent();

  QWidget* parent_ = nullptr;
  int fileDialogDepth_ = 0;
  std::string lastMessage_;
};

}  // namespace fw::qt
