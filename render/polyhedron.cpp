#include "render/polyhedron.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "platform/debug_log.h"
#include "platform/gl_lookup.h"
#include "render/rotation.h"
#include "render/vertex_arrays.h"
#include "resources/byte_reader.h"
#include "resources/byte_writer.h"
#include "resources/resource_lookup.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

namespace {

constexpr const char* fallbackTextureName = "Hex.bmp";
constexpr std::size_t vectorBytes = 12;
constexpr std::size_t texCoordBytes = 8;
constexpr std::size_t unifiedFaceBytes = 6;
constexpr std::size_t separateFaceBytes = 18;
void writeVector(ByteWriter& out, const Vector& v) {
    out.f32(v.x);
    out.f32(v.y);
    out.f32(v.z);
}

bool readVectors(ByteReader& reader, std::size_t count, std::vector<Vector>& into) {
    std::vector<std::uint8_t> bytes;
    if (!reader.readBytes(bytes, count * vectorBytes)) {
        return false;
    }
    into.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = bytes.data() + i * vectorBytes;
        into.emplace_back(loadF32(record), loadF32(record + 4), loadF32(record + 8));
    }
    return true;
}

bool readTexCoords(ByteReader& reader, std::size_t count, std::vector<TexCoord>& into) {
    std::vector<std::uint8_t> bytes;
    if (!reader.readBytes(bytes, count * texCoordBytes)) {
        return false;
    }
    into.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = bytes.data() + i * texCoordBytes;
        into.emplace_back(loadF32(record), loadF32(record + 4));
    }
    return true;
}

void logInvalidIndex(const char* what, std::uint16_t index) {
    logText(what);
    logInt(index);
    logText("\n");
}

// Copies element `index` of `from`, or logs it as invalid and gives a zero element.
template <typename T>
T elementOrZero(const std::vector<T>& from, std::uint16_t index, const char* message) {
    if (index < from.size()) {
        return from[index];
    }
    logInvalidIndex(message, index);
    return T();
}

}  // namespace

Polyhedron::Polyhedron() : texture_(getTexture(fallbackTextureName)) {}

Polyhedron::~Polyhedron() {
    deleteList();
}

void Polyhedron::deleteList() {
    // A list of an earlier context went with it; its number may name another list now.
    if (listBuilt_ && listContext_ == platform::currentGlContext()) {
        glDeleteLists(list_, 1);
    }
    list_ = 0;
    listBuilt_ = false;
    listContext_ = 0;
}

bool Polyhedron::load(std::istream& in, const std::string& extensionTag) {
    if (extensionTag != "smf" && extensionTag != "map") {
        return false;
    }
    vertices_.clear();
    normals_.clear();
    texCoords_.clear();
    faces_.clear();

    ByteReader reader(in);
    std::vector<std::uint8_t> header;
    if (!reader.readBytes(header, 4) || std::memcmp(header.data(), "smf", 3) != 0) {
        return false;
    }
    if (!reader.readBytes(header, 10)) {
        return false;
    }
    const std::uint8_t indexForm = header[0];
    const std::uint8_t textureFlag = header[1];
    if (indexForm > unifiedIndices) {
        return false;
    }
    const std::uint16_t vertexCount = loadU16(&header[2]);
    const std::uint16_t normalCount = loadU16(&header[4]);
    const std::uint16_t faceCount = loadU16(&header[6]);
    const std::uint16_t texCoordCount = loadU16(&header[8]);

    if (!readVectors(reader, vertexCount, vertices_) ||
        !readVectors(reader, normalCount, normals_) ||
        !readTexCoords(reader, texCoordCount, texCoords_)) {
        return false;
    }
    if (indexForm == unifiedIndices &&
        (texCoordCount != vertexCount || vertexCount != normalCount)) {
        logText("file properties set to same Vertex, UV and ");
        logText("normal Indices but different size arrays ");
        logText("stored in file; ");
        logInt(vertexCount);
        logText(" vertices, ");
        logInt(normalCount);
        logText(" normals, ");
        logInt(texCoordCount);
        logText(" UVs\n");
        return false;
    }
    if (!readFaces(in, indexForm, faceCount)) {
        return false;
    }
    if (indexForm == separateIndices) {
        unifyIndices();
    }
    return readTexture(in, textureFlag);
}

