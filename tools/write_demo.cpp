// orvalis-write-demo <folder>: writes the demo scene into the folder (rewriting its files), ready
// for the viewer to be started in <folder>/world, <folder>/ground or <folder>/model.

#include <cstdio>

#include "demo/demo_scene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: orvalis-write-demo <folder>\n", stderr);
        return 2;
    }
    return writeDemoScene(argv[1]) ? 0 : 1;
}
