#include "menus/object_types.h"

#include <iterator>
#include <memory>

#include "game/player_start.h"
#include "menus/game_buttons.h"
#include "menus/image.h"
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
#include "menus/territory_chart.h"
#include "menus/text_box.h"
#include "render/polyhedron.h"
#include "resources/audio_track.h"
#include "resources/object_factory.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

namespace {

template <typename T>
std::unique_ptr<StoredObject> make() {
    return std::make_unique<T>();
}

// A menu tries the widget rows in this order; a `Type` no row names gives a plain HudObject.
const ObjectType objectTypes[] = {
    {"Texture", TypeId::texture, make<Texture>, false},
    {"Polyhedron", TypeId::polyhedron, make<Polyhedron>, false},
    {"AudioTrack", TypeId::audioTrack, make<AudioTrack>, false},
    {"Tile", TypeId::tile, make<Tile>, false},
    {"PlayerStart", TypeId::playerStart, make<PlayerStart>, false},
    {"Button", TypeId::button, make<Button>, false},
    {"PlayerTurnButton", TypeId::playerTurnButton, make<PlayerTurnButton>, true},
    {"PlayerScoreText", TypeId::playerScoreText, make<PlayerScoreText>, true},
    {"Panel", TypeId::panel, make<Panel>, true},
    {"PlayerPanel", TypeId::playerPanel, make<PlayerPanel>, true},
    {"TextBox", TypeId::textBox, make<TextBox>, true},
    {"ScoreControl", TypeId::scoreControl, make<ScoreControl>, true},
    {"NewMapButton", TypeId::newMapButton, make<NewMapButton>, true},
    {"QuitButton", TypeId::quitButton, make<QuitButton>, true},
    {"ListBox", TypeId::listBox, make<ListBox>, true},
    {"NewGameControl", TypeId::newGameControl, make<NewGameControl>, true},
    {"SettingsControl", TypeId::settingsControl, make<SettingsControl>, true},
    {"Image", TypeId::none, make<Image>, true},
    {"HintButton", TypeId::none, make<HintButton>, true},
    {"UndoButton", TypeId::none, make<UndoButton>, true},
    {"TerritoryChart", TypeId::none, make<TerritoryChart>, true},
};

}  // namespace

void installObjectTypes() {
    setObjectTypes(objectTypes, std::size(objectTypes));
}
