// Feeds arbitrary bytes to the mesh reader, then unifies, computes normals and saves; a saved
// mesh must read back with the same shape.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "render/polyhedron.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Polyhedron mesh;
    mesh.load(in, "smf");
    mesh.unifyIndices();
    mesh.computeNormals();
    if (!mesh.save()) {
        return 0;
    }
    const std::vector<std::uint8_t>& saved = mesh.data();
    std::istringstream again(std::string(saved.begin(), saved.end()));
    Polyhedron copy;
    if (!copy.load(again, "map") || copy.vertexCount() != mesh.vertexCount() ||
        copy.faceCount() != mesh.faceCount() || copy.normalCount() != mesh.normalCount()) {
        __builtin_trap();
    }
    return 0;
}
