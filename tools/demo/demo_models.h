#pragma once
// The demo's models, built from simple solids. In a model file "up" is -y (the viewer turns y
// over when it draws), so a model stands with its bottom at its largest y. Units are the ground's:
// a cell is 10 wide.

#include "formats/model_writer.h"

// A pine: a bark trunk (root) and a crown of three crossed needle pictures whose magenta
// surroundings the alpha test cuts away.
ModelFile pineModel();
// A boulder: one node of rock.
ModelFile boulderModel();
// A timber-framed house: plaster walls (root), a tiled roof, and lit windows blended onto the
// walls.
ModelFile houseModel();
// A windmill: a tower (root), its cap, and on the cap four lattice sails turned by key frames.
// `scale` scales the whole mill.
ModelFile windmillModel(float scale = 1);
// A glowing crystal cluster that spins about its upright axis: one node, blended.
ModelFile crystalModel();
