#pragma once

#include "platform.h"

#include <optional>
#include <string>

// Asking the operating system to turn the computer off, by operating system family.
namespace poweroff {

// Reads "OS": "Windows_NT" goes through ShutDownNT with force; anything else asks straight away.
void PowerOffNow(Platform &platform, Platform::Done done);
// Enables the shutdown privilege on NT-family systems, then asks with or without force.
void ShutDownNT(Platform &platform, bool force, Platform::Done done);
bool IsWindowsNT(Platform &platform);
// Returns the system's words when the privilege could not be enabled.
std::optional<std::string> EnableShutdownPrivilege(Platform &platform);

} // namespace poweroff
