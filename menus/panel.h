// A filled rectangle, usually the background of a group of widgets.
#pragma once

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class Panel : public HudObject {
  public:
    Panel();
    std::int32_t getTypeId() const override { return TypeId::panel; }
    void draw() override;
};

// Fills the widget's rectangle with the current colour, as one quad.
void drawRectangle(double left, double top, double right, double bottom);
