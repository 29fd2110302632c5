#include "engine/game_engine.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdlib>
#include <stdexcept>

#include "menus/object_types.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "platform/random.h"

namespace {

GameEngine* liveEngine = nullptr;

void quitLiveEngine() {
    if (liveEngine != nullptr) {
        liveEngine->requestQuit();
    }
}

}  // namespace

GameEngine* gameEngine() {
    return liveEngine;
}

GameEngine::GameEngine() {
    liveEngine = this;
}

GameEngine::~GameEngine() {
    shutdown();
    if (liveEngine == this) {
        liveEngine = nullptr;
    }
}

void GameEngine::run() {
    try {
        InitAll();
        resources->createMap(controllerFile);
        if (resources->loadMap(controllerFile)) {
            mainLoop();
        }
        shutdown();
    } catch (const std::exception& error) {
        // Left open: the main function's guard closes the chain.
        debugLog << "GameEngine::run(): " << error.what() << lineFeed;
        throw std::runtime_error(error.what());
    }
}

void GameEngine::InitAll() {
    try {
        initialise();
    } catch (const std::exception& error) {
        debugLog << "GameEngine::InitAll(): " << error.what() << lineFeed;
        throw std::runtime_error(error.what());
    }
}

void GameEngine::initialise() {
    installObjectTypes();
    display = std::make_unique<Display>();
    resources = std::make_unique<ResourceManager>();
    input = std::make_unique<InputHandler>(&quitLiveEngine, display.get());
    resources->input = input.get();
    resources->host = this;
    audio = std::make_unique<AudioOutput>();
    platform::seedRandom(platform::milliseconds());
    mapChangePending = false;
    videoRestartPending = false;
}

void GameEngine::mainLoop() {
    running = true;
    do {
        if (mapChangePending) {
            changeMap();
        }
        if (!display->windowOpen) {
            // No window (no X server): nothing can be shown, and nothing could end the program.
            running = false;
            break;
        }
        frameShownByUpdate_ = false;
        if (Map* map = resources->currentMap()) {
            map->update();
        }
        // A move played in the update has shown this pass's frame already; drawing the same
        // state again would only put a second frame into one tick of the clock.
        if (!frameShownByUpdate_) {
            renderFrame();
        }
        input->pollEvents();
    } while (running);
}

void GameEngine::changeMap() {
    resources->unloadAll();
    if (videoRestartPending) {
        // Nothing is cached and no screen is left: only display and audio come back.
        restartDisplay();
        videoRestartPending = false;
    } else {
        display->emptyBatch();
    }
    resources->createMap(nextMapName);
    if (!resources->loadMap(nextMapName) && nextMapName != controllerFile) {
        // A screen that cannot be loaded leads back to the first screen rather than to none.
        resources->createMap(controllerFile);
        resources->loadMap(controllerFile);
    }
    if (resources->currentMap() == nullptr) {
        running = false;
    }
    mapChangePending = false;
}

void GameEngine::restartDisplay() {
    // SDL_Quit in the display's destructor stops audio too, so audio goes first and comes back
    // after the new window.
    audio.reset();
    display.reset();
    display = std::make_unique<Display>();
    if (input) {
        input->display = display.get();
    }
    audio = std::make_unique<AudioOutput>();
    if (resources) {
        // Textures first: a mesh's list binds its texture's name.
        resources->reloadTextures();
        resources->refreshMeshes();
        if (Map* map = resources->currentMap()) {
            map->restoreGlObjects();
        }
    }
}

StaticBatch* GameEngine::staticBatch() {
    return display ? &display->batch : nullptr;
}

void GameEngine::drawFrameNow() {
    if (display) {
        renderFrame();
        frameShownByUpdate_ = true;  // read only right after the update
    }
}

bool GameEngine::showNextFrameAt(std::uint32_t due) {
    if (!display || !display->windowOpen) {
        return false;
    }
    frameDue_ = due;
    return true;
}

void GameEngine::playSound(const std::string& name) {
    if (audio && resources) {
        audio->play(resources->getSound(name));
    }
}

void GameEngine::setMasterVolume(int volume) {
    if (audio) {
        audio->setVolume(volume);
    }
}

void GameEngine::renderFrame() {
    display->rebuildBatch();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, display->width, display->height);
    glPushMatrix();
    Map* map = resources->currentMap();
    if (map != nullptr && map->drawsOverBatch()) {
        if (display->batch.listValid) {
            glCallList(display->batch.displayList);
        }
        map->drawOverlay();
    } else if (map != nullptr) {
        map->draw();
    }
    glPopMatrix();
    if (frameDue_) {
        // The drawing is finished first (a software driver draws only now), so the wait ends
        // with nothing left to do but show the frame.
        glFinish();
        const auto wait = static_cast<std::int32_t>(*frameDue_ - platform::milliseconds());
        if (wait > 0) {
            platform::sleepMilliseconds(static_cast<std::uint32_t>(wait));
        }
        frameDue_.reset();
    }
    SDL_GL_SwapBuffers();
    if (frameBench.frameSwapped()) {
        requestQuit();
    }
}

void GameEngine::shutdown() {
    audio.reset();
    if (resources) {
        resources->input = nullptr;
        resources->host = nullptr;
    }
    input.reset();
    resources.reset();
    display.reset();
}

int runGuarded(GameEngine& engine) {
    try {
        engine.run();
    } catch (const std::exception& error) {
        debugLog << error.what() << endLine;
    } catch (...) {
        debugLog << closing("Error: Unknown Exception thrown\n");
    }
    return 0;
}
