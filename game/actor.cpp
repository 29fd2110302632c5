#include "game/actor.h"

#include "render/polyhedron.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

Actor::Actor() {
    registerReference(ReferenceField{
        [this] { return static_cast<StoredObject*>(mesh); },
        [this](StoredObject* found) { mesh = static_cast<Polyhedron*>(found); },
        [](const StoredObject& found) { return found.getTypeId() == TypeId::polyhedron; }});
    registerReference(ReferenceField{
        [this] { return static_cast<StoredObject*>(texture); },
        [this](StoredObject* found) { texture = static_cast<Texture*>(found); },
        [](const StoredObject& found) { return found.getTypeId() == TypeId::texture; }});
    registerStoredVariable(&position);
    registerStoredVariable(&rotation);
    registerStoredVariable(&scale);
    registerFloat(&uniformScale);
}

void Actor::draw() {
    if (hidden || !drawMesh || mesh == nullptr) {
        return;
    }
    mesh->drawPlaced(position, scale * uniformScale, rotation);
}
