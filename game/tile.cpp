#include "game/tile.h"

#include "engine/resource_manager.h"
#include "render/polyhedron.h"

Tile::Tile() {
    registerInt(&colour);
    registerInt(&row);
    registerInt(&col);
    if (ResourceManager* resources = resourceManager()) {
        mesh = resources->getMesh("Hex.smf");
        texture = resources->getTexture("Hex.bmp");
        if (mesh != nullptr) {
            mesh->setTexture(texture);
        }
    }
}
