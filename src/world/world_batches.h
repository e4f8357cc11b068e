#pragma once
// The batched drawing of a world: the ground's arrays and each distinct model's. It draws what
// drawWorld draws, in its order: the ground, then each placement whose model loaded, in file
// order. A placement that lies wholly outside the view, or wholly beyond where the fog leaves
// only its colour, sends nothing; its model's animation still steps as its draw would step it, so
// every later placement shows the phase it shows in the immediate drawing.

#include <vector>

#include "ground/ground_batches.h"
#include "model/model_batches.h"
#include "world/world.h"

class WorldBatches {
  public:
    // The arrays of `world` as it is now; its texture names belong to the current context.
    void build(const World& world);
    // Draws `world`, whose arrays these are, as World::drawWorld does.
    void draw(World& world) const;

    const GroundBatches& ground() const { return ground_; }

  private:
    GroundBatches ground_;
    std::vector<ModelBatches> models_;  // per model of the world
};
