#include "platform/gl.h"
#include "world/world.h"

// Placements are neither sorted nor culled: the depth test resolves overlaps. All placements of a
// model share its animation clocks, so each draw moves that model's animation on by one step.
void World::drawWorld() {
    glPushMatrix();
    ground.drawGround();
    for (const ModelInstance& instance : instances) {
        glPushMatrix();
        const auto k = static_cast<std::size_t>(instance.modelIndex);
        if (loaded[k] != 0) {
            models[k].draw(instance.position.x, instance.position.y, instance.position.z,
                           instance.angles.x, instance.angles.y, instance.angles.z,
                           instance.scale.x, instance.scale.y, instance.scale.z);
        }
        glPopMatrix();
    }
    glPopMatrix();
}
