// The menu controller with the game's own data: the background board played by the computer,
// and menus switched on request. (A resolution chosen on the settings screen re-creates the
// window at the switch, drawn anew: tests/e2e_settings.sh and tests/e2e_player_session.sh.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "engine/game_engine.h"
#include "menus/game_board.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"

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
    EXPECT_GT(controller->board->tiles().size(), 100u);
    for (const Player& player : controller->board->players) {
        EXPECT_FALSE(player.isHuman);
        EXPECT_EQ(player.difficulty, 3);
    }
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
    EXPECT_FALSE(controller->menuChangeRequested);
    engine.renderFrame();
    controller->requestMenu("Menus\\mainMenu.ini");
    controller->update();
    engine.renderFrame();
    EXPECT_EQ(controller->currentMenu->fileName(), "mainMenu.ini");
    EXPECT_EQ(engine.display.get(), before);
    EXPECT_TRUE(engine.videoRestartPending);  // stands for the next screen change of the engine
}
