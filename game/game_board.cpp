#include "game/game_board.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/debug_log.h"
#include "engine/game_engine.h"
#include "engine/resource_manager.h"
#include "game/capture_effects.h"
#include "game/computer_player.h"
#include "game/emitter.h"
#include "game/player_start.h"
#include "menus/menu.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "render/matrix.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"
#include "resources/texture.h"

namespace {

// The spark texture, when the resource manager has it (no stand-in texture for sparks).
Texture* sparkTexture() {
    ResourceManager* resources = resourceManager();
    if (resources == nullptr) {
        return nullptr;
    }
    Texture* texture = resources->getTexture("Spark.bmp");
    return texture != nullptr && platform::namesEqualIgnoringCase(texture->name(), "Spark.bmp")
               ? texture
               : nullptr;
}

}  // namespace

GameBoard::GameBoard() {
    openHudMenu();
    if (resourceManager() != nullptr) {
        if (Texture* spark = sparkTexture()) {
            spark->combineAlpha(resourceManager()->getTexture("Spark_alpha.bmp"));
        }
    }
}

GameBoard::~GameBoard() {
    cancelAllThinking();
    hudMenu.reset();
    scoresMenu.reset();
}

void GameBoard::openHudMenu() {
    auto menu = std::make_unique<Menu>();
    if (!menu->load("Menus\\hud.ini", true)) {
        logText("Failed to open HUD menu\n");
        return;
    }
    menu->parent = this;
    hudMenu = std::move(menu);
}

void GameBoard::openScoresMenu() {
    auto menu = std::make_unique<Menu>();
    // The score control reads the board while the menu loads.
    menu->parent = this;
    if (!menu->load("Menus\\scores.ini", true)) {
        logText("Failed to open scores menu\n");
        return;
    }
    scoresMenu = std::move(menu);
}

Tile* GameBoard::tileAt(std::int32_t row, std::int32_t col) const {
    const auto found = grid_.find(cellKey(row, col));
    return found != grid_.end() ? found->second : nullptr;
}

bool GameBoard::loadIniFile(IniFile& ini) {
    // The board takes its size only once it is known to be sound, so that a failed description
    // never leaves player counts without player records.
    const std::int32_t rows = ini.getInt("General", "NumRows", 0);
    const std::int32_t cols = ini.getInt("General", "NumCols", 0);
    const std::int32_t slots = ini.getInt("General", "NumPlayers", 0);
    if (rows < 1 || cols < 1) {
        logText("GameBoard: invalid board size\n");
        return false;
    }
    if (slots < 1) {
        logText("More players required\n");
        return false;
    }
    // The computer players' search scores at most four players.
    if (slots > 4) {
        logText("GameBoard: at most 4 players, the board asks for ");
        logInt(slots);
        logText("\n");
        return false;
    }
    numRows = rows;
    numCols = cols;
    numPlayers = slots;

    const IniFile playerSettings("players.ini");
    const std::int32_t chosen = playerSettings.getInt("General", "players", 4);
    players.clear();
    players.resize(static_cast<std::size_t>(numPlayers));
    for (std::int32_t i = 0; i < numPlayers; ++i) {
        players[static_cast<std::size_t>(i)].index = i;
    }
    if (numPlayers > chosen && chosen >= 2) {
        players[1].active = false;
        if (numPlayers - chosen >= 2 && numPlayers > 3) {
            players[3].active = false;
        }
    }

    // The running place is kept wide: a cell given at the largest row or column moves it past
    // what a cell's row or column can hold.
    std::int64_t nextRow = 0;
    std::int64_t nextCol = 0;
    for (int section = 0; section < ini.sectionCount(); ++section) {
        if (platform::namesEqualIgnoringCase(ini.sectionName(section), "General")) {
            continue;
        }
        std::unique_ptr<Tile> tile;
        if (platform::namesEqualIgnoringCase(ini.getString(section, "Type", ""), "PlayerStart")) {
            const std::int32_t player = ini.getInt(section, "Player", -1);
            if (player < 0 || player >= numPlayers) {
                logText("Invalid player index: ");
                logInt(player);
                logText("\n");
                return false;
            }
            Player& slot = players[static_cast<std::size_t>(player)];
            if (slot.active) {
                auto start = std::make_unique<PlayerStart>();
                slot.startTile = start.get();
                tile = std::move(start);
            }
        }
        if (!tile) {
            tile = std::make_unique<Tile>();
        }
        tile->colour = ini.getInt(section, "Colour", 0);
        if (tile->colour < 0) {
            tile->colour = 1 + static_cast<std::int32_t>(platform::random() * 7LL / 32768);
        }
        if (tile->getTypeId() == 36) {
            static_cast<PlayerStart*>(tile.get())->playerColour = tile->colour;
        }
        const std::int32_t row = ini.getInt(section, "Row", -1);
        const std::int32_t col = ini.getInt(section, "Col", -1);
        if (row != -1 && col != -1) {
            nextRow = row;
            nextCol = col;
        }
        // Past the largest row the place stays there, which is outside every grid all the same.
        tile->row = static_cast<std::int32_t>(std::min<std::int64_t>(nextRow, INT32_MAX));
        tile->col = static_cast<std::int32_t>(nextCol);
        nextCol += 1;
        if (nextCol >= numCols) {
            nextRow += 1;
            nextCol = 0;
        }
        tile->placeOnBoard(numRows, numCols);
        // Tiles built from a description are never written back.
        tile->releaseRegistry();
        tile->setName(widgetName(ini.sectionName(section)));
        tile->owner = this;
        tiles_.push_back(tile.get());
        appendObject(std::move(tile));
    }
    return true;
}

