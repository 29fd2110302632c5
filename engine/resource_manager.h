// Turns resource and map file names into loaded objects and keeps them until the next screen
// change. It owns the current screen. Which screen class a map file holds, and where the file
// lies, follow from the file name alone.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/map.h"

class InputHandler;

class ResourceManager {
  public:
    ResourceManager() = default;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;
    ~ResourceManager();

    // Constructs the screen object for a map file and makes it the current map.
    void createMap(const std::string& fileName);
    // Loads the current map from its file and sets it up; on failure the map is dropped.
    bool loadMap(const std::string& fileName);
    // Drops every cached resource that lives per screen, and the current map.
    void unloadAll();

    Map* currentMap() const { return currentMap_.get(); }
    // Makes `map` the current screen, as createMap does; the old one is deleted.
    void setCurrentMap(std::unique_ptr<Map> map);

    // Not owned; handed to every map that is loaded.
    InputHandler* input = nullptr;

    // When set, asked first for the screen object of a file name; a null answer falls back to
    // the classes chosen by extension. Lets a test stand its own screens in for files.
    std::function<std::unique_ptr<Map>(const std::string& fileName)> screenFactory;

  private:
    std::unique_ptr<Map> currentMap_;
};
