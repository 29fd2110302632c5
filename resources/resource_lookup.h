// What the floors below the engine ask of the resource manager: loaded resources by reference
// text or by name. The engine's resource manager answers, once it exists; before that (and in
// the tools and tests that run without one) every lookup gives none.
#pragma once

#include <string>

class AudioTrack;
class Polyhedron;
class StoredObject;
class Texture;

class ResourceLookup {
  public:
    virtual ~ResourceLookup() = default;

    // A reference text: "" none; ">name" an object of the current screen; "package.txp>name"
    // or "package.smp>name" an object in a package; otherwise a file, by extension.
    virtual StoredObject* getResource(const std::string& reference) = 0;
    virtual Texture* getTexture(const std::string& name) = 0;
    virtual Polyhedron* getMesh(const std::string& name) = 0;
    virtual AudioTrack* getSound(const std::string& name) = 0;
    // A reference text that should name a texture, resolved without loading anything else: a
    // reference whose form names a mesh or a sound gives none with `namesOther` set, and so does
    // an object of the current screen that is not a texture.
    virtual Texture* findTexture(const std::string& reference, bool& namesOther) = 0;
};

// The live lookup, or null while there is none.
ResourceLookup* resourceLookup();
// Makes `lookup` the live one (null: none); the resource manager registers itself.
void setResourceLookup(ResourceLookup* lookup);

// The lookups of the live one; none while there is none.
StoredObject* getResource(const std::string& reference);
Texture* getTexture(const std::string& name);
Polyhedron* getMesh(const std::string& name);
Texture* findTexture(const std::string& reference, bool& namesOther);
