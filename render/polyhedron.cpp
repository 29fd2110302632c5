#include "render/polyhedron.h"

// Stand-in until meshes are written.
bool Polyhedron::load(std::istream&, const std::string&) {
    return false;
}
bool Polyhedron::save() {
    return false;
}
void Polyhedron::buildLists() {}