void GameBoard::additionalSetup() {
    currentPlayer = turnPlayer = 0;
    linkNeighbours();
    assignColours();
    readPlayerSettings();
    suppressCaptureEffects = true;
    fillBlackPockets();
    for (Tile* tile : tiles_) {
        if (tile->getTypeId() != 36 && tile->owned) {
            tile->owned = false;
        }
    }
    // The walk above misses areas walled in without black cells (holes and the edge alone) and
    // pockets it meets after a black area's contact with a start cell's area.
    fillUnreachableAreas();
    claimStartAreas();
    suppressCaptureEffects = false;
    createTileEmitters();
    buildTileBatch();
}

void GameBoard::readPlayerSettings() {
    const IniFile settings("players.ini");
    for (std::size_t i = 0; i < players.size(); ++i) {
        const std::string section = std::to_string(i + 1);
        players[i].isHuman = settings.getInt(section, "AI Controlled", 0) == 0;
        players[i].difficulty = settings.getInt(section, "Difficulty", 3);
        // The search looks ahead only so far, whatever the file asks.
        const std::int32_t difficulty = players[i].difficulty;
        if (difficulty < 0 || searchDepth(difficulty, 1) <= difficulty) {
            debugLog << "Unusable difficulty in players.ini: " << difficulty << endLine;
        }
    }
    int activeSlots = 0;
    for (const Player& player : players) {
        activeSlots += player.active ? 1 : 0;
    }
    // With two players on a larger board the second one moves into slot 1, where the HUD
    // shows the second player.
    if (activeSlots == 2 && numPlayers >= 3) {
        std::swap(players[1], players[2]);
    }
    // A slot the description gave no start cell takes no turn and holds no colour.
    for (Player& player : players) {
        if (player.startTile == nullptr) {
            player.active = false;
        }
    }
    if (settings.getInt("General", "randomFirstPlayer", 0) != 0 && numPlayers > 0) {
        currentPlayer = turnPlayer =
            static_cast<std::int32_t>(platform::random() * 1LL * numPlayers / 32768);
    }
}

void GameBoard::createTileEmitters() {
    Texture* texture = sparkTexture();
    for (Tile* tile : tiles_) {
        auto emitter = std::make_unique<Emitter>();
        emitter->setName("emitter");
        emitter->owner = this;
        emitter->setDefaultTimeRanges();
        emitter->allocateParticles();
        const float u = tile->uniformScale;
        emitter->setSize(u / 2);
        emitter->setBirthDistanceRange(u / 2, 0.0f);
        emitter->setSpeedRange(2 * u, u / 2);
        emitter->setTexture(texture);
        emitter->setPosition(tile->position + Vector(0.0f, 0.0f, 0.1f));
        emitter->setColour(tile->colour);
        tile->emitter = emitter.get();
        addObject(std::move(emitter));
    }
}

void GameBoard::buildTileBatch() {
    GameEngine* engine = gameEngine();
    if (engine == nullptr || !engine->display) {
        return;
    }
    StaticBatch& batch = engine->display->batch;
    for (Tile* tile : tiles_) {
        if (tile->getTypeId() == 36 || tile->mesh == nullptr) {
            continue;
        }
        Matrix transform(tile->position, Matrix::translation);
        transform.multiply(Matrix(tile->scale * tile->uniformScale, Matrix::scale));
        transform.multiply(Matrix(tile->rotation));
        tile->batchIndex = batch.addToBatch(*tile->mesh, transform, tile->colour, tile);
    }
    batch.rebuildBatch();
}

