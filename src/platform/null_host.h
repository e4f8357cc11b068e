#pragma once
// The smallest host there can be, and the template of a new one: every verb of HOST_VERBS with the
// simplest behaviour its contract in host.h allows. No surface can be made, so no window either; no
// event comes, no key is held, the pointer cannot be read, and every message box answers as Esc
// would. Copy it to src/platform/<name>_host.{h,cpp} and fill in each verb as its comment says.

#include <chrono>

#include "platform/host.h"

class NullHost : public Host {
  public:
    HOST_VERBS(HOST_OVERRIDE)

  private:
    // What milliseconds() counts from.
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
