// A map object with a mesh, a texture and a placement (position, rotation, scale) that knows how
// to draw itself. Tiles and emitters are actors.
#pragma once

#include "game/map_object.h"
#include "render/rotation.h"
#include "render/vector.h"
#include "resources/type_ids.h"

class Polyhedron;
class Texture;

class Actor : public MapObject {
  public:
    Actor();

    std::int32_t getTypeId() const override { return TypeId::actor; }
    bool isActor() const override { return true; }
    // Draws the mesh at the actor's placement; the caller sets the colour.
    virtual void draw();
    virtual bool actorFlag() const { return true; }

    void setPosition(const Vector& newPosition) { position = newPosition; }
    void setTexture(Texture* newTexture) { texture = newTexture; }

    Polyhedron* mesh = nullptr;  // not owned
    Texture* texture = nullptr;  // not owned
    Vector position;
    Rotation rotation;
    Vector scale{1.0f, 1.0f, 1.0f};
    float uniformScale = 1.0f;
    bool hidden = false;
    bool drawMesh = true;
};
