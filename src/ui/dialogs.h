#pragma once
// File dialogs, message boxes and the application's error display. The window
// shows real dialogs; headless runs and tests answer them from a script.
#include <optional>
#include <string>

namespace fw::ui {

struct FileDialogOptions {
  std::string title;
  std::string filter;  // "description|pattern|..."
  std::string initialDir;
  std::string defaultExt;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // nullopt when the user cancels.
  virtual std::optional<std::string> OpenFile(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogOptions& options) = 0;
  // A modal message box with the system's fixed text.
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
  // The application's standard error display (for example "File not found").
  virtual void ShowError(const std::string& text) = 0;
  // A take's typed name names an existing file: true replaces it, false keeps it
  // (the take does not start). nullopt where nobody is asked (the command line):
  // the take then gets a free numbered name.
  virtual std::optional<bool> AskReplace(const std::string& path) {
    (void)path;
    return std::nullopt;
  }
};

}  // namespace fw::ui
