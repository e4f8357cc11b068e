#include "world/world_batches.h"

#include <algorithm>
#include <cmath>

#include "view/frustum.h"

void WorldBatches::build(const World& world) {
    ground_.build(world.ground);
    models_.assign(world.models.size(), ModelBatches());
    for (std::size_t k = 0; k < world.models.size(); ++k) {
        if (k < world.loaded.size() && world.loaded[k] != 0) {
            models_[k].build(world.models[k]);
        }
    }
}

void WorldBatches::draw(World& world) const {
    const ClientArrays arrays;
    const FrameWindow window = FrameWindow::ofCurrentState();
    glPushMatrix();
    ground_.drawWithin(arrays, world.ground);
    Frustum frustum;
    frustum.extractFrustum();  // in the frame the placements are drawn in
    const FogLimit fog = FogLimit::ofCurrentState();
    for (const ModelInstance& instance : world.instances) {
        const auto k = static_cast<std::size_t>(instance.modelIndex);
        if (k >= models_.size() || world.loaded[k] == 0) {
            continue;
        }
        const ModelBatches& batches = models_[k];
        Model& model = world.models[k];
        const Vector3 centre{instance.position.x, -instance.position.y, instance.position.z};
        const Vector3& scale = instance.scale;
        const float radius =
            std::max({std::fabs(scale.x), std::fabs(scale.y), std::fabs(scale.z)}) *
            batches.reach();
        const bool bounded = std::isfinite(radius) && std::isfinite(centre.x) &&
                             std::isfinite(centre.y) && std::isfinite(centre.z);
        if (bounded && (!frustum.cubeInFrustum(centre.x, centre.y, centre.z, radius) ||
                        fog.beyond(centre, radius))) {
            batches.stepClocks(model);
            continue;
        }
        glPushMatrix();
        batches.drawWithin(arrays, window, model, instance.position.x, instance.position.y,
                           instance.position.z, instance.angles.x, instance.angles.y,
                           instance.angles.z, scale.x, scale.y, scale.z);
        glPopMatrix();
    }
    glPopMatrix();
}
