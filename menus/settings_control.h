// Turns the list boxes of the settings screen into an editor of the settings file: the share of
// black cells, the resolution and the master volume. The volume is applied as soon as it is
// picked; a new resolution asks the menu controller to rebuild the display at its next switch,
// after the file has been written. Draws nothing.
#pragma once

#include <string>

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class ListBox;
class MenuController;

class SettingsControl : public HudObject {
  public:
    std::int32_t getTypeId() const override { return TypeId::settingsControl; }
    void readSection(const IniFile& ini, int section) override;
    void postLoad() override;
    void update(std::int32_t elapsedMs) override;
    void beforeUnload() override;
    void draw() override {}

    std::string iniFile;
    ListBox* blackTilesList = nullptr;  // not owned
    ListBox* resolutionList = nullptr;  // not owned
    ListBox* volumeList = nullptr;      // not owned
    // "Colour symbols": a digit on every colour button and cell.
    ListBox* colourSymbolsList = nullptr;  // not owned
    // The volume list's selection last applied, and the resolution list's right after loading.
    std::int32_t volumeSelection = -1;
    std::int32_t initialResolution = -1;

  private:
    MenuController* findController() const;
};

// The master volume for the volume list's entry `selection` of eleven (0..10 gives 0..128).
int volumeForSelection(std::int32_t selection);

// Splits "width height" at its last space; false when a side would be empty or there is no
// space.
bool splitResolution(const std::string& value, std::string& width, std::string& height);
