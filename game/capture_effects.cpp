#include "game/capture_effects.h"

#include "game/emitter.h"
#include "game/tile.h"
#include "render/static_batch.h"
#include "resources/map.h"
#include "resources/screen_host.h"

bool suppressCaptureEffects = false;

void applyCaptureEffects(Tile& tile, std::int32_t oldColour) {
    if (suppressCaptureEffects) {
        return;
    }
    if (tile.batchIndex >= 0 && tile.owner != nullptr && tile.owner->isMap()) {
        ScreenHost* host = static_cast<Map*>(tile.owner)->host;
        if (StaticBatch* batch = host != nullptr ? host->staticBatch() : nullptr) {
            batch->setEntryColour(tile.batchIndex, tile.colour);
        }
    }
    if (tile.emitter != nullptr) {
        tile.emitter->setColour(oldColour);
        tile.emitter->burst();
    }
}