bool Polyhedron::readFaces(std::istream& in, std::uint8_t indexForm, std::size_t count) {
    const std::size_t recordSize =
        indexForm == unifiedIndices ? unifiedFaceBytes : separateFaceBytes;
    std::vector<std::uint8_t> bytes;
    if (!ByteReader(in).readBytes(bytes, count * recordSize)) {
        return false;
    }
    faces_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = bytes.data() + i * recordSize;
        Face& face = faces_[i];
        for (int k = 0; k < 3; ++k) {
            if (indexForm == unifiedIndices) {
                const std::uint16_t index = loadU16(record + 2 * k);
                face.vertex[k] = face.normal[k] = face.texCoord[k] = index;
            } else {
                face.vertex[k] = loadU16(record + 2 * k);
                face.normal[k] = loadU16(record + 6 + 2 * k);
                face.texCoord[k] = loadU16(record + 12 + 2 * k);
            }
        }
    }
    return true;
}

bool Polyhedron::readTexture(std::istream& in, std::uint8_t textureFlag) {
    if (textureFlag == 0) {
        texture_ = getTexture(fallbackTextureName);
        return true;
    }
    ByteReader reader(in);
    std::uint16_t length = 0;
    if (!reader.u16(length)) {
        return false;
    }
    if (length == 0) {
        texture_ = getTexture(fallbackTextureName);
        return true;
    }
    std::vector<std::uint8_t> bytes;
    if (!reader.readBytes(bytes, length)) {
        return false;
    }
    const std::string reference(bytes.begin(), bytes.end());
    // Only a texture can be bound; nothing else is loaded for it, so a mesh naming a mesh (or
    // itself) cannot lead into loading meshes without end.
    bool namesOther = false;
    texture_ = findTexture(reference, namesOther);
    if (namesOther) {
        logText("Texture reference '");
        logString(reference);
        logText("' of a mesh does not name a texture\n");
    }
    return true;
}

