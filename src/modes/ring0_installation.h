#pragma once
// The installation check of ring-0 mode: the realtime drivers in the system
// directory and the driver line "device=mokel.vxd" under "[386Enh]" in "system.ini".
#include <string>

namespace fw {

class ModeHost;
class KernelServices;

enum class InstallationCheck { Found, Added, Incomplete };

// Checked file steps throw IoError; messages go to the host.
InstallationCheck CheckRealtimeInstallation(ModeHost& host, const KernelServices& kernel);

}  // namespace fw
