// The static geometry batch: the many unchanging meshes of a board (its tiles), transformed once
// when they are added, stored in shared arrays allocated once at full size, ordered by texture
// and colour, and compiled into one display list that each frame draws with one call. Changing an
// entry's colour (a tile changing owner) marks the batch dirty; it is compiled again before the
// next frame.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "render/batch_owner.h"

class Matrix;
class Polyhedron;

struct BatchEntry {
    std::int32_t colour = 0;
    const Polyhedron* mesh = nullptr;
    GLuint texture = 0xffffffffu;
    std::int32_t firstVertex = -1;
    std::int32_t firstTriangle = -1;
    BatchOwner* owner = nullptr;
};

class StaticBatch {
  public:
    static constexpr int maxVertices = 262144;
    static constexpr int maxTriangles = 524288;
    static constexpr int maxEntries = 16384;

    StaticBatch() = default;
    StaticBatch(const StaticBatch&) = delete;
    StaticBatch& operator=(const StaticBatch&) = delete;
    ~StaticBatch() = default;

    // Allocates the empty batch at full capacity; it starts dirty.
    void resetBatch();
    // Adds a mesh instance placed by `transform`; its index, or -1 when it does not fit.
    int addToBatch(const Polyhedron& mesh, const Matrix& transform, int colour, BatchOwner* owner);
    // For an index of 0 or more: that entry's colour, and the batch is dirty.
    void setEntryColour(int index, int colour);
    // Compiles the display list again if the batch is dirty.
    void rebuildBatch();
    // The draw calls of every entry; used while compiling the list.
    void drawBatch() const;
    // Deletes the list and unlocks the arrays (GL objects of the current context), then frees the
    // arrays. resetBatch makes it usable again.
    void release();

    int vertexCount() const { return vertexCount_; }
    int triangleCount() const { return triangleCount_; }
    int entryCount() const { return entryCount_; }
    const BatchEntry& entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    const std::vector<GLuint>& indices() const { return indices_; }
    const std::vector<GLfloat>& vertices() const { return vertices_; }

    bool arraysLocked = false;
    GLuint displayList = 0;
    bool listValid = false;
    bool batchDirty = true;

  private:
    std::vector<GLfloat> vertices_;
    std::vector<GLfloat> texCoords_;
    std::vector<GLuint> indices_;
    std::vector<GLuint> compacted_;  // the rebuild's second index array, swapped with indices_
    std::vector<BatchEntry> entries_;
    int vertexCount_ = 0;
    int triangleCount_ = 0;
    int entryCount_ = 0;
};
