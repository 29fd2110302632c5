#include "menus/game_board.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "game/computer_player.h"
#include "game/emitter.h"
#include "game/game_record.h"
#include "game/player_start.h"
#include "game/search_evaluation.h"
#include "menus/colour_symbols.h"
#include "menus/menu.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "render/matrix.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "render/static_batch.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"
#include "resources/resource_lookup.h"
#include "resources/screen_host.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

namespace {

// The spark texture, when the resource manager has it (no stand-in texture for sparks).
Texture* sparkTexture() {
    Texture* texture = getTexture("Spark.bmp");
    return texture != nullptr && platform::namesEqualIgnoringCase(texture->name(), "Spark.bmp")
               ? texture
               : nullptr;
}

}  // namespace

BoardSetup readBoardSetup() {
    BoardSetup setup;
    const IniFile players("players.ini");
    setup.players = players.getInt("General", "players", 4);
    setup.randomFirstPlayer = players.getInt("General", "randomFirstPlayer", 0) != 0;
    for (std::size_t i = 0; i < setup.slots.size(); ++i) {
        const std::string section = std::to_string(i + 1);
        setup.slots[i].isHuman = players.getInt(section, "AI Controlled", 0) == 0;
        setup.slots[i].difficulty = players.getInt(section, "Difficulty", 3);
        // Expert rides on the Hard level; a level chosen since by a reader that knows only the
        // levels (and left the key alone) wins over it.
        setup.slots[i].expert = players.getInt(section, "Expert", 0) != 0 &&
                                setup.slots[i].difficulty == BoardSetup::expertDifficulty;
        // The search looks ahead only so far, whatever the file asks.
        const std::int32_t difficulty = setup.slots[i].difficulty;
        if (difficulty < 0 || searchDepth(difficulty, 1) <= difficulty) {
            debugLog << "Unusable difficulty in players.ini: " << difficulty << endLine;
        }
    }
    const IniFile settings("settings.ini");
    setup.blackShare = settings.getFloat("game", "blackTiles", 0.01);
    return setup;
}

GameBoard::GameBoard() {
    openHudMenu();
    if (Texture* spark = sparkTexture()) {
        spark->combineAlpha(getTexture("Spark_alpha.bmp"));
    }
}

GameBoard::~GameBoard() {
    cancelAllThinking();
    hint_.cancel();
    // A game left before its end is kept too.
    saveGame();
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
    menu->host = host;
    if (!menu->load("Menus\\scores.ini", true)) {
        logText("Failed to open scores menu\n");
        return;
    }
    scoresMenu = std::move(menu);
}

Tile* GameBoard::keepTile(std::unique_ptr<Tile> tile) {
    Tile* kept = tile.get();
    tile->owner = this;
    appendObject(std::move(tile));
    return kept;
}

int GameBoard::objectTotal() const {
    return objectCount();
}

bool GameBoard::loadIniFile(IniFile& ini) {
    boardName_ = ini.fileName();
    boardPath_ = platform::absolutePath(ini.fileName());
    return loadDescription(ini, readBoardSetup());
}

void GameBoard::gameEnded() {
    saveGame();
    openScoresMenu();
}

void GameBoard::saveGame() {
    if (!keepsRecord || saved_ || moveHistory.empty()) {
        return;
    }
    saved_ = true;
    saveGameRecord(recordOf(*this, boardName_, boardPath_));
}

void GameBoard::additionalSetup() {
    if (hudMenu) {
        hudMenu->host = host;
    }
    // Set-up changes colours nobody is to see change.
    effects = nullptr;
    setUp(readBoardSetup());
    effects = this;
    readColourSymbolsSetting();
    createTileEmitters();
    buildTileBatch();
}

void GameBoard::createTileEmitters() {
    Texture* texture = sparkTexture();
    for (Tile* tile : tiles()) {
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

void GameBoard::restoreGlObjects() {
    buildTileBatch();
    for (Menu* menu : {hudMenu.get(), scoresMenu.get()}) {
        if (menu != nullptr) {
            menu->restoreGlObjects();
        }
    }
}

void GameBoard::buildTileBatch() {
    StaticBatch* found = host != nullptr ? host->staticBatch() : nullptr;
    if (found == nullptr) {
        return;
    }
    StaticBatch& batch = *found;
    for (Tile* tile : tiles()) {
        if (tile->getTypeId() == TypeId::playerStart || tile->mesh == nullptr) {
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
    passInactiveSlots();

    const std::uint32_t now = platform::milliseconds();
    if (!frameClockStarted_) {
        frameClockStarted_ = true;
        lastFrameTime = now;
        cycleCounter = 0;
    } else {
        const std::uint32_t period = static_cast<std::uint32_t>(framePeriod);
        // A delay may end a tick early, leaving the clock a little ahead of now: the frame still
        // waits for its time, or every later frame would go undelayed.
        const std::int32_t wait = static_cast<std::int32_t>(lastFrameTime + period - now);
        // A host that shows frames waits for the frame's time right before showing it, after
        // the frame's work and drawing, so frames keep an even pace however long each takes.
        if (wait > 0 && (host == nullptr || !host->showNextFrameAt(lastFrameTime + period))) {
            platform::sleepMilliseconds(static_cast<std::uint32_t>(wait));
        }
        cycleCounter += 1;
        lastFrameTime += period;
        if (cycleCounter >= cycleLength) {
            cycleCounter = 0;
        }
    }
    assistFrame();
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
    // A worker that has left its colour may still be finishing: its colour is played once it has
    // ended, so the frame never waits for it.
    if (turn.thinkThread && turn.thinkThread->isRunning()) {
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
    startThinking(mover, *this, true);
}

void GameBoard::tileRecoloured(Tile& tile, std::int32_t oldColour) {
    if (tile.batchIndex >= 0) {
        if (StaticBatch* batch = host != nullptr ? host->staticBatch() : nullptr) {
            batch->setEntryColour(tile.batchIndex, tile.colour);
        }
    }
    // The sparks show the colour being replaced.
    if (tile.emitter != nullptr) {
        tile.emitter->setColour(oldColour);
        tile.emitter->burst();
    }
}

void GameBoard::takeTurn(std::int32_t colour) {
    forgetHint();  // it was for this position
    moveTerritory(colour);
    if (host != nullptr) {
        // The move shows before the click is heard.
        host->drawFrameNow();
        host->playSound("click.wav");
    }
    finishTurn(true);
}

void GameBoard::drawMenus() {
    if (hudMenu) {
        hudMenu->draw();
        if (colourSymbols) {
            drawButtonSymbols(*hudMenu);
        }
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
    drawSymbolsAndMenus();
}

void GameBoard::drawOverlay() {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (!object->isActor()) {
            continue;
        }
        if (object->getTypeId() == TypeId::tile) {
            continue;  // the batch holds the plain cells
        }
        if (object->getTypeId() == TypeId::playerStart) {
            glColor4fv(playerColour(static_cast<PlayerStart*>(object)->playerColour));
        } else {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
        static_cast<Actor*>(object)->draw();
    }
    drawSymbolsAndMenus();
}

void GameBoard::drawSymbolsAndMenus() {
    if (colourSymbols) {
        drawCellSymbols(*this);
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
