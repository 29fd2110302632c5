// Everything placed on a screen: tiles, emitters and widgets. A MapObject serialises itself
// generically: each class registers its persistent fields, base class first, in a property
// registry when it is constructed, and load and save walk the registry kind by kind. Fields that
// name a resource (a mesh, a texture) are stored as reference texts and resolved once the whole
// screen has been read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/stored_object.h"

class StoredVariable;

// A field that points to a resource. `accepts` says whether a found resource has the right class:
// a mesh field must never end up holding a texture.
struct ReferenceField {
    std::function<StoredObject*()> get;
    std::function<void(StoredObject*)> set;
    std::function<bool(const StoredObject&)> accepts;
};

struct PropertyRegistry {
    std::vector<std::int32_t*> ints;
    std::vector<float*> floats;
    std::vector<bool*> bools;
    std::vector<double*> doubles;
    std::vector<std::string*> strings;
    std::vector<StoredVariable*> storedVariables;
    std::vector<ReferenceField> references;
    std::vector<std::string> referenceTexts;  // filled by load, used by resolveReferences
};

class MapObject : public StoredObject {
  public:
    MapObject();
    ~MapObject() override;

    bool load(std::istream& in, const std::string& extensionTag) override;
    bool save() override;
    bool isMapObject() const override { return true; }

    // Registration, called by constructors for their persistent fields.
    void registerInt(std::int32_t* field);
    void registerFloat(float* field);
    void registerBool(bool* field);
    void registerDouble(double* field);
    void registerString(std::string* field);
    void registerStoredVariable(StoredVariable* field);
    void registerReference(ReferenceField field);

    // Looks up every reference text read by load (no resource manager: none).
    void resolveReferences();
    // Forgets the reference texts once they have been resolved.
    void releaseReferenceData();
    // Drops the registry of an object that will never be read or written.
    void releaseRegistry() { propertyRegistry.reset(); }

    std::unique_ptr<PropertyRegistry> propertyRegistry;
};
