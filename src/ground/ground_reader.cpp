#include "ground/ground.h"

bool Ground::readGround(const char*, const char*) {
    return false;
}
void Ground::drawGround() const {}
