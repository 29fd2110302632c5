#include "render/static_batch.h"

#include <algorithm>

#include "platform/debug_log.h"
#include "render/matrix.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "render/vertex_arrays.h"
#include "resources/texture.h"

void StaticBatch::resetBatch() {
    vertices_.assign(static_cast<std::size_t>(maxVertices) * 3, 0.0f);
    texCoords_.assign(static_cast<std::size_t>(maxVertices) * 2, 0.0f);
    indices_.assign(static_cast<std::size_t>(maxTriangles) * 3, 0u);
    compacted_.assign(indices_.size(), 0u);
    entries_.assign(static_cast<std::size_t>(maxEntries), BatchEntry{});
    vertexCount_ = 0;
    triangleCount_ = 0;
    entryCount_ = 0;
    listValid = false;
    arraysLocked = false;
    batchDirty = true;
}

int StaticBatch::addToBatch(const Polyhedron& mesh, const Matrix& transform, int colour,
                            BatchOwner* owner) {
    if (entries_.empty()) {
        resetBatch();
    }
    if (vertexCount_ + mesh.vertexCount() > maxVertices) {
        logText("Too many vertices, cannot add more\n");
        return -1;
    }
    if (triangleCount_ + mesh.faceCount() > maxTriangles) {
        logText("Too many faces, cannot add more\n");
        return -1;
    }
    if (mesh.vertexCount() != mesh.texCoordCount()) {
        logText("Cannot use polyhedron, numVerts != numUVs\n");
        return -1;
    }
    if (entryCount_ == maxEntries) {
        logText("Too many entities, cannot add more\n");
        return -1;
    }
    // A face that points past the mesh's vertices would draw from another entry's geometry.
    for (const Face& face : mesh.faces()) {
        for (std::uint16_t index : face.vertex) {
            if (index >= mesh.vertexCount()) {
                logText("Cannot use polyhedron, a face index lies outside its vertices\n");
                return -1;
            }
        }
    }

    BatchEntry& added = entries_[static_cast<std::size_t>(entryCount_)];
    added.colour = colour;
    added.mesh = &mesh;
    added.texture = mesh.texture() != nullptr ? mesh.texture()->glName() : 0;
    added.firstVertex = vertexCount_;
    added.firstTriangle = triangleCount_;
    added.owner = owner;
    ++entryCount_;

    for (int i = 0; i < mesh.vertexCount(); ++i) {
        const Vector placed = transform.transformPoint(mesh.vertex(i));
        const std::size_t at = static_cast<std::size_t>(vertexCount_ + i);
        vertices_[at * 3] = placed.x;
        vertices_[at * 3 + 1] = placed.y;
        vertices_[at * 3 + 2] = placed.z;
        const TexCoord uv = mesh.texCoord(i);
        texCoords_[at * 2] = uv.u;
        texCoords_[at * 2 + 1] = uv.v;
    }
    std::size_t next = static_cast<std::size_t>(triangleCount_) * 3;
    for (const Face& face : mesh.faces()) {
        for (std::uint16_t index : face.vertex) {
            indices_[next++] = static_cast<GLuint>(added.firstVertex + index);
        }
    }
    vertexCount_ += mesh.vertexCount();
    triangleCount_ += mesh.faceCount();
    return entryCount_ - 1;
}

void StaticBatch::setEntryColour(int index, int colour) {
    if (index < 0 || index >= entryCount_) {
        return;
    }
    entries_[static_cast<std::size_t>(index)].colour = colour;
    batchDirty = true;
}

void StaticBatch::rebuildBatch() {
    if (!batchDirty) {
        return;
    }
    if (entries_.empty()) {
        resetBatch();
    }
    if (listValid) {
        glDeleteLists(displayList, 1);
    } else {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    displayList = glGenLists(1);
    listValid = true;
    if (arraysLocked && glUnlockArraysEXT != nullptr) {
        glUnlockArraysEXT();
    }
    arraysLocked = false;
    batchDirty = false;

    // Group texture binds, then colours. Only the entries in use take part: unused ones carry
    // the all-bits-set texture, which as a signed number would sort before every real one.
    std::sort(entries_.begin(), entries_.begin() + entryCount_,
              [](const BatchEntry& a, const BatchEntry& b) {
                  const auto textureA = static_cast<std::int32_t>(a.texture);
                  const auto textureB = static_cast<std::int32_t>(b.texture);
                  if (textureA != textureB) {
                      return textureA < textureB;
                  }
                  return a.colour < b.colour;
              });

    // Both index arrays keep their full capacity, so rebuilding allocates nothing and entries
    // added after a rebuild still fit.
    const std::size_t expected = static_cast<std::size_t>(triangleCount_) * 3;
    std::vector<GLuint>& compacted = compacted_;
    std::size_t written = 0;
    for (int i = 0; i < entryCount_; ++i) {
        BatchEntry& entry = entries_[static_cast<std::size_t>(i)];
        const std::size_t count = static_cast<std::size_t>(entry.mesh->faceCount()) * 3;
        const std::size_t from = static_cast<std::size_t>(entry.firstTriangle) * 3;
        entry.firstTriangle = static_cast<std::int32_t>(written / 3);
        if (written + count <= expected && from + count <= indices_.size()) {
            std::copy(indices_.begin() + static_cast<std::ptrdiff_t>(from),
                      indices_.begin() + static_cast<std::ptrdiff_t>(from + count),
                      compacted.begin() + static_cast<std::ptrdiff_t>(written));
            written += count;
        }
        if (entry.owner != nullptr) {
            entry.owner->setBatchIndex(i);
        }
    }
    if (written != expected) {
        logText("Error: duplication of faces copied ");
        logInt(static_cast<int>(written));
        logText(" indices, it should have copied ");
        logInt(static_cast<int>(expected));
        logText(" indices.\n");
    }
    indices_.swap(compacted);

    if (!arraysLocked) {
        glVertexPointer(3, GL_FLOAT, 0, vertices_.data());
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords_.data());
        if (glLockArraysEXT != nullptr) {
            glLockArraysEXT(0, vertexCount_);
            arraysLocked = true;
        }
    }
    glNewList(displayList, GL_COMPILE);
    drawBatch();
    glEndList();
}

void StaticBatch::drawBatch() const {
    for (int i = 0; i < entryCount_; ++i) {
        const BatchEntry& entry = entries_[static_cast<std::size_t>(i)];
        glBindTexture(GL_TEXTURE_2D, entry.texture);
        glColor4fv(playerColour(entry.colour));
        glDrawElements(GL_TRIANGLES, entry.mesh->faceCount() * 3, GL_UNSIGNED_INT,
                       indices_.data() + static_cast<std::size_t>(entry.firstTriangle) * 3);
    }
}

void StaticBatch::release() {
    if (listValid) {
        glDeleteLists(displayList, 1);
        listValid = false;
    }
    if (arraysLocked && glUnlockArraysEXT != nullptr) {
        glUnlockArraysEXT();
    }
    arraysLocked = false;
    // The GL arrays point into the vectors freed below.
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    std::vector<GLfloat>().swap(vertices_);
    std::vector<GLfloat>().swap(texCoords_);
    std::vector<GLuint>().swap(indices_);
    std::vector<GLuint>().swap(compacted_);
    std::vector<BatchEntry>().swap(entries_);
    vertexCount_ = 0;
    triangleCount_ = 0;
    entryCount_ = 0;
}
