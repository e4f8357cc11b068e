#include "model/model.h"

bool Model::load(const char*, const char*) {
    return false;
}
void Model::draw(float, float, float, float, float, float, float, float, float) {}
