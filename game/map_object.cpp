#include "game/map_object.h"

#include <algorithm>

#include "render/stored_variable.h"
#include "resources/byte_reader.h"
#include "resources/byte_writer.h"
#include "resources/resource_lookup.h"

namespace {

// A 16-bit length, then that many bytes. A length that runs past the stream is refused before
// anything is allocated for it.
bool readText(ByteReader& reader, std::string& text) {
    std::uint16_t length = 0;
    if (!reader.u16(length) || !reader.holds(length)) {
        return false;
    }
    std::string read(length, '\0');
    if (!read.empty() && !reader.read(read.data(), read.size())) {
        return false;
    }
    text = std::move(read);
    return true;
}

// Texts longer than a 16-bit length can say are cut to what it can.
void writeText(ByteWriter& out, const std::string& text) {
    const std::size_t length = text.size() < 0xffff ? text.size() : 0xffff;
    out.u16(static_cast<std::uint16_t>(length));
    out.append(text.data(), length);
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
    ByteReader reader(in);
    for (std::int32_t* field : registry.ints) {
        if (!reader.i32(*field)) {
            return false;
        }
    }
    for (float* field : registry.floats) {
        if (!reader.f32(*field)) {
            return false;
        }
    }
    for (double* field : registry.doubles) {
        float narrow = 0.0f;
        if (!reader.f32(narrow)) {
            return false;
        }
        *field = narrow;
    }
    for (bool* field : registry.bools) {
        std::uint8_t byte = 0;
        if (!reader.u8(byte)) {
            return false;
        }
        *field = byte != 0;
    }
    for (std::string* field : registry.strings) {
        if (!readText(reader, *field)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < registry.references.size(); ++i) {
        std::string text;
        if (!readText(reader, text)) {
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
    ByteWriter out;
    for (const std::int32_t* field : registry.ints) {
        out.u32(static_cast<std::uint32_t>(*field));
    }
    for (const float* field : registry.floats) {
        out.f32(*field);
    }
    for (const double* field : registry.doubles) {
        out.f32(static_cast<float>(*field));
    }
    for (const bool* field : registry.bools) {
        out.u8(*field ? 1 : 0);
    }
    for (const std::string* field : registry.strings) {
        writeText(out, *field);
    }
    for (const ReferenceField& reference : registry.references) {
        const StoredObject* target = reference.get();
        writeText(out, target != nullptr ? target->referenceText() : std::string());
    }
    for (const StoredVariable* field : registry.storedVariables) {
        out.append(field->data(), field->size());
    }
    appendData(out.bytes.data(), out.bytes.size());
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
