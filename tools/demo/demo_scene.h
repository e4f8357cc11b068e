#pragma once
// The demo scene: a valley world with a few hundred placed models, the same valley as a ground of
// its own, and a windmill as a model of its own. Written into a folder as
//   GameData/data/...           the data root: ground, world, models and textures
//   world/orvalis.arg           the valley world
//   ground/orvalis.arg          the valley ground alone
//   model/orvalis.arg           the windmill alone
// Each orvalis.arg names the data root relatively ("..\GameData"), and every name inside the data
// files uses backslashes and another letter case than the file on disk. One model the world
// places is missing on purpose, so the world's model log shows a 0 for it.

#include <string>

// Writes (or rewrites) every file of the scene; false, after saying which, when one fails.
bool writeDemoScene(const std::string& folder);
