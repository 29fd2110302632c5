// The engine on a real window under X: the window's size from "settings.ini" and the projection,
// the frame loop's request semantics, the input handler, the menu controller with the game's own
// data, and what menus look like on a real GL: panel and button fills, the raised and sunken
// frames, the highlight, disabled widgets, captions and list rows, a textured image, and the
// in-game display's panels and scores following the board. (Seen end to end instead: the default
// size, the grey clear and the caption by tests/e2e_game_window.sh; a screen that cannot be
// loaded leading back to the menus by tests/e2e_hostile_data.sh; a resolution chosen on the
// settings screen re-creating the window at the switch, drawn anew, by tests/e2e_settings.sh and
// tests/e2e_player_session.sh.)
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/game_engine.h"
#include "game/player_start.h"
#include "menus/button.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "platform/platform.h"
#include "support/gl_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A screen that records what reaches it and runs a script in each update.
struct RecordingMap : Map {
    std::function<void(int pass)> onUpdate = [](int) {};
    std::function<void()> onDestroy = [] {};
    std::vector<std::vector<double>> calls;  // 0 moved, 1 pressed, 2 released; the arguments
    std::function<void()> onRelease = [] {};
    int passes = 0;
    int draws = 0;

    ~RecordingMap() override { onDestroy(); }
    bool loadIniFile(IniFile&) override { return true; }
    void additionalSetup() override {}
    void update() override { onUpdate(passes++); }
    void draw() override { ++draws; }
    void mouseMoved(double x, double y, double u, double v) override {
        calls.push_back({0, x, y, u, v});
    }
    void mouseButtonPressed(double x, double y, int b) override {
        calls.push_back({1, x, y, 1.0 * b});
    }
    void mouseButtonReleased(double x, double y, int b) override {
        calls.push_back({2, x, y, 1.0 * b});
        onRelease();
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
        engine->resources->screenFactory = [](const std::string& name) -> std::unique_ptr<Map> {
            if (name.rfind("recording", 0) != 0)
                return nullptr;
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
};

Rgb scaled(double r, double g, double b) {
    return {int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5)};
}

// How many pixels of a rectangle in screen units are near a colour.
int countNear(const Display& display, double left, double top, double right, double bottom,
              const Rgb& colour, int tolerance = 40) {
    int count = 0;
    for (const Rgb& pixel : pixelsIn(display, left, top, right, bottom))
        count += near(pixel, colour, tolerance) ? 1 : 0;
    return count;
}

// The colour of the horizontal line drawn along y, whichever pixel row it fell on.
bool lineOfColour(const Display& display, double x, double y, const Rgb& colour) {
    const double pixel = 1.0 / display.width;
    return countNear(display, x, y - 1.5 * pixel, x + pixel, y + 1.5 * pixel, colour, 8) > 0;
}

std::string section(const std::string& name, const std::string& type, double left, double right,
                    double top, double bottom, const std::string& keys) {
    return "[" + name + "]\nType = " + type + "\nLeft = " + std::to_string(left) +
           "\nRight = " + std::to_string(right) + "\nTop = " + std::to_string(top) +
           "\nBottom = " + std::to_string(bottom) + "\n" + keys;
}

}  // namespace

TEST_F(EngineLoop, TwoChangeRequestsInOneFrameLoadOnlyTheLastNameAndARestartWaitsForTheChange) {
    std::vector<int> widthsSeen;
    screen->onUpdate = [&](int pass) {
        widthsSeen.push_back(engine->display->width);
        if (pass == 0)
            engine->requestVideoRestart();
        if (pass == 2) {
            engine->requestMapChange("first.bord");  // would log a load failure if tried
            engine->requestMapChange("recording.ini");
        }
    };
    // What a settings screen does when it is left: the new window has the size it wrote.
    screen->onDestroy = [&] {
        writeFile("settings.ini", "[resolution]\nwidth = 640\nheight = 480\n");
        engine->requestVideoRestart();
    };
    engine->mainLoop();
    EXPECT_EQ(widthsSeen, (std::vector<int>{1024, 1024, 1024}));
    Map* current = engine->resources->currentMap();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->fileName(), "recording.ini");
    EXPECT_EQ(static_cast<RecordingMap*>(current)->passes, 1);
    EXPECT_EQ(engine->input->eventTarget, current);
    EXPECT_EQ(current->input, engine->input.get());
    EXPECT_FALSE(engine->mapChangePending);
    EXPECT_EQ(engine->input->display, engine->display.get());
    EXPECT_NE(engine->audio, nullptr);
    EXPECT_FALSE(engine->videoRestartPending);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 640);
    EXPECT_FALSE(fileExists("debug.log")) << readFile("debug.log");
}

