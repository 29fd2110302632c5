#include "engine/input_handler.h"

#include <SDL.h>

#include "engine/display.h"
#include "resources/map.h"

InputHandler::InputHandler(QuitFunction quit, Display* displayToUse)
    : display(displayToUse), onQuit(quit) {
    SDL_EnableKeyRepeat(500, 30);
}

void InputHandler::pollEvents() {
    // Without a usable width there is no screen space to report a position in.
    const double width = display != nullptr ? static_cast<double>(display->width) : 0.0;
    const bool canScale = width > 0.0;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_MOUSEMOTION:
                if (eventTarget != nullptr && canScale) {
                    eventTarget->mouseMoved(event.motion.x / width, event.motion.y / width,
                                            event.motion.xrel / width, event.motion.yrel / width);
                }
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT && eventTarget != nullptr && canScale) {
                    eventTarget->mouseButtonPressed(event.button.x / width, event.button.y / width,
                                                    event.button.button);
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (event.button.button == SDL_BUTTON_LEFT && eventTarget != nullptr && canScale) {
                    eventTarget->mouseButtonReleased(event.button.x / width, event.button.y / width,
                                                     event.button.button);
                }
                break;
            case SDL_QUIT:
                if (onQuit != nullptr) {
                    onQuit();
                }
                return;
            default:
                break;
        }
    }
}
