// The one table of every class the object factory can make: resources, board cells and every
// widget, each a row (name, type id, constructor). A new widget is its class and one row here.
#pragma once

// Hands the table to the object factory (resources/object_factory.h). The engine, the tools and
// the tests call it once before anything is read from a package or a menu file.
void installObjectTypes();