TEST_F(EngineLoop, CloseEndsTheLoopAfterThePassAndOnlyMotionAndTheLeftButtonReachTheScreen) {
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
    // Only motion and the left button reach the screen, in screen units.
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
    EXPECT_EQ(screen->calls, (std::vector<std::vector<double>>{{1, 0, 767 / 1024.0, 1},
                                                               {2, 1023 / 1024.0, 0, 1},
                                                               {0, 0.5, 0.375, -0.25, 0.125}}));
}

TEST_F(EngineLoop, AComputerMoveShownInTheUpdateIsThePassOnlyFrame) {
    std::vector<int> drawsBeforeUpdate;
    screen->onUpdate = [&](int pass) {
        drawsBeforeUpdate.push_back(screen->draws);
        if (pass == 0)
            engine->drawFrameNow();  // a computer's move
        if (pass == 1)
            push(SDL_MOUSEBUTTONUP, 10, 10);  // a person's move, played while input is read
        if (pass == 3)
            push(SDL_QUIT);
    };
    screen->onRelease = [&] { engine->drawFrameNow(); };
    engine->mainLoop();
    // Pass 0 shows only its move; pass 1 draws its frame and then the person's move, and pass 2
    // still draws its own.
    EXPECT_EQ(drawsBeforeUpdate, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(screen->draws, 5);
}

TEST(Display, WindowSizeAndProjectionFollowTheSettingsFile) {
    // Sizes beyond what X can hold are never asked for: the first such request used to leave
    // SDL's window broken, and the next buffer swap ended the program with an X error. Negative
    // sizes open a window all the same (the desktop's), and the size actually opened is what the
    // projection and the mouse use.
    const struct {
        const char* settings;
        std::pair<int, int> size;  // 0 x 0: whatever the desktop gives
        const char* log;
    } cases[] = {
        {"[Resolution]\nWIDTH = \"1280\"\nHeight = 1024\n", {1280, 1024}, ""},
        {"[resolution]\nwidth = 16384\nheight = 100\n",
         {1024, 768},
         "Unusable window size in settings.ini: 16384 x 100\nError: Unable to create SDL OpenGL "
         "screen (16384 x 100); opening 1024 x 768 instead\n"},
        {"[resolution]\nwidth = -640\nheight = -480\n",
         {0, 0},
         "Unusable window size in settings.ini: -640 x -480\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        ScratchDirectory scratch;
        writeFile("settings.ini", c.settings);
        {
            Display display;
            ASSERT_TRUE(display.windowOpen);
            const std::pair<int, int> size(display.width, display.height);
            EXPECT_EQ(std::make_pair(SDL_GetVideoSurface()->w, SDL_GetVideoSurface()->h), size);
            EXPECT_EQ(c.size.first != 0 ? c.size : size, size);
            GLdouble projection[16];
            glGetDoublev(GL_PROJECTION_MATRIX, projection);
            EXPECT_NEAR(-2.0 / projection[5], double(display.height) / display.width, 1e-6);
            glClear(GL_COLOR_BUFFER_BIT);
            SDL_GL_SwapBuffers();
        }
        // The display can be made again once it is gone.
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        EXPECT_EQ(readFile("debug.log"), c.log);
    }
}

TEST(MenuController, BackgroundBoardIsPlayedByTheComputerAndMenusSwitchOnRequest) {
    std::filesystem::copy(TINTFALL_DATA_DIR, ".", std::filesystem::copy_options::recursive);
    ASSERT_EQ(chdir("game"), 0);
    GameEngine engine;
    engine.InitAll();
    engine.resources->createMap(GameEngine::controllerFile);
    ASSERT_TRUE(engine.resources->loadMap(GameEngine::controllerFile));
    ASSERT_TRUE(engine.resources->currentMap()->isMenuController());
    auto* controller = static_cast<MenuController*>(engine.resources->currentMap());
    ASSERT_NE(controller->board, nullptr);
    for (const Player& player : controller->board->players)
        EXPECT_TRUE(!player.isHuman && player.difficulty == 3);
    EXPECT_GT(engine.display->batch.entryCount(), 100);
    EXPECT_EQ(controller->currentMenu->fileName(), "mainMenu.ini");
    EXPECT_EQ(controller->currentMenu->parent, controller);
    // Two requests in one frame show only the second menu; leaving the settings unchanged keeps
    // the display.
    const Display* before = engine.display.get();
    controller->requestMenu("Menus\\newGame.ini");
    controller->requestMenu("Menus\\options.ini");
    controller->update();
    EXPECT_EQ(controller->currentMenu->fileName(), "options.ini");
    // A frame handed its time is shown no sooner.
    const std::uint32_t drawn = platform::milliseconds();
    ASSERT_TRUE(engine.showNextFrameAt(drawn + 100));
    engine.renderFrame();
    EXPECT_GE(platform::milliseconds() - drawn, 100u);
    controller->requestMenu("Menus\\mainMenu.ini");
    controller->update();
    EXPECT_EQ(controller->currentMenu->fileName(), "mainMenu.ini");
    EXPECT_EQ(engine.display.get(), before);
    EXPECT_TRUE(engine.videoRestartPending);  // stands for the next screen change of the engine
}

TEST(MenuDrawing, WidgetsLookAsTheirStatesSayAndTheHudFollowsTheBoard) {
    makeDirectory("game");
    makeDirectory("Textures");
    writeFile("Textures/Hex.bmp", readFile(std::string(TINTFALL_DATA_DIR) + "/Textures/Hex.bmp"));
    ASSERT_EQ(chdir("game"), 0);
    auto display = std::make_unique<Display>();
    ASSERT_TRUE(display->windowOpen);
    PlayerStart starts[2];  // for the HUD, made before the resources they would look up
    GameBoard board;
    ResourceManager resources;
    const std::string button = "colBlue = 0.8\n";
    const std::string yellow = "textColRed = 1\ntextColGreen = 1\n";
    std::string list = "itemHeight = 0.045\ncolRed = 0.1\ncolGreen = 0.1\ncolBlue = 0.1\n" +
                       yellow + "textColBlue = 1\n";
    for (int i = 0; i < 6; ++i)
        list += "item" + std::to_string(i) + " = IIIIIIII\n";
    writeFile("menu.ini",
              section("background", "Panel", 0.05, 0.95, 0.02, 0.7,
                      "colRed = 0.2\ncolGreen = 0.3\ncolBlue = 0.4\n") +
                  section("picture", "Image", 0.06, 0.2, 0.05, 0.19, "texture = Hex.bmp\n") +
                  section("caption", "TextBox", 0.25, 0.6, 0.05, 0.12, "Text = IIIIII\n" + yellow) +
                  section("raised", "QuitButton", 0.25, 0.45, 0.2, 0.28,
                          button + "text = IIII\n" + yellow) +
                  section("sunken", "QuitButton", 0.5, 0.7, 0.2, 0.28, button) +
                  section("disabled", "QuitButton", 0.75, 0.9, 0.2, 0.28, button) +
                  section("list", "ListBox", 0.25, 0.6, 0.35, 0.55, list));
    Menu menu;
    ASSERT_TRUE(menu.load("menu.ini", true));
    auto& sunken = *static_cast<Button*>(menu.getObject("sunken"));
    sunken.highlight();
    sunken.pressed = true;
    static_cast<Button*>(menu.getObject("disabled"))->enabled = false;
    static_cast<ListBox*>(menu.getObject("list"))->selected = 1;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    EXPECT_TRUE(near(pixelAt(*display, 0.5, 0.65), scaled(0.2, 0.3, 0.4)));
    // The image shows the cell texture: light grey in its middle.
    const Rgb image = pixelAt(*display, 0.13, 0.12);
    EXPECT_GT(image[0], 200);
    EXPECT_TRUE(near({image[0], image[0], image[0]}, image, 2));
    // The caption is drawn in its text colour inside its box.
    EXPECT_GT(countNear(*display, 0.25, 0.05, 0.6, 0.12, {255, 255, 0}), 40);
    // Raised: light above, dark below; its caption in the text colour on the fill.
    EXPECT_TRUE(near(pixelAt(*display, 0.35, 0.26), scaled(0, 0, 0.8)));
    EXPECT_TRUE(lineOfColour(*display, 0.35, 0.2, {255, 255, 255}));
    EXPECT_TRUE(lineOfColour(*display, 0.35, 0.28, {0, 0, 0}));
    EXPECT_GT(countNear(*display, 0.25, 0.2, 0.45, 0.28, {255, 255, 0}), 20);
    // Pressed and highlighted: sunken, and the fill pulled 15 % towards mid grey.
    EXPECT_TRUE(near(pixelAt(*display, 0.6, 0.26), scaled(0.075, 0.075, 0.8 * 0.85 + 0.075)));
    EXPECT_TRUE(lineOfColour(*display, 0.6, 0.2, {0, 0, 0}));
    EXPECT_TRUE(lineOfColour(*display, 0.6, 0.28, {255, 255, 255}));
    EXPECT_TRUE(near(pixelAt(*display, 0.82, 0.26), scaled(0.5, 0.5, 0.5)));  // disabled: grey
    // The list: background, the selected row in inverted colours, four whole rows drawn and
    // the fifth, which does not fit, left out.
    EXPECT_TRUE(near(pixelAt(*display, 0.58, 0.36), scaled(0.1, 0.1, 0.1)));
    EXPECT_TRUE(near(pixelAt(*display, 0.58, 0.35 + 0.002 + 0.045 * 1.5), scaled(0.9, 0.9, 0.9)));
    for (int row = 0; row < 4; ++row) {
        const double top = 0.35 + 0.002 + row * 0.045;
        const Rgb text = row == 1 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
        EXPECT_GT(countNear(*display, 0.25, top, 0.6, top + 0.043, text), 10) << "row " << row;
    }
    EXPECT_EQ(countNear(*display, 0.25, 0.35 + 0.002 + 4 * 0.045, 0.6, 0.549, {255, 255, 255}), 0);

    // In a window made anew, the buttons build their shapes again.
    display.reset();
    display = std::make_unique<Display>();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    EXPECT_TRUE(near(pixelAt(*display, 0.35, 0.26), scaled(0, 0, 0.8)));
    // The in-game display: panels and scores follow the board.
    // Player 0 (green, on turn) and player 1, inactive: a panel row each, with a score text over
    // its right half.
    board.numPlayers = 2;
    std::string hud;
    for (int i = 0; i < 2; ++i) {
        starts[i].playerColour = 2;
        Player& record = board.players.emplace_back();
        record.index = i;
        record.shownScore = 888;
        record.active = i == 0;
        record.startTile = &starts[i];
        const std::string n = std::to_string(i);
        hud += section("panel" + n, "PlayerPanel", 0.1, 0.9, 0.05 + 0.2 * i, 0.2 + 0.2 * i,
                       "player = " + n + "\ncolRed = 1\n") +
               section("score" + n, "PlayerScoreText", 0.5, 0.9, 0.05 + 0.2 * i, 0.2 + 0.2 * i,
                       "Player = " + n + "\n");
    }
    writeFile("hud.ini", hud);
    Menu hudMenu;
    ASSERT_TRUE(hudMenu.load("hud.ini", true));
    hudMenu.parent = &board;
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    hudMenu.draw();
    // The panel in the dark palette's green, the score's strokes in the player's; nothing at all
    // for the inactive player.
    EXPECT_TRUE(near(pixelAt(*display, 0.3, 0.12), {0, 145, 0}, 0));
    EXPECT_GT(countNear(*display, 0.5, 0.05, 0.9, 0.2, {0, 255, 0}, 0), 100);
    EXPECT_EQ(countNear(*display, 0.1, 0.25, 0.9, 0.4, {0, 0, 255}, 0),
              int(pixelsIn(*display, 0.1, 0.25, 0.9, 0.4).size()));
    EXPECT_FALSE(fileExists("debug.log")) << readFile("debug.log");
}
