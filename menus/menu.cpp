#include "menus/menu.h"

#include <GL/gl.h>

#include "engine/resource_manager.h"
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
#include "menus/text_box.h"
#include "platform/platform.h"
#include "resources/ini_file.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

using platform::namesEqualIgnoringCase;

std::string widgetName(const std::string& sectionName) {
    std::string name = sectionName;
    const std::size_t slash = name.find_last_of('\\');
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::unique_ptr<HudObject> createWidget(const IniFile& ini, int section) {
    const std::string type = ini.getString(section, "Type", "");
    auto is = [&type](const char* name) { return namesEqualIgnoringCase(type, name); };
    if (is("PlayerTurnButton")) {
        auto button = std::make_unique<PlayerTurnButton>();
        button->setColour(ini.getInt(section, "Colour", 0));
        return button;
    }
    if (is("PlayerScoreText")) {
        auto score = std::make_unique<PlayerScoreText>();
        score->player = ini.getInt(section, "Player", 0);
        return score;
    }
    if (is("Panel")) {
        return std::make_unique<Panel>();
    }
    if (is("PlayerPanel")) {
        auto panel = std::make_unique<PlayerPanel>();
        panel->player = ini.getInt(section, "player", 0);
        return panel;
    }
    if (is("TextBox")) {
        auto box = std::make_unique<TextBox>();
        box->setText(ini.getString(section, "Text", ""));
        return box;
    }
    if (is("ScoreControl")) {
        return std::make_unique<ScoreControl>();
    }
    if (is("NewMapButton")) {
        auto button = std::make_unique<NewMapButton>();
        button->mapToLoad = ini.getString(section, "mapToLoad", "");
        button->text = ini.getString(section, "text", "");
        button->useController = ini.getInt(section, "useController", 1) != 0;
        return button;
    }
    if (is("QuitButton")) {
        auto button = std::make_unique<QuitButton>();
        button->text = ini.getString(section, "text", "");
        return button;
    }
    if (is("ListBox")) {
        auto list = std::make_unique<ListBox>();
        list->itemHeight = static_cast<float>(ini.getFloat(section, "itemHeight", 0.05));
        list->itemGap = static_cast<float>(ini.getFloat(section, "itemGap", 0.002));
        list->textGap = static_cast<float>(ini.getFloat(section, "textGap", 0.001));
        list->loadItems(ini, section);
        return list;
    }
    if (is("NewGameControl")) {
        auto control = std::make_unique<NewGameControl>();
        control->iniFile = ini.getString(section, "iniFile", "");
        return control;
    }
    if (is("SettingsControl")) {
        auto control = std::make_unique<SettingsControl>();
        control->iniFile = ini.getString(section, "iniFile", "");
        return control;
    }
    if (is("Image")) {
        auto image = std::make_unique<Image>();
        StoredObject* found = getResource(ini.getString(section, "texture", ""));
        if (found != nullptr && found->getTypeId() == TypeId::texture) {
            image->texture = static_cast<Texture*>(found);
        }
        return image;
    }
    // A misspelt or missing type still gives a widget, which reports itself when drawn.
    return std::make_unique<HudObject>();
}

bool Menu::loadIniFile(IniFile& ini) {
    for (int section = 0; section < ini.sectionCount(); ++section) {
        std::unique_ptr<HudObject> widget = createWidget(ini, section);
        if (widget->getTypeId() != TypeId::playerTurnButton) {
            widget->colour = {static_cast<float>(ini.getFloat(section, "colRed", 0.0)),
                              static_cast<float>(ini.getFloat(section, "colGreen", 0.0)),
                              static_cast<float>(ini.getFloat(section, "colBlue", 0.0)),
                              static_cast<float>(ini.getFloat(section, "colAlpha", 1.0))};
        }
        widget->Left = ini.getFloat(section, "Left", 0.0);
        widget->Right = ini.getFloat(section, "Right", 0.0);
        widget->Top = ini.getFloat(section, "Top", 0.0);
        widget->Bottom = ini.getFloat(section, "Bottom", 0.0);
        widget->textColour[0] = static_cast<float>(ini.getFloat(section, "textColRed", 0.0));
        widget->textColour[1] = static_cast<float>(ini.getFloat(section, "textColGreen", 0.0));
        widget->textColour[2] = static_cast<float>(ini.getFloat(section, "textColBlue", 0.0));
        if (widget->isMenuItem()) {
            auto& item = static_cast<MenuItem&>(*widget);
            item.column = ini.getInt(section, "Column", 0);
            item.row = ini.getInt(section, "Row", 0);
        }
        widget->setName(widgetName(ini.sectionName(section)));
        widget->owner = this;
        appendObject(std::move(widget));
    }
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isHudObject()) {
            static_cast<HudObject*>(object)->postLoad();
        }
    }
    return true;
}

void Menu::update() {
    for (int i = 0; i < objectCount(); ++i) {
        objectAt(i)->update(10);
    }
}

void Menu::draw() {
    glDisable(GL_DEPTH_TEST);
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isHudObject()) {
            static_cast<HudObject*>(object)->draw();
        }
    }
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isHudObject()) {
            static_cast<HudObject*>(object)->postDraw();
        }
    }
    glEnable(GL_DEPTH_TEST);
}

void Menu::mouseMoved(double x, double y, double, double) {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (!object->isMenuItem()) {
            continue;
        }
        auto* item = static_cast<MenuItem*>(object);
        if (item->enabled && item->contains(x, y)) {
            item->mouseOver(x, y);
        } else {
            item->mouseNotOver();
        }
    }
}

void Menu::mouseButtonPressed(double x, double y, std::int32_t button) {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (!object->isMenuItem()) {
            continue;
        }
        auto* item = static_cast<MenuItem*>(object);
        if (item->contains(x, y)) {
            item->mouseButtonPressed(x, y, button);
        } else {
            item->mouseNotOver();
        }
    }
}

void Menu::mouseButtonReleased(double x, double y, std::int32_t button) {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isMenuItem()) {
            static_cast<MenuItem*>(object)->mouseButtonReleased(x, y, button);
        }
    }
}
