#pragma once
// What the tests run on: the headless host under the emulated Windows services, reached through the
// scripted double. The host is there to change what the display offers.

#include "platform/emulated_win32.h"
#include "platform/headless_host.h"
#include "scripted_platform.h"

// Made before the double that stands on it, and gone after it.
struct HeadlessServices {
    HeadlessHost host;
    EmulatedWin32 services{host};
};

class HeadlessTestPlatform : private HeadlessServices, public ScriptedPlatform {
  public:
    HeadlessTestPlatform() : ScriptedPlatform(services) {}
    using HeadlessServices::host;
};
