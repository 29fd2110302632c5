// A textured triangle mesh read from an ".smf" file or a mesh package. Files may keep separate
// index lists for positions, normals and texture coordinates; the mesh is converted so that each
// triangle corner uses one index into three parallel arrays, the form GL arrays and the static
// batch draw from. Normals are kept and saved, but drawing does not use them.
#pragma once

#include <cstdint>
#include <vector>

#include "render/tex_coord.h"
#include "render/vector.h"
#include "resources/stored_object.h"
#include "resources/type_ids.h"

class Rotation;
class Texture;

// One triangle: corner k is (vertex[k], normal[k], texCoord[k]).
struct Face {
    std::uint16_t vertex[3] = {0, 0, 0};
    std::uint16_t normal[3] = {0, 0, 0};
    std::uint16_t texCoord[3] = {0, 0, 0};
};

class Polyhedron : public StoredObject {
  public:
    static constexpr std::uint8_t separateIndices = 0;
    static constexpr std::uint8_t unifiedIndices = 1;

    // Starts empty, with the fallback texture "Hex.bmp".
    Polyhedron();
    // Deletes the display list, if it belongs to the current GL context.
    ~Polyhedron() override;

    // Reads the mesh format when the tag is exactly "smf" or "map".
    bool load(std::istream& in, const std::string& extensionTag) override;
    // Unifies the indices and writes the mesh in unified form, without texture reference.
    bool save() override;
    std::int32_t getTypeId() const override { return TypeId::polyhedron; }

    // Gives every distinct (vertex, normal, texture coordinate) triple its own index; afterwards
    // every face index is below vertexCount() and the three counts are equal.
    void unifyIndices();
    // Per-vertex normals averaged from the faces around each vertex.
    void computeNormals();
    // Compiles the mesh's display list (again, after the GL context was replaced). A list of
    // the current context is deleted first.
    void buildLists();
    // Calls the list; builds it first when the current GL context has none.
    void draw();
    // Draws the mesh moved to `position`, scaled by `scale` and turned by `rotation` (turned
    // first, moved last). Virtual, so that placing code needs no link to the drawing.
    virtual void drawPlaced(const Vector& position, const Vector& scale, const Rotation& rotation);

    // Replaces the whole mesh; for meshes made in code.
    void setMesh(std::vector<Vector> vertices, std::vector<Vector> normals,
                 std::vector<TexCoord> texCoords, std::vector<Face> faces);

    int vertexCount() const { return static_cast<int>(vertices_.size()); }
    int normalCount() const { return static_cast<int>(normals_.size()); }
    int texCoordCount() const { return static_cast<int>(texCoords_.size()); }
    int faceCount() const { return static_cast<int>(faces_.size()); }
    // Elements by index; an index outside the array gives zero.
    Vector vertex(int index) const;
    Vector normal(int index) const;
    TexCoord texCoord(int index) const;
    const std::vector<Face>& faces() const { return faces_; }

    // Face indices by face and corner; reads outside the faces give 0, writes there do nothing.
    std::uint16_t faceVertex(int face, int corner) const;
    std::uint16_t faceNormal(int face, int corner) const;
    std::uint16_t faceTexCoord(int face, int corner) const;
    void setFaceVertex(int face, int corner, std::uint16_t index);
    void setFaceNormal(int face, int corner, std::uint16_t index);
    void setFaceTexCoord(int face, int corner, std::uint16_t index);

    // Not owned: textures belong to the resource manager. Null draws untextured.
    Texture* texture() const { return texture_; }
    void setTexture(Texture* texture) { texture_ = texture; }

    unsigned list() const { return list_; }
    bool listBuilt() const { return listBuilt_; }

  private:
    void deleteList();
    bool readFaces(std::istream& in, std::uint8_t indexForm, std::size_t count);
    bool readTexture(std::istream& in, std::uint8_t textureFlag);
    bool cornersAlreadyUnified() const;
    const Face* faceAt(int face, int corner) const;
    Face* faceAt(int face, int corner);

    std::vector<Vector> vertices_;
    std::vector<Vector> normals_;
    std::vector<TexCoord> texCoords_;
    std::vector<Face> faces_;
    Texture* texture_ = nullptr;
    unsigned list_ = 0;  // a GL display list name
    bool listBuilt_ = false;
    // The GL context list_ belongs to (platform::currentGlContext).
    unsigned listContext_ = 0;
};
