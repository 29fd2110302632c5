// The object factory: every class the game makes from a file or by name, in one table of rows
// (name, type id, constructor). The table is installed by the floor that knows all of them
// (installObjectTypes, in menus/object_types.h); the package readers and the menus read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>

class StoredObject;

struct ObjectType {
    // The class's name, which is also the `Type` a menu file names a widget by.
    const char* name;
    // Its type id (TypeId::none: made by name only, never from a package record).
    std::int32_t typeId;
    std::unique_ptr<StoredObject> (*construct)();
    // Whether a menu file may name it as the `Type` of a widget.
    bool menuWidget;
};

// Makes `count` rows from `first` on the table every lookup reads.
void setObjectTypes(const ObjectType* first, std::size_t count);
// The row of a type id (never of TypeId::none), or null.
const ObjectType* findObjectType(std::int32_t typeId);
// The first row a menu may name whose name equals `name` ignoring case, or null.
const ObjectType* findWidgetType(const std::string& name);
// Every row, in table order, to walk with objectTypeAt.
std::size_t objectTypeCount();
const ObjectType& objectTypeAt(std::size_t index);

// A new object of the class of `typeId`, not yet read; none for ids without a class.
std::unique_ptr<StoredObject> constructStoredObject(std::int32_t typeId);
// The same, which then reads its data from `in` (tag "map"). The object is returned even when
// its own reading failed.
std::unique_ptr<StoredObject> createStoredObject(std::int32_t typeId, std::istream& in);
