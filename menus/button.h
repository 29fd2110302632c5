// A button: a filled rectangle with a bevelled frame and a centred caption. Subclasses act when
// the button is released over it after having been pressed on it; the base class acts at once on
// the press. No screen is replaced while input is handled: actions only record requests.
#pragma once

#include <GL/gl.h>

#include <string>

#include "menus/hud_object.h"
#include "resources/type_ids.h"

class Button : public MenuItem {
  public:
    Button() = default;
    ~Button() override;

    std::int32_t getTypeId() const override { return TypeId::button; }
    // Compiles the fill and the two frames from the rectangle as it is now.
    void postLoad() override;
    // Builds the lists again, as postLoad does.
    void restoreGlObjects() override { postLoad(); }
    void draw() override;
    std::vector<PlacedText> placedTexts() const override;
    void mouseOver(double x, double y) override;
    void mouseNotOver() override;
    void mouseButtonPressed(double x, double y, std::int32_t button) override;
    void mouseButtonReleased(double x, double y, std::int32_t button) override;
    virtual void execute() {}
    void keyActivated() override { execute(); }

    bool highlightOnHover = true;
    bool executeOnPress = true;
    bool pressed = false;
    std::string text;

    // The first of three lists: fill, sunken frame, raised frame; 0 before postLoad.
    GLuint displayLists = 0;

  private:
    // The GL context displayLists belongs to (platform::currentGlContext).
    unsigned listsContext_ = 0;
};
