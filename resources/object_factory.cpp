#include "resources/object_factory.h"

#include "platform/platform.h"
#include "resources/stored_object.h"
#include "resources/type_ids.h"

namespace {

const ObjectType* tableFirst = nullptr;
std::size_t tableCount = 0;

}  // namespace

void setObjectTypes(const ObjectType* first, std::size_t count) {
    tableFirst = first;
    tableCount = first != nullptr ? count : 0;
}

std::size_t objectTypeCount() {
    return tableCount;
}

const ObjectType& objectTypeAt(std::size_t index) {
    return tableFirst[index];
}

const ObjectType* findObjectType(std::int32_t typeId) {
    for (std::size_t i = 0; i < tableCount && typeId != TypeId::none; ++i) {
        if (tableFirst[i].typeId == typeId) {
            return &tableFirst[i];
        }
    }
    return nullptr;
}

const ObjectType* findWidgetType(const std::string& name) {
    for (std::size_t i = 0; i < tableCount; ++i) {
        if (tableFirst[i].menuWidget &&
            platform::namesEqualIgnoringCase(name, tableFirst[i].name)) {
            return &tableFirst[i];
        }
    }
    return nullptr;
}

std::unique_ptr<StoredObject> constructStoredObject(std::int32_t typeId) {
    const ObjectType* type = findObjectType(typeId);
    return type != nullptr ? type->construct() : nullptr;
}

std::unique_ptr<StoredObject> createStoredObject(std::int32_t typeId, std::istream& in) {
    std::unique_ptr<StoredObject> object = constructStoredObject(typeId);
    // The object is kept even when its own reading fails (a track never reads from a stream).
    if (object) {
        object->load(in, "map");
    }
    return object;
}
