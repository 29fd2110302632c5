#include "menus/menu.h"

#include <GL/gl.h>

#include "menus/hud_object.h"
#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/ini_file.h"
#include "resources/object_factory.h"
#include "resources/type_ids.h"

std::unique_ptr<HudObject> createWidget(const IniFile& ini, int section) {
    const ObjectType* type = findWidgetType(ini.getString(section, "Type", ""));
    // A misspelt or missing type still gives a widget, which reports itself when drawn.
    if (type == nullptr) {
        return std::make_unique<HudObject>();
    }
    std::unique_ptr<HudObject> widget(static_cast<HudObject*>(type->construct().release()));
    widget->readSection(ini, section);
    return widget;
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
            const std::string keyNames = ini.getString(section, "key", "");
            if (!parseKeyChords(keyNames, item.keyChords)) {
                debugLog << "Unknown key \"" << keyNames << "\" in menu section "
                         << ini.sectionName(section) << endLine;
            }
        }
        widget->setName(objectNameOfSection(ini.sectionName(section)));
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

void Menu::restoreGlObjects() {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isHudObject()) {
            static_cast<HudObject*>(object)->restoreGlObjects();
        }
    }
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

void Menu::keyPressed(std::int32_t key, std::int32_t modifiers) {
    for (int i = 0; i < objectCount(); ++i) {
        StoredObject* object = objectAt(i);
        if (object->isMenuItem() && static_cast<MenuItem*>(object)->takesKey(key, modifiers)) {
            static_cast<MenuItem*>(object)->keyActivated();
        }
    }
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
