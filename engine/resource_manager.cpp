#include "engine/resource_manager.h"

#include <type_traits>

#include "engine/input_handler.h"
#include "game/map_object.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"
#include "resources/static_mesh_package.h"
#include "resources/texture.h"
#include "resources/texture_package.h"
#include "resources/type_ids.h"

using platform::namesEqualIgnoringCase;

namespace {

ResourceManager* liveManager = nullptr;

// Placed objects resolve the resource references they read once their screen is loaded, and
// then drop the text they kept for it. Every class from type id 8 on is a map object.
void resolveReferencesOf(StoredObject& mapObject) {
    if (mapObject.isMapObject()) {
        static_cast<MapObject&>(mapObject).resolveReferences();
    }
}

void releaseReferenceDataOf(StoredObject& mapObject) {
    if (mapObject.isMapObject()) {
        static_cast<MapObject&>(mapObject).releaseReferenceData();
    }
}

// The first cached object whose name matches ignoring case.
template <typename T>
T* findByName(const std::vector<std::unique_ptr<T>>& list, const std::string& name) {
    for (const std::unique_ptr<T>& item : list) {
        if (namesEqualIgnoringCase(item->name(), name)) {
            return item.get();
        }
    }
    return nullptr;
}

template <typename T>
T* findPackage(const std::vector<std::unique_ptr<T>>& list, const std::string& fileName) {
    for (const std::unique_ptr<T>& package : list) {
        if (namesEqualIgnoringCase(package->fileName(), fileName)) {
            return package.get();
        }
    }
    return nullptr;
}

// Loads a file resource of type T from `directory`, caching it; null when it cannot be read.
template <typename T>
T* loadCached(std::vector<std::unique_ptr<T>>& cache, const char* directory,
              const std::string& name) {
    if (T* cached = findByName(cache, name)) {
        return cached;
    }
    auto resource = std::make_unique<T>();
    const std::string path = directory + name;
    if (!resource->loadFromFile(path)) {
        // A file that cannot be opened has been named by the loader; one whose content is
        // refused, the image and mesh readers pass over in silence.
        if (!std::is_same<T, AudioTrack>::value &&
            platform::fileKind(path) == platform::FileKind::regular) {
            logText("Unable to read ");
            logString(path);
            logText("\n");
        }
        return nullptr;
    }
    cache.push_back(std::move(resource));
    return cache.back().get();
}

}  // namespace

ResourceManager* resourceManager() {
    return liveManager;
}

ResourceManager::ResourceManager() {
    liveManager = this;
    setResourceLookup(this);
}

ResourceManager::~ResourceManager() {
    unloadAll();
    if (liveManager == this) {
        liveManager = nullptr;
    }
    if (resourceLookup() == this) {
        setResourceLookup(nullptr);
    }
}

StoredObject* ResourceManager::getResource(const std::string& reference) {
    if (reference.empty()) {
        return nullptr;
    }
    if (reference[0] == '>') {
        return currentMap_ ? currentMap_->getObject(reference.substr(1)) : nullptr;
    }
    const std::size_t marker = reference.find('>', 1);
    if (marker != std::string::npos) {
        const std::string packageName = reference.substr(0, marker);
        const std::string objectName = reference.substr(marker + 1);
        const std::string extension = extensionOf(packageName);
        if (namesEqualIgnoringCase(extension, "txp")) {
            return getPackageTexture(packageName, objectName);
        }
        if (namesEqualIgnoringCase(extension, "smp")) {
            return getPackageMesh(packageName, objectName);
        }
        logText("Unrecognised package format for file '");
        logString(reference);
        logText("'\n");
        return nullptr;
    }
    const std::string extension = extensionOf(reference);
    if (namesEqualIgnoringCase(extension, "smf")) {
        return getMesh(reference);
    }
    if (namesEqualIgnoringCase(extension, "bmp") || namesEqualIgnoringCase(extension, "tga") ||
        namesEqualIgnoringCase(extension, "txf")) {
        return getTexture(reference);
    }
    return getSound(reference);
}

