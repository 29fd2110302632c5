#include "game/map_object.h"

#include <algorithm>
#include <cstring>

#include "engine/resource_manager.h"
#include "render/stored_variable.h"

namespace {

bool readBytes(std::istream& in, void* target, std::size_t count) {
    in.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in.gcount()) == count && !in.fail();
}

std::uint32_t fromLittleEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool readU32(std::istream& in, std::uint32_t& value) {
    unsigned char bytes[4];
    if (!readBytes(in, bytes, sizeof bytes)) {
        return false;
    }
    value = fromLittleEndian(bytes);
    return true;
}

bool readFloat(std::istream& in, float& value) {
    std::uint32_t bits = 0;
    if (!readU32(in, bits)) {
        return false;
    }
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

// How many bytes the stream can still deliver; unknown streams are taken at their word.
std::size_t remainingBytes(std::istream& in, std::size_t wanted) {
    const std::istream::pos_type here = in.tellg();
    if (here == std::istream::pos_type(-1)) {
        return wanted;
    }
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    in.seekg(here);
    return end > here ? static_cast<std::size_t>(end - here) : 0;
}

// A 16-bit length, then that many bytes. A length that runs past the stream is refused before
// anything is allocated for it.
bool readText(std::istream& in, std::string& text) {
    unsigned char length[2];
    if (!readBytes(in, length, sizeof length)) {
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(length[0] | (length[1] << 8));
    if (remainingBytes(in, size) < size) {
        in.setstate(std::ios::failbit);
        return false;
    }
    std::string read(size, '\0');
    if (!read.empty() && !readBytes(in, read.data(), read.size())) {
        return false;
    }
    text = std::move(read);
    return true;
}

void appendU32(MapObject& object, std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value & 0xff),
                                    static_cast<unsigned char>((value >> 8) & 0xff),
                                    static_cast<unsigned char>((value >> 16) & 0xff),
                                    static_cast<unsigned char>((value >> 24) & 0xff)};
    object.appendData(bytes, sizeof bytes);
}

void appendFloat(MapObject& object, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    appendU32(object, bits);
}

// Texts longer than a 16-bit length can say are cut to what it can.
void appendText(MapObject& object, const std::string& text) {
    const std::size_t length = text.size() < 0xffff ? text.size() : 0xffff;
    const unsigned char bytes[2] = {static_cast<unsigned char>(length & 0xff),
                                    static_cast<unsigned char>(length >> 8)};
    object.appendData(bytes, sizeof bytes);
    object.appendData(text.data(), length);
}

}  // namespace

MapObject::MapObject() : propertyRegistry(std::make_unique<PropertyRegistry>()) {}

MapObject::~MapObject() = default;

void MapObject::registerInt(std::int32_t* field) {
    if (propertyRegistry) {
        propertyRegistry->ints.push_back(field);
    }
}

void MapObject::registerFloat(float* field) {
    if (propertyRegistry) {
        propertyRegistry->floats.push_back(field);
    }
}

void MapObject::registerBool(bool* field) {
    if (propertyRegistry) {
        propertyRegistry->bools.push_back(field);
    }
}

void MapObject::registerDouble(double* field) {
    if (propertyRegistry) {
        propertyRegistry->doubles.push_back(field);
    }
}

void MapObject::registerString(std::string* field) {
    if (propertyRegistry) {
        propertyRegistry->strings.push_back(field);
    }
}

void MapObject::registerStoredVariable(StoredVariable* field) {
    if (propertyRegistry) {
        propertyRegistry->storedVariables.push_back(field);
    }
}

void MapObject::registerReference(ReferenceField field) {
    if (propertyRegistry) {
        propertyRegistry->references.push_back(std::move(field));
    }
}

bool MapObject::load(std::istream& in, const std::string& extensionTag) {
    if (extensionTag != "map" || !propertyRegistry) {
        return false;
    }
    PropertyRegistry& registry = *propertyRegistry;
    for (std::int32_t* field : registry.ints) {
        std::uint32_t value = 0;
        if (!readU32(in, value)) {
            return false;
        }
        *field = static_cast<std::int32_t>(value);
    }
    for (float* field : registry.floats) {
        if (!readFloat(in, *field)) {
            return false;
        }
    }
    for (double* field : registry.doubles) {
        float narrow = 0.0f;
        if (!readFloat(in, narrow)) {
            return false;
        }
        *field = narrow;
    }
    for (bool* field : registry.bools) {
        char byte = 0;
        if (!readBytes(in, &byte, 1)) {
            return false;
        }
        *field = byte != 0;
    }
    for (std::string* field : registry.strings) {
        if (!readText(in, *field)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < registry.references.size(); ++i) {
        std::string text;
        if (!readText(in, text)) {
            return false;
        }
        registry.referenceTexts.push_back(std::move(text));
    }
    for (StoredVariable* field : registry.storedVariables) {
        if (!field->read(in)) {
            return false;
        }
    }
    return true;
}

bool MapObject::save() {
    clearData();
    if (!propertyRegistry) {
        return true;
    }
    const PropertyRegistry& registry = *propertyRegistry;
    for (const std::int32_t* field : registry.ints) {
        appendU32(*this, static_cast<std::uint32_t>(*field));
    }
    for (const float* field : registry.floats) {
        appendFloat(*this, *field);
    }
    for (const double* field : registry.doubles) {
        appendFloat(*this, static_cast<float>(*field));
    }
    for (const bool* field : registry.bools) {
        const unsigned char byte = *field ? 1 : 0;
        appendData(&byte, 1);
    }
    for (const std::string* field : registry.strings) {
        appendText(*this, *field);
    }
    for (const ReferenceField& reference : registry.references) {
        const StoredObject* target = reference.get();
        appendText(*this, target != nullptr ? target->referenceText() : std::string());
    }
    for (const StoredVariable* field : registry.storedVariables) {
        appendData(field->data(), field->size());
    }
    return true;
}

void MapObject::resolveReferences() {
    if (!propertyRegistry) {
        return;
    }
    PropertyRegistry& registry = *propertyRegistry;
    // Only references that were read are resolved: an object made in code keeps its own.
    const std::size_t count = std::min(registry.references.size(), registry.referenceTexts.size());
    for (std::size_t i = 0; i < count; ++i) {
        StoredObject* found = getResource(registry.referenceTexts[i]);
        const ReferenceField& field = registry.references[i];
        field.set(found != nullptr && field.accepts(*found) ? found : nullptr);
    }
}

void MapObject::releaseReferenceData() {
    if (propertyRegistry) {
        propertyRegistry->referenceTexts.clear();
        propertyRegistry->referenceTexts.shrink_to_fit();
    }
}
