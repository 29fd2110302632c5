#include "game/capture_effects.h"

#include "engine/game_engine.h"
#include "game/emitter.h"
#include "game/tile.h"

bool suppressCaptureEffects = false;

void applyCaptureEffects(Tile& tile, std::int32_t oldColour) {
    if (suppressCaptureEffects) {
        return;
    }
    if (tile.batchIndex >= 0) {
        GameEngine* engine = gameEngine();
        if (engine != nullptr && engine->display) {
            engine->display->batch.setEntryColour(tile.batchIndex, tile.colour);
        }
    }
    if (tile.emitter != nullptr) {
        tile.emitter->setColour(oldColour);
        tile.emitter->burst();
    }
}
