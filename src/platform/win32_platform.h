#pragma once
// The Windows backend: every operation is the Windows call it is named after, with the records of
// win32_types.h turned into their Windows counterparts and back.

#include "platform/platform.h"

class Win32Platform : public Platform {
  public:
    PLATFORM_OPERATIONS(PLATFORM_OVERRIDE)
};