bool Polyhedron::save() {
    unifyIndices();
    const std::size_t limit = 0xFFFF;
    if (vertices_.size() > limit || normals_.size() > limit || texCoords_.size() > limit ||
        faces_.size() > limit) {
        logText("Cannot save mesh ");
        logString(name());
        logText(": more than 65535 elements in one array\n");
        return false;
    }
    // Unified form: one array length for all three. Only a mesh without faces can still have
    // differing lengths here; its extra elements are unused, its missing ones are zero.
    const std::size_t count = vertices_.size();
    ByteWriter out;
    out.bytes.reserve(14 + 32 * count + 6 * faces_.size());
    out.append("smf", 4);
    out.u8(unifiedIndices);
    out.u8(0);
    out.u16(static_cast<std::uint16_t>(count));
    out.u16(static_cast<std::uint16_t>(count));
    out.u16(static_cast<std::uint16_t>(faces_.size()));
    out.u16(static_cast<std::uint16_t>(count));
    for (const Vector& v : vertices_) {
        writeVector(out, v);
    }
    for (std::size_t i = 0; i < count; ++i) {
        writeVector(out, normal(static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < count; ++i) {
        const TexCoord t = texCoord(static_cast<int>(i));
        out.f32(t.u);
        out.f32(t.v);
    }
    for (const Face& face : faces_) {
        for (int k = 0; k < 3; ++k) {
            out.u16(face.vertex[k]);
        }
    }
    clearData();
    appendData(out.bytes.data(), out.bytes.size());
    return true;
}

bool Polyhedron::cornersAlreadyUnified() const {
    const std::size_t count = vertices_.size();
    if (normals_.size() != count || texCoords_.size() != count) {
        return false;
    }
    for (const Face& face : faces_) {
        for (int k = 0; k < 3; ++k) {
            if (face.vertex[k] != face.normal[k] || face.vertex[k] != face.texCoord[k] ||
                face.vertex[k] >= count) {
                return false;
            }
        }
    }
    return true;
}

void Polyhedron::unifyIndices() {
    if (faces_.empty() || cornersAlreadyUnified()) {
        return;
    }
    struct Corner {
        std::uint16_t vertex;
        std::uint16_t normal;
        std::uint16_t texCoord;
        std::uint32_t number;  // face × 3 + corner
        auto triple() const { return std::make_tuple(vertex, normal, texCoord); }
    };
    std::vector<Corner> corners;
    corners.reserve(faces_.size() * 3);
    for (std::size_t f = 0; f < faces_.size(); ++f) {
        for (int k = 0; k < 3; ++k) {
            const Face& face = faces_[f];
            corners.push_back(Corner{face.vertex[k], face.normal[k], face.texCoord[k],
                                     static_cast<std::uint32_t>(f * 3 + k)});
        }
    }
    std::sort(corners.begin(), corners.end(),
              [](const Corner& a, const Corner& b) { return a.triple() < b.triple(); });

    std::size_t distinct = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (i == 0 || corners[i].triple() != corners[i - 1].triple()) {
            ++distinct;
        }
    }
    // Indices are 16 bits and the file counts too: a mesh with more distinct corners cannot be
    // held at all.
    if (distinct > 0xFFFF) {
        logText("Mesh ");
        logString(name());
        logText(" has too many distinct corners to unify; it is left empty\n");
        vertices_.clear();
        normals_.clear();
        texCoords_.clear();
        faces_.clear();
        return;
    }

    std::vector<Vector> vertices;
    std::vector<Vector> normals;
    std::vector<TexCoord> texCoords;
    vertices.reserve(distinct);
    normals.reserve(distinct);
    texCoords.reserve(distinct);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Corner& corner = corners[i];
        if (i == 0 || corner.triple() != corners[i - 1].triple()) {
            vertices.push_back(elementOrZero(vertices_, corner.vertex, "invalid Vertex index "));
            normals.push_back(elementOrZero(normals_, corner.normal, "invalid normal index "));
            texCoords.push_back(elementOrZero(texCoords_, corner.texCoord, "invalid UV index "));
        }
        const auto unified = static_cast<std::uint16_t>(vertices.size() - 1);
        Face& face = faces_[corner.number / 3];
        const std::uint32_t k = corner.number % 3;
        face.vertex[k] = face.normal[k] = face.texCoord[k] = unified;
    }
    vertices_ = std::move(vertices);
    normals_ = std::move(normals);
    texCoords_ = std::move(texCoords);
}

void Polyhedron::computeNormals() {
    const std::size_t count = vertices_.size();
    std::vector<Vector> sums(count);
    for (Face& face : faces_) {
        Vector faceNormal;
        if (face.vertex[0] < count && face.vertex[1] < count && face.vertex[2] < count) {
            const Vector& p0 = vertices_[face.vertex[0]];
            const Vector& p1 = vertices_[face.vertex[1]];
            const Vector& p2 = vertices_[face.vertex[2]];
            faceNormal = (p1 - p0).cross(p2 - p1);
            faceNormal.normalise();
        }
        for (int k = 0; k < 3; ++k) {
            face.normal[k] = face.vertex[k];
            const std::uint16_t index = face.vertex[k];
            // A face that names one vertex twice still counts once for it.
            const bool seen =
                (k > 0 && face.vertex[0] == index) || (k > 1 && face.vertex[1] == index);
            if (index < count && !seen) {
                sums[index] += faceNormal;
            }
        }
    }
    for (Vector& sum : sums) {
        sum.normalise();
    }
    normals_ = std::move(sums);
}

