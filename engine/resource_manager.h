// Turns resource and map file names into loaded objects and keeps them until the next screen
// change. It owns the current screen. Which screen class a map file holds, and where the file
// lies, follow from the file name alone.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <vector>

#include "resources/map.h"
#include "resources/resource_lookup.h"

class AudioTrack;
class InputHandler;
class ScreenHost;
class Polyhedron;
class StaticMeshPackage;
class Texture;
class TexturePackage;

class ResourceManager : public ResourceLookup {
  public:
    // The fallback texture, standing in for every texture that cannot be loaded.
    static constexpr const char* fallbackTexture = "Hex.bmp";

    // The newest manager becomes the live one that getResource uses.
    ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;
    ~ResourceManager() override;

    // Resolves a reference text: "" none; ">name" an object of the current screen;
    // "package.txp>name" or "package.smp>name" an object in a package; otherwise a file, by
    // extension: smf mesh; bmp, tga, txf texture; anything else a sound.
    StoredObject* getResource(const std::string& reference) override;
    Texture* getTexture(const std::string& name) override;
    Polyhedron* getMesh(const std::string& name) override;
    AudioTrack* getSound(const std::string& name) override;
    Texture* findTexture(const std::string& reference, bool& namesOther) override;
    StoredObject* getPackageTexture(const std::string& packageName, const std::string& objectName);
    StoredObject* getPackageMesh(const std::string& packageName, const std::string& objectName);
    // After the GL context was replaced: new GL names for the cached textures, new lists for
    // the cached meshes, those inside cached packages included. Meshes compile their texture's
    // name into their list, so textures come first.
    void reloadTextures();
    void refreshMeshes();

    // Constructs the screen object for a map file and makes it the current map.
    void createMap(const std::string& fileName);
    // Loads the current map from its file and sets it up; on failure the map is dropped.
    bool loadMap(const std::string& fileName);
    // Deletes the current map, then every cached package, texture and mesh; sounds stay.
    void unloadAll();

    Map* currentMap() const { return currentMap_.get(); }
    // Makes `map` the current screen, as createMap does; the old one is deleted.
    void setCurrentMap(std::unique_ptr<Map> map);

    // Not owned; handed to every map that is loaded.
    InputHandler* input = nullptr;
    ScreenHost* host = nullptr;

    // When set, asked first for the screen object of a file name; a null answer falls back to
    // the classes chosen by extension. Lets a test stand its own screens in for files.
    std::function<std::unique_ptr<Map>(const std::string& fileName)> screenFactory;

    const std::vector<std::unique_ptr<Texture>>& textures() const { return textures_; }
    const std::vector<std::unique_ptr<Polyhedron>>& meshes() const { return meshes_; }
    const std::vector<std::unique_ptr<AudioTrack>>& sounds() const { return sounds_; }
    const std::vector<std::unique_ptr<TexturePackage>>& texturePackages() const {
        return texturePackages_;
    }
    const std::vector<std::unique_ptr<StaticMeshPackage>>& meshPackages() const {
        return meshPackages_;
    }

  private:
    std::vector<std::unique_ptr<TexturePackage>> texturePackages_;
    std::vector<std::unique_ptr<StaticMeshPackage>> meshPackages_;
    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::unique_ptr<Polyhedron>> meshes_;
    std::vector<std::unique_ptr<AudioTrack>> sounds_;
    // Sounds that could not be read: not tried again in this run.
    std::vector<std::string> failedSounds_;
    std::unique_ptr<Map> currentMap_;
};

// The live resource manager, or null before one exists.
ResourceManager* resourceManager();
