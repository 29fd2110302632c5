// The menu controller with the game's own data: menus switch on request, and a resolution
// change made on the settings screen re-creates the display at the switch, bringing back every
// texture, mesh, display list and the background board's batch.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/game_engine.h"
#include "game/game_board.h"
#include "game/tile.h"
#include "menus/button.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "render/polyhedron.h"
#include "resources/texture.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;

namespace {

class ControllerWithGameData : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string copy = "cp -r '" + std::string(TINTFALL_DATA_DIR) + "/.' .";
        ASSERT_EQ(std::system(copy.c_str()), 0);
        ASSERT_EQ(chdir("game"), 0);
        engine = std::make_unique<GameEngine>();
        engine->InitAll();
        engine->resources->createMap(GameEngine::controllerFile);
        ASSERT_TRUE(engine->resources->loadMap(GameEngine::controllerFile));
        ASSERT_TRUE(engine->resources->currentMap()->isMenuController());
        controller = static_cast<MenuController*>(engine->resources->currentMap());
    }

    void TearDown() override { engine.reset(); }

    // One frame of the engine's loop, without its event pump.
    void frame() {
        controller->update();
        engine->renderFrame();
    }

    ScratchDirectory scratch;
    std::unique_ptr<GameEngine> engine;
    MenuController* controller = nullptr;
};

}  // namespace

TEST_F(ControllerWithGameData, BackgroundBoardIsPlayedByTheComputerInItsBatch) {
    ASSERT_NE(controller->board, nullptr);
    EXPECT_GT(controller->board->tiles().size(), 100u);
    for (const Player& player : controller->board->players) {
        EXPECT_FALSE(player.isHuman);
        EXPECT_EQ(player.difficulty, 3);
    }
    EXPECT_GT(engine->display->batch.entryCount(), 100);
    ASSERT_NE(controller->currentMenu, nullptr);
    EXPECT_EQ(controller->currentMenu->fileName(), "mainMenu.ini");
    EXPECT_EQ(controller->currentMenu->parent, controller);
}

TEST_F(ControllerWithGameData, TwoRequestsInOneFrameShowOnlyTheSecondMenu) {
    controller->requestMenu("Menus\\newGame.ini");
    controller->requestMenu("Menus\\howToPlay.ini");
    frame();
    EXPECT_EQ(controller->currentMenu->fileName(), "howToPlay.ini");
    EXPECT_FALSE(controller->menuChangeRequested);
}

TEST_F(ControllerWithGameData, LeavingSettingsUnchangedKeepsTheDisplay) {
    const Display* before = engine->display.get();
    controller->requestMenu("Menus\\options.ini");
    frame();
    controller->requestMenu("Menus\\mainMenu.ini");
    frame();
    EXPECT_EQ(engine->display.get(), before);
    EXPECT_TRUE(engine->videoRestartPending);  // stands for the next screen change of the engine
}

TEST_F(ControllerWithGameData, ANewResolutionRebuildsEverythingAtTheSwitch) {
    controller->requestMenu("Menus\\options.ini");
    frame();
    auto* resolutions = static_cast<ListBox*>(controller->currentMenu->getObject("lstResolution"));
    ASSERT_NE(resolutions, nullptr);
    resolutions->selectByValue("800 600");
    frame();
    EXPECT_TRUE(controller->displayResetRequested);
    EXPECT_EQ(engine->display->width, 1024);  // nothing happens before the switch

    controller->requestMenu("Menus\\mainMenu.ini");
    frame();
    EXPECT_FALSE(controller->displayResetRequested);
    EXPECT_EQ(engine->display->width, 800);
    EXPECT_EQ(engine->display->height, 600);
    EXPECT_EQ(engine->input->display, engine->display.get());
    EXPECT_NE(readFile("settings.ini").find("width = \"800\""), std::string::npos);

    // The new context holds the batch, the textures, the meshes' lists and the buttons' lists.
    EXPECT_GT(engine->display->batch.entryCount(), 100);
    EXPECT_TRUE(engine->display->batch.listValid);
    EXPECT_EQ(glIsList(engine->display->batch.displayList), GL_TRUE);
    for (const auto& texture : engine->resources->textures()) {
        EXPECT_EQ(glIsTexture(texture->glName()), GL_TRUE) << texture->name();
    }
    for (const auto& mesh : engine->resources->meshes()) {
        EXPECT_EQ(glIsList(mesh->list()), GL_TRUE) << mesh->name();
    }
    auto* quit = static_cast<Button*>(controller->currentMenu->getObject("quit"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(glIsList(quit->displayLists), GL_TRUE);
    const Menu* hud = controller->board->hudMenu.get();
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(glIsList(static_cast<const Button*>(hud->objectAt(0))->displayLists), GL_TRUE);

    // And the board shows: its first cell (a start cell's neighbour) is drawn, not background.
    engine->renderFrame();
    const Tile* cell = controller->board->tiles()[1];
    unsigned char rgba[4];
    glReadBuffer(GL_FRONT);
    glReadPixels(static_cast<int>(cell->position.x * 800),
                 599 - static_cast<int>(cell->position.y * 800), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba);
    glReadBuffer(GL_BACK);
    EXPECT_FALSE(rgba[0] == 178 && rgba[1] == 178 && rgba[2] == 178);
}
