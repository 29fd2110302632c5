#include "menus/hud_object.h"

#include "menus/menu.h"
#include "platform/debug_log.h"
#include "resources/map.h"

void HudObject::draw() {
    logText("Error: HudObject::draw() called from base class\n");
}

bool HudObject::contains(double x, double y) const {
    return Left <= x && x <= Right && Top <= y && y <= Bottom;
}

Map* HudObject::owningMap() const {
    // Widgets are only ever placed in screens.
    return owner != nullptr && owner->isMap() ? static_cast<Map*>(owner) : nullptr;
}

ScreenHost* HudObject::screenHost() const {
    Map* map = owningMap();
    if (map == nullptr) {
        return nullptr;
    }
    if (map->host == nullptr && map->isMenu()) {
        const Map* parent = static_cast<Menu*>(map)->parent;
        return parent != nullptr ? parent->host : nullptr;
    }
    return map->host;
}

MenuItem::MenuItem() {
    registerBool(&enabled);
}

bool MenuItem::takesKey(std::int32_t key, std::int32_t modifiers) const {
    for (const KeyChord& chord : keyChords) {
        if (chordMatches(chord, key, modifiers)) {
            return true;
        }
    }
    return false;
}

void MenuItem::draw() {
    logText("Error: MenuItem::draw() called from base class\n");
}

void MenuItem::mouseButtonPressed(double, double, std::int32_t) {}

void MenuItem::mouseButtonReleased(double, double, std::int32_t) {}

void MenuItem::mouseOver(double, double) {
    hovered = true;
}

void MenuItem::mouseNotOver() {
    hovered = false;
}
