#pragma once
// The Windows backend: every operation is the Windows call it is named after, with the records of
// win32_types.h turned into their Windows counterparts and back.

#include <map>
#include <string>

#include "platform/platform.h"

class Win32Platform : public Platform {
  public:
    // Its windows keep its address, so it stays where it was made.
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    PLATFORM_OPERATIONS(PLATFORM_OVERRIDE)

    // The procedure that a class registered here was given; null for any other class.
    WindowProcedure classProcedure(const std::string& className) const;

  private:
    // Windows keeps one procedure for all our classes; this table keeps each class's own.
    std::map<std::string, WindowProcedure> classProcedures_;
};
