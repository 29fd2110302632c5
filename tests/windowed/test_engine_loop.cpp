// The frame loop's request semantics and the input handler, on a real window under X. (A screen
// that cannot be loaded leads back to the menus: tests/e2e_hostile_data.sh.)
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A screen that records what reaches it and runs a script in each update.
struct RecordingMap : Map {
    std::function<void(int pass)> onUpdate = [](int) {};
    std::function<void()> onDestroy = [] {};
    std::vector<std::string> calls;
    int passes = 0;

    ~RecordingMap() override { onDestroy(); }
    bool loadIniFile(IniFile&) override { return true; }
    void additionalSetup() override {}
    void update() override { onUpdate(passes++); }
    void draw() override {}
    void mouseMoved(double x, double y, double dx, double dy) override {
        note("moved", {x, y, dx, dy});
    }
    void mouseButtonPressed(double x, double y, std::int32_t b) override {
        note("pressed", {x, y, double(b)});
    }
    void mouseButtonReleased(double x, double y, std::int32_t b) override {
        note("released", {x, y, double(b)});
    }
    void note(std::string what, std::initializer_list<double> values) {
        for (double value : values)
            what += " " + std::to_string(value);
        calls.push_back(what);
    }
};

void push(Uint8 type, Uint16 x = 0, Uint16 y = 0, Uint8 button = SDL_BUTTON_LEFT, Sint16 xrel = 0,
          Sint16 yrel = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION)
        event.motion = {type, 0, 0, x, y, xrel, yrel};
    else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
        event.button = {type, 0, button, Uint8(type == SDL_MOUSEBUTTONDOWN), x, y};
    SDL_PushEvent(&event);
}

class EngineLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        engine = std::make_unique<GameEngine>();
        engine->InitAll();
        ASSERT_TRUE(engine->display->windowOpen);
        // Files named "recording*" become recording screens that quit on their first update.
        engine->resources->screenFactory = [this](const std::string& name) -> std::unique_ptr<Map> {
            if (name.rfind("recording", 0) != 0)
                return nullptr;
            ++screensMade;
            auto map = std::make_unique<RecordingMap>();
            map->onUpdate = [](int) { push(SDL_QUIT); };
            return map;
        };
        auto map = std::make_unique<RecordingMap>();
        screen = map.get();
        engine->resources->setCurrentMap(std::move(map));
        engine->input->eventTarget = screen;
        SDL_PumpEvents();
        for (SDL_Event event; SDL_PollEvent(&event) != 0;) {
        }
    }

    std::unique_ptr<GameEngine> engine;
    RecordingMap* screen = nullptr;
    int screensMade = 0;
};

}  // namespace

TEST_F(EngineLoop, TwoChangeRequestsInOneFrameLoadOnlyTheLastNameAndARestartGoesWithTheChange) {
    writeFile("settings.ini", "[resolution]\nwidth = 640\nheight = 480\n");
    int destroyed = 0;
    screen->onUpdate = [this](int pass) {
        if (pass == 0) {
            engine->requestMapChange("first.bord");  // would log a load failure if tried
            engine->requestMapChange("recording.ini");
        }
    };
    // What a settings screen does when it is left: the restart is carried out in the same change.
    screen->onDestroy = [this, &destroyed] {
        ++destroyed;
        engine->requestVideoRestart();
    };
    engine->mainLoop();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(screensMade, 1);
    Map* current = engine->resources->currentMap();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->fileName(), "recording.ini");
    EXPECT_EQ(static_cast<RecordingMap*>(current)->passes, 1);
    EXPECT_EQ(engine->input->eventTarget, current);
    EXPECT_EQ(current->input, engine->input.get());
    EXPECT_FALSE(engine->mapChangePending);
    EXPECT_EQ(engine->display->width, 640);
    EXPECT_FALSE(engine->videoRestartPending);
    EXPECT_FALSE(fileExists("debug.log")) << readFile("debug.log");
}

TEST_F(EngineLoop, VideoRestartWaitsForTheNextScreenChange) {
    writeFile("settings.ini", "[resolution]\nwidth = 800\nheight = 600\n");
    std::vector<int> widthsSeen;
    screen->onUpdate = [&](int pass) {
        widthsSeen.push_back(engine->display->width);
        if (pass == 0)
            engine->requestVideoRestart();
        if (pass == 2)
            engine->requestMapChange("recording.ini");
    };
    engine->mainLoop();
    EXPECT_EQ(widthsSeen, (std::vector<int>{1024, 1024, 1024}));
    EXPECT_EQ(engine->display->height, 600);
    EXPECT_EQ(engine->input->display, engine->display.get());
    EXPECT_NE(engine->audio, nullptr);
    EXPECT_FALSE(engine->videoRestartPending);
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 800);
}

TEST_F(EngineLoop, CloseOrQuitEndsTheLoopAfterThePassAndLeavesLaterEventsQueued) {
    screen->onUpdate = [this](int pass) {
        if (pass == 0) {
            engine->requestMapChange("never.ini");
            push(SDL_QUIT);
            push(SDL_MOUSEMOTION, 10, 10);
        }
    };
    engine->mainLoop();
    EXPECT_EQ(screen->passes, 1);
    EXPECT_EQ(engine->resources->currentMap(), screen);  // the change was dropped
    EXPECT_TRUE(screen->calls.empty());
    SDL_Event event;
    ASSERT_EQ(SDL_PollEvent(&event), 1);
    EXPECT_EQ(event.type, SDL_MOUSEMOTION);
    engine->mapChangePending = false;
    screen->onUpdate = [this](int) { engine->requestQuit(); };
    engine->mainLoop();
    EXPECT_EQ(screen->passes, 2);
    EXPECT_FALSE(engine->running);
}

TEST_F(EngineLoop, OnlyMotionAndTheLeftButtonReachTheScreenInScreenUnits) {
    for (Uint8 button :
         {SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
        push(SDL_MOUSEBUTTONDOWN, 100, 100, button);
        push(SDL_MOUSEBUTTONUP, 100, 100, button);
    }
    push(SDL_KEYDOWN);
    push(SDL_MOUSEBUTTONDOWN, 0, 767);  // bottom-left pixel
    push(SDL_MOUSEBUTTONUP, 1023, 0);
    push(SDL_MOUSEMOTION, 512, 384, 0, -256, 128);
    engine->input->pollEvents();
    // The bottom-left pixel is just above 0.75.
    EXPECT_EQ(screen->calls,
              (std::vector<std::string>{"pressed 0.000000 0.749023 1.000000",
                                        "released 0.999023 0.000000 1.000000",
                                        "moved 0.500000 0.375000 -0.250000 0.125000"}));
}