Texture* ResourceManager::findTexture(const std::string& reference, bool& namesOther) {
    namesOther = false;
    StoredObject* found = nullptr;
    const std::size_t marker = reference.find('>', 1);
    if (reference.empty()) {
        return nullptr;
    } else if (reference[0] == '>') {
        found = currentMap_ ? currentMap_->getObject(reference.substr(1)) : nullptr;
    } else if (marker != std::string::npos) {
        const std::string packageName = reference.substr(0, marker);
        const std::string extension = extensionOf(packageName);
        if (namesEqualIgnoringCase(extension, "txp")) {
            found = getPackageTexture(packageName, reference.substr(marker + 1));
        } else if (namesEqualIgnoringCase(extension, "smp")) {
            namesOther = true;
        } else {
            logText("Unrecognised package format for file '");
            logString(reference);
            logText("'\n");
        }
    } else {
        const std::string extension = extensionOf(reference);
        if (namesEqualIgnoringCase(extension, "bmp") || namesEqualIgnoringCase(extension, "tga") ||
            namesEqualIgnoringCase(extension, "txf")) {
            found = getTexture(reference);
        } else {
            namesOther = true;  // a mesh file, or a sound
        }
    }
    if (found != nullptr && found->getTypeId() != TypeId::texture) {
        namesOther = true;
        return nullptr;
    }
    return static_cast<Texture*>(found);
}

Texture* ResourceManager::getTexture(const std::string& name) {
    if (Texture* texture = loadCached(textures_, "..\\Textures\\", name)) {
        return texture;
    }
    // The fallback stands in for everything else; if it is missing too, there is no texture.
    if (namesEqualIgnoringCase(name, fallbackTexture)) {
        return nullptr;
    }
    return getTexture(fallbackTexture);
}

Polyhedron* ResourceManager::getMesh(const std::string& name) {
    return loadCached(meshes_, "..\\Meshes\\", name);
}

AudioTrack* ResourceManager::getSound(const std::string& name) {
    // Sounds are kept for the whole run, and so is the news that one cannot be read: the click
    // of every move must not try (and log) the same missing file again.
    for (const std::string& failed : failedSounds_) {
        if (namesEqualIgnoringCase(failed, name)) {
            return nullptr;
        }
    }
    AudioTrack* sound = loadCached(sounds_, "..\\Audio\\", name);
    if (sound == nullptr) {
        failedSounds_.push_back(name);
    }
    return sound;
}

StoredObject* ResourceManager::getPackageTexture(const std::string& packageName,
                                                 const std::string& objectName) {
    if (TexturePackage* package = findPackage(texturePackages_, packageName)) {
        // Once a screen has been set up the package has released its directory; an object
        // first asked for after that (a menu the controller switches to) is read again.
        return package->getReleasedObject(objectName);
    }
    auto package = std::make_unique<TexturePackage>();
    if (!package->load("..\\Textures\\" + packageName, false)) {
        return getTexture(fallbackTexture);
    }
    texturePackages_.push_back(std::move(package));
    return texturePackages_.back()->getObject(objectName);
}

StoredObject* ResourceManager::getPackageMesh(const std::string& packageName,
                                              const std::string& objectName) {
    if (StaticMeshPackage* package = findPackage(meshPackages_, packageName)) {
        return package->getReleasedObject(objectName);
    }
    auto package = std::make_unique<StaticMeshPackage>();
    if (!package->load("..\\Meshes\\" + packageName, false)) {
        return nullptr;
    }
    meshPackages_.push_back(std::move(package));
    return meshPackages_.back()->getObject(objectName);
}

void ResourceManager::reloadTextures() {
    for (const std::unique_ptr<Texture>& texture : textures_) {
        texture->regenerate();
    }
    for (const std::unique_ptr<TexturePackage>& package : texturePackages_) {
        for (int i = 0; i < package->objectCount(); ++i) {
            StoredObject* object = package->objectAt(i);
            if (object != nullptr && object->getTypeId() == TypeId::texture) {
                static_cast<Texture*>(object)->regenerate();
            }
        }
    }
}

