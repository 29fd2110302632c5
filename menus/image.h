// A textured rectangle: a title picture or a logo.
#pragma once

#include "menus/hud_object.h"

class Texture;

class Image : public HudObject {
  public:
    void readSection(const IniFile& ini, int section) override;
    void draw() override;
    Texture* texture = nullptr;  // not owned; null draws nothing
};
