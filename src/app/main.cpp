// The viewer's entry: the SDL2 desktop backend, then the program itself.

#include "app/viewer.h"
#include "platform/sdl_platform.h"

int main() {
    SdlPlatform desktop;
    usePlatform(desktop);
    return runViewer();
}