void Polyhedron::buildLists() {
    if (normals_.empty()) {
        computeNormals();
    }
    unifyIndices();

    const std::size_t count = vertices_.size();
    std::vector<GLushort> indices;
    indices.reserve(faces_.size() * 3);
    for (const Face& face : faces_) {
        // Unified faces always lie inside the arrays; this keeps GL from reading outside them
        // whatever happened before.
        if (face.vertex[0] < count && face.vertex[1] < count && face.vertex[2] < count) {
            indices.insert(indices.end(), face.vertex, face.vertex + 3);
        }
    }

    // Without a window there is nothing to compile into; the mesh stays usable for the batch.
    if (!platform::haveGlContext()) {
        return;
    }
    deleteList();
    list_ = glGenLists(1);
    listBuilt_ = true;
    listContext_ = platform::currentGlContext();

    std::vector<GLfloat> positions;
    std::vector<GLfloat> coords;
    positions.reserve(count * 3);
    coords.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        positions.insert(positions.end(), {vertices_[i].x, vertices_[i].y, vertices_[i].z});
        const TexCoord t = texCoord(static_cast<int>(i));
        coords.insert(coords.end(), {t.u, t.v});
    }
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
    const bool lock = glLockArraysEXT != nullptr && count > 0;
    if (lock) {
        glLockArraysEXT(0, static_cast<GLsizei>(count));
    }

    glNewList(list_, GL_COMPILE);
    // Without a texture the mesh is drawn with the default texture object, which holds no
    // image, so only the current colour shows.
    glBindTexture(GL_TEXTURE_2D, texture_ != nullptr ? texture_->glName() : 0);
    for (std::size_t i = 0; i < indices.size(); i += 3) {
        glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_SHORT, indices.data() + i);
    }
    glEndList();

    if (lock && glUnlockArraysEXT != nullptr) {
        glUnlockArraysEXT();
    }
    // The temporaries go away now: leave GL no pointers into them.
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
}

void Polyhedron::drawPlaced(const Vector& position, const Vector& scale, const Rotation& rotation) {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glScalef(scale.x, scale.y, scale.z);
    rotation.applyToGL();
    draw();
    glPopMatrix();
}

void Polyhedron::draw() {
    if (!listBuilt_ || listContext_ != platform::currentGlContext()) {
        buildLists();
    }
    if (listBuilt_) {
        glCallList(list_);
    }
}

void Polyhedron::setMesh(std::vector<Vector> vertices, std::vector<Vector> normals,
                         std::vector<TexCoord> texCoords, std::vector<Face> faces) {
    vertices_ = std::move(vertices);
    normals_ = std::move(normals);
    texCoords_ = std::move(texCoords);
    faces_ = std::move(faces);
}

Vector Polyhedron::vertex(int index) const {
    return index >= 0 && index < vertexCount() ? vertices_[static_cast<std::size_t>(index)]
                                               : Vector();
}

Vector Polyhedron::normal(int index) const {
    return index >= 0 && index < normalCount() ? normals_[static_cast<std::size_t>(index)]
                                               : Vector();
}

TexCoord Polyhedron::texCoord(int index) const {
    return index >= 0 && index < texCoordCount() ? texCoords_[static_cast<std::size_t>(index)]
                                                 : TexCoord();
}

const Face* Polyhedron::faceAt(int face, int corner) const {
    if (face < 0 || face >= faceCount() || corner < 0 || corner > 2) {
        return nullptr;
    }
    return &faces_[static_cast<std::size_t>(face)];
}

Face* Polyhedron::faceAt(int face, int corner) {
    return const_cast<Face*>(static_cast<const Polyhedron*>(this)->faceAt(face, corner));
}

std::uint16_t Polyhedron::faceVertex(int face, int corner) const {
    const Face* f = faceAt(face, corner);
    return f != nullptr ? f->vertex[corner] : 0;
}

std::uint16_t Polyhedron::faceNormal(int face, int corner) const {
    const Face* f = faceAt(face, corner);
    return f != nullptr ? f->normal[corner] : 0;
}

std::uint16_t Polyhedron::faceTexCoord(int face, int corner) const {
    const Face* f = faceAt(face, corner);
    return f != nullptr ? f->texCoord[corner] : 0;
}

void Polyhedron::setFaceVertex(int face, int corner, std::uint16_t index) {
    if (Face* f = faceAt(face, corner)) {
        f->vertex[corner] = index;
    }
}

void Polyhedron::setFaceNormal(int face, int corner, std::uint16_t index) {
    if (Face* f = faceAt(face, corner)) {
        f->normal[corner] = index;
    }
}

void Polyhedron::setFaceTexCoord(int face, int corner, std::uint16_t index) {
    if (Face* f = faceAt(face, corner)) {
        f->texCoord[corner] = index;
    }
}