void GameBoard::update() {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        object->update(framePeriod);
        if (cycleCounter == 0) {
            object->cycleUpdate();
        }
    }
    // Inactive slots are passed over (a board without any active slot has nobody to move).
    for (std::int32_t step = 0; turnPlayer < numPlayers && step < numPlayers &&
                                !players[static_cast<std::size_t>(turnPlayer)].active;
         ++step) {
        currentPlayer = (currentPlayer + 1) % numPlayers;
        turnPlayer = currentPlayer;
    }

    const std::uint32_t now = SDL_GetTicks();
    if (!frameClockStarted_) {
        frameClockStarted_ = true;
        lastFrameTime = now;
        cycleCounter = 0;
    } else {
        const std::uint32_t period = static_cast<std::uint32_t>(framePeriod);
        if (now - lastFrameTime < period) {
            SDL_Delay(lastFrameTime + period - now);
        }
        cycleCounter += 1;
        lastFrameTime += period;
        if (cycleCounter >= cycleLength) {
            cycleCounter = 0;
        }
    }
    handleComputerTurn();
}

void GameBoard::handleComputerTurn() {
    // While a search runs, its worker moves currentPlayer about: only turnPlayer is read until
    // the worker is known to be done.
    if (turnPlayer >= numPlayers || turnPlayer < 0) {
        return;
    }
    Player& turn = players[static_cast<std::size_t>(turnPlayer)];
    if (turn.isHuman) {
        return;
    }
    if (turn.thinkThread && turn.chosenColour.load() <= 0 && turn.thinkThread->isRunning()) {
        return;
    }
    Player& mover = players[static_cast<std::size_t>(currentPlayer)];
    const std::int32_t chosen = mover.chosenColour.load();
    if (chosen > 0) {
        if (mover.thinkThread) {
            mover.thinkThread->waitFor(0);
            mover.thinkThread.reset();
        }
        mover.chosenColour = -1;
        takeTurn(chosen);
        return;
    }
    // With every colour held there is nothing to search for: the player passes (its own colour
    // takes nothing) rather than searching again every frame.
    bool anyFree = false;
    for (std::int32_t colour = 1; colour <= 7; ++colour) {
        anyFree = anyFree || isColourFree(colour, true);
    }
    if (!anyFree && mover.startTile != nullptr) {
        cancelThinking(mover);
        takeTurn(mover.startTile->colour);
        return;
    }
    startThinking(mover, *this);
}

void GameBoard::cancelAllThinking() {
    for (Player& player : players) {
        cancelThinking(player);
    }
}

void GameBoard::takeTurn(std::int32_t colour) {
    moveTerritory(colour);
    if (GameEngine* engine = gameEngine()) {
        // The move shows before the click is heard.
        if (engine->display) {
            engine->display->rebuildBatch();
            engine->renderFrame();
        }
        if (engine->audio && engine->resources) {
            engine->audio->play(engine->resources->getSound("click.wav"));
        }
    }
    finishTurn(true);
}

bool GameBoard::playMove(std::int32_t colour) {
    moveTerritory(colour);
    finishTurn(false);
    return currentPlayer >= numPlayers;
}

void GameBoard::drawMenus() {
    if (hudMenu) {
        hudMenu->draw();
    }
    if (scoresMenu) {
        scoresMenu->draw();
    }
}

void GameBoard::draw() {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (!object->isActor()) {
            continue;
        }
        if (object->isTile()) {
            glColor4fv(playerColour(static_cast<Tile*>(object)->colour));
        } else {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
        static_cast<Actor*>(object)->draw();
    }
    drawMenus();
}

void GameBoard::drawOverlay() {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (!object->isActor()) {
            continue;
        }
        if (object->getTypeId() == 35) {
            continue;  // the batch holds the plain cells
        }
        if (object->getTypeId() == 36) {
            glColor4fv(playerColour(static_cast<PlayerStart*>(object)->playerColour));
        } else {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
        static_cast<Actor*>(object)->draw();
    }
    drawMenus();
}

Menu* GameBoard::inputMenu() const {
    // Once the game is over the score menu takes all input; before, the HUD does.
    return scoresMenu ? scoresMenu.get() : hudMenu.get();
}

void GameBoard::keyPressed(std::int32_t key, std::int32_t modifiers) {
    if (Menu* menu = inputMenu()) {
        menu->keyPressed(key, modifiers);
    }
}

void GameBoard::keyReleased(std::int32_t key, std::int32_t modifiers) {
    if (Menu* menu = inputMenu()) {
        menu->keyReleased(key, modifiers);
    }
}

void GameBoard::mouseMoved(double x, double y, double dx, double dy) {
    if (Menu* menu = inputMenu()) {
        menu->mouseMoved(x, y, dx, dy);
    }
}

void GameBoard::mouseButtonPressed(double x, double y, std::int32_t button) {
    if (Menu* menu = inputMenu()) {
        menu->mouseButtonPressed(x, y, button);
    }
}

void GameBoard::mouseButtonReleased(double x, double y, std::int32_t button) {
    if (Menu* menu = inputMenu()) {
        menu->mouseButtonReleased(x, y, button);
    }
}
