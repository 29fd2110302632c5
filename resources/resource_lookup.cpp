#include "resources/resource_lookup.h"

namespace {

ResourceLookup* liveLookup = nullptr;

}  // namespace

ResourceLookup* resourceLookup() {
    return liveLookup;
}

void setResourceLookup(ResourceLookup* lookup) {
    liveLookup = lookup;
}

StoredObject* getResource(const std::string& reference) {
    return liveLookup != nullptr ? liveLookup->getResource(reference) : nullptr;
}

Texture* getTexture(const std::string& name) {
    return liveLookup != nullptr ? liveLookup->getTexture(name) : nullptr;
}

Polyhedron* getMesh(const std::string& name) {
    return liveLookup != nullptr ? liveLookup->getMesh(name) : nullptr;
}

Texture* findTexture(const std::string& reference, bool& namesOther) {
    namesOther = false;
    return liveLookup != nullptr ? liveLookup->findTexture(reference, namesOther) : nullptr;
}
