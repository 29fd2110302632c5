#include "game/player_start.h"
#include "menus/list_box.h"
#include "menus/new_game_control.h"
#include "menus/new_map_button.h"
#include "menus/panel.h"
#include "menus/player_panel.h"
#include "menus/player_score_text.h"
#include "menus/player_turn_button.h"
#include "menus/quit_button.h"
#include "menus/score_control.h"
#include "menus/settings_control.h"
#include "menus/text_box.h"
#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/package.h"
#include "resources/texture.h"

// Type ids as stored in map packages. Classes join the table as they are written.
std::unique_ptr<StoredObject> createStoredObject(std::int32_t typeId, std::istream& in) {
    std::unique_ptr<StoredObject> object;
    switch (typeId) {
        case 1:
            object = std::make_unique<Texture>();
            break;
        case 2:
            object = std::make_unique<Polyhedron>();
            break;
        case 3:
            object = std::make_unique<AudioTrack>();
            break;
        case 16:
            object = std::make_unique<TextBox>();
            break;
        case 17:
            object = std::make_unique<Panel>();
            break;
        case 18:
            object = std::make_unique<PlayerPanel>();
            break;
        case 19:
            object = std::make_unique<PlayerScoreText>();
            break;
        case 20:
            object = std::make_unique<ScoreControl>();
            break;
        case 21:
            object = std::make_unique<NewGameControl>();
            break;
        case 22:
            object = std::make_unique<SettingsControl>();
            break;
        case 24:
            object = std::make_unique<Button>();
            break;
        case 25:
            object = std::make_unique<PlayerTurnButton>();
            break;
        case 26:
            object = std::make_unique<QuitButton>();
            break;
        case 27:
            object = std::make_unique<ListBox>();
            break;
        case 28:
            object = std::make_unique<NewMapButton>();
            break;
        case 35:
            object = std::make_unique<Tile>();
            break;
        case 36:
            object = std::make_unique<PlayerStart>();
            break;
        default:
            return nullptr;
    }
    // The object is kept even when its own reading fails (a track never reads from a stream).
    object->load(in, "map");
    return object;
}
