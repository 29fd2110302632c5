#include "game/tile.h"

#include "render/polyhedron.h"
#include "resources/resource_lookup.h"

Tile::Tile(bool drawn) {
    registerInt(&colour);
    registerInt(&row);
    registerInt(&col);
    if (drawn && resourceLookup() != nullptr) {
        mesh = getMesh("Hex.smf");
        texture = getTexture("Hex.bmp");
        if (mesh != nullptr) {
            mesh->setTexture(texture);
        }
    }
}
