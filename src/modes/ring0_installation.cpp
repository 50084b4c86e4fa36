#include "modes/ring0_installation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/kernel_services.h"
#include "audio/legacy/driver_codes.h"
#include "files/io_error.h"
#include "modes/maker.h"
#include "modes/mode_host.h"

namespace fw {
namespace {

std::ofstream Create(const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw IoError::AccessDenied();
  return file;
}

void Finish(std::ofstream& file) {
  file.close();
  if (file.fail()) throw IoError::Other(101);  // disk write error
}

}  // namespace

InstallationCheck CheckRealtimeInstallation(ModeHost& host, const KernelServices& kernel) {
  namespace fs = std::filesystem;
  const std::string system = kernel.SystemDirectory().substr(0, 255);
  std::error_code error;
  const fs::path tivra = system + "/tivra.vxd";
  if (!fs::is_regular_file(tivra, error) || fs::file_size(tivra, error) != 20274) {
    host.ShowMessage(std::string("Uncomplete installation (sxd?), download new version: ") + kMakerAddress +
                     "/download");
  }
  if (!fs::exists(system + "/mokel.vxd", error)) {
    host.ShowMessage("Uncomplete installation, see help!");
    return InstallationCheck::Incomplete;
  }
  const std::string windows = kernel.WindowsDirectory().substr(0, 255);
  const std::string iniPath = windows + "/system.ini";
  std::ifstream ini(iniPath, std::ios::binary);
  if (!ini) throw IoError::FileNotFound();
  std::ofstream old = Create(windows + "/system.old");
  std::ofstream fresh = Create(windows + "/system.new");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(ini, line)) {
    if (line.rfind(legacy::kDriverLine, 0) == 0) {
      Finish(old);
      Finish(fresh);
      return InstallationCheck::Found;
    }
    lines.push_back(line);
  }
  if (ini.bad()) throw IoError::Other(100);  // disk read error
  std::vector<std::string> updated;
  for (const std::string& text : lines) {
    old << text << '\n';
    fresh << text << '\n';
    updated.push_back(text);
    if (text.find("[386Enh]") != std::string::npos) {
      fresh << legacy::kDriverLine << '\n';
      updated.emplace_back(legacy::kDriverLine);
    }
  }
  Finish(old);
  Finish(fresh);
  // "system.ini" is replaced by a copy written beside it and renamed over it.
  const std::string temporary = iniPath + ".tmp";
  {
    std::ofstream out = Create(temporary);
    for (const std::string& text : updated) out << text << '\n';
    Finish(out);
  }
  fs::rename(temporary, iniPath, error);
  if (error) {
    fs::remove(temporary, error);
    throw IoError::AccessDenied();
  }
  host.ShowMessage("Realtime is enabled!\n\rNow, close all applications and restart Windows!");
  return InstallationCheck::Added;
}

}  // namespace fw
