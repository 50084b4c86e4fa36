#pragma once
// The platform services a window needs, handed to TForm1 by the program entry
// (real devices), fretwerk-cli (virtual devices) or a test (doubles).
namespace fw {

class OutputLibrary;
class SystemServices;
class Shell;
namespace ui {
class Dialogs;
}

struct Platform {
  OutputLibrary* output = nullptr;
  ui::Dialogs* dialogs = nullptr;
  SystemServices* system = nullptr;
  Shell* shell = nullptr;
};

}  // namespace fw