void ResourceManager::refreshMeshes() {
    for (const std::unique_ptr<Polyhedron>& mesh : meshes_) {
        mesh->buildLists();
    }
    for (const std::unique_ptr<StaticMeshPackage>& package : meshPackages_) {
        for (int i = 0; i < package->objectCount(); ++i) {
            StoredObject* object = package->objectAt(i);
            if (object != nullptr && object->getTypeId() == TypeId::polyhedron) {
                static_cast<Polyhedron*>(object)->buildLists();
            }
        }
    }
}

void ResourceManager::setCurrentMap(std::unique_ptr<Map> map) {
    // The input handler must never be left pointing at a deleted screen.
    if (input != nullptr && input->eventTarget == currentMap_.get()) {
        input->eventTarget = nullptr;
    }
    currentMap_ = std::move(map);
}

void ResourceManager::createMap(const std::string& fileName) {
    const std::string extension = extensionOf(fileName);
    std::unique_ptr<Map> map;
    if (screenFactory) {
        map = screenFactory(fileName);
    }
    if (map) {
        // made by the factory
    } else if (namesEqualIgnoringCase(extension, "map")) {
        map = std::make_unique<Map>();
    } else if (namesEqualIgnoringCase(extension, "menu")) {
        map = std::make_unique<Menu>();
    } else if (namesEqualIgnoringCase(extension, "bord")) {
        map = std::make_unique<GameBoard>();
    } else if (namesEqualIgnoringCase(extension, "ini")) {
        const IniFile ini(fileName);
        const std::string mapType = ini.getString("General", "MapType", "Menu");
        if (namesEqualIgnoringCase(mapType, "Menu")) {
            map = std::make_unique<Menu>();
        } else if (namesEqualIgnoringCase(mapType, "MenuController")) {
            map = std::make_unique<MenuController>();
        } else {
            map = std::make_unique<GameBoard>();
        }
    } else {
        logText("Unrecognised map file type for file ");
        logString(fileName);
        logText("\n");
        map = std::make_unique<Map>();
    }
    setCurrentMap(std::move(map));
}

bool ResourceManager::loadMap(const std::string& fileName) {
    if (!currentMap_) {
        return false;
    }
    const std::string extension = extensionOf(fileName);
    std::string path;
    if (namesEqualIgnoringCase(extension, "menu")) {
        path = "Menus\\" + fileName;
    } else if (namesEqualIgnoringCase(extension, "ini")) {
        path = fileName;
    } else {
        path = "..\\Maps\\" + fileName;
    }
    if (!currentMap_->load(path, true)) {
        logText("Failed to open file: ");
        logString(path);
        logText("\n");
        setCurrentMap(nullptr);
        return false;
    }
    for (int i = 0; i < currentMap_->objectCount(); ++i) {
        StoredObject* object = currentMap_->objectAt(i);
        if (object != nullptr && object->getTypeId() >= TypeId::actor) {
            resolveReferencesOf(*object);
        }
    }
    if (input != nullptr) {
        currentMap_->input = input;
        input->eventTarget = currentMap_.get();
    }
    currentMap_->host = host;
    refreshMeshes();
    currentMap_->additionalSetup();
    // From here on only objects already requested are found by name.
    if (currentMap_) {
        currentMap_->releaseDirectory();
        for (int i = 0; i < currentMap_->objectCount(); ++i) {
            StoredObject* object = currentMap_->objectAt(i);
            if (object != nullptr && object->getTypeId() >= TypeId::actor) {
                releaseReferenceDataOf(*object);
            }
        }
    }
    for (const std::unique_ptr<TexturePackage>& package : texturePackages_) {
        package->releaseDirectory();
    }
    for (const std::unique_ptr<StaticMeshPackage>& package : meshPackages_) {
        package->releaseDirectory();
    }
    return true;
}

void ResourceManager::unloadAll() {
    // The screen goes first: its widgets still use textures and meshes while they are deleted
    // (and write their files in beforeUnload).
    setCurrentMap(nullptr);
    texturePackages_.clear();
    meshPackages_.clear();
    textures_.clear();
    meshes_.clear();
}
