#include "engine/input_handler.h"

#include <SDL.h>

#include "engine/display.h"
#include "resources/key_codes.h"
#include "resources/map.h"

namespace {

// The key as the screens know it: the keypad's digits count as the plain digits.
std::int32_t screenKey(SDLKey sym) {
    if (sym >= SDLK_KP0 && sym <= SDLK_KP9) {
        return '0' + (sym - SDLK_KP0);
    }
    return static_cast<std::int32_t>(sym);
}

std::int32_t screenModifiers(SDLMod mod) {
    std::int32_t bits = 0;
    bits |= (mod & KMOD_SHIFT) != 0 ? keys::shift : 0;
    bits |= (mod & KMOD_CTRL) != 0 ? keys::ctrl : 0;
    bits |= (mod & KMOD_ALT) != 0 ? keys::alt : 0;
    return bits;
}

}  // namespace

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
            case SDL_KEYDOWN:
                if (eventTarget != nullptr) {
                    eventTarget->keyPressed(screenKey(event.key.keysym.sym),
                                            screenModifiers(event.key.keysym.mod));
                }
                break;
            case SDL_KEYUP:
                if (eventTarget != nullptr) {
                    eventTarget->keyReleased(screenKey(event.key.keysym.sym),
                                             screenModifiers(event.key.keysym.mod));
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
