// A screen that shows nothing and ignores input: the stand-in for screen classes whose own
// behaviour has not been written yet, so the engine can run end to end around them.
#pragma once

#include "engine/map.h"

class SilentScreen : public Map {
  public:
    void additionalSetup() override {}
    void update() override {}
    void draw() override {}
    void keyPressed(std::int32_t, std::int32_t) override {}
    void keyReleased(std::int32_t, std::int32_t) override {}
    void mouseMoved(double, double, double, double) override {}
    void mouseButtonPressed(double, double, std::int32_t) override {}
    void mouseButtonReleased(double, double, std::int32_t) override {}
    bool loadIniFile(IniFile&) override { return true; }
};
