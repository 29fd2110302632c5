// The menu controller with the game's own data: menus switch on request, and a resolution
// change made on the settings screen re-creates the display at the switch, bringing back every
// texture, mesh, display list and the background board's batch; the game started afterwards
// draws with names of its own context only.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/game_engine.h"
#include "game/tile.h"
#include "menus/button.h"
#include "menus/game_board.h"
#include "menus/image.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "menus/menu_controller.h"
#include "render/player_colours.h"
#include "render/polyhedron.h"
#include "resources/package_writer.h"
#include "resources/static_mesh_package.h"
#include "resources/texture.h"
#include "resources/texture_package.h"
#include "support/gl_pixels.h"
#include "support/image_files.h"
#include "support/mesh_bytes.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::writeFile;

namespace {

// The main menu shows a texture of a package; the settings screen another of the same package,
// first asked for once the controller's screen is set up and the package's directory released.
// A mesh package is held as well.
class ControllerWithGameData : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy(TINTFALL_DATA_DIR, ".", std::filesystem::copy_options::recursive);
        ASSERT_EQ(chdir("game"), 0);
        std::string error;
        auto bmp = [](std::uint8_t shade) {
            return testing_support::makeBmp(2, 2, 24, testing_support::Bytes(12, shade));
        };
        ASSERT_TRUE(
            writePackage("../Textures/art.txp", {{"Sand", bmp(200)}, {"Stone", bmp(90)}}, error));
        testing_support::MeshImage triangle;
        triangle.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        triangle.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        triangle.texCoords = {{0, 0}, {1, 0}, {0, 1}};
        triangle.faces = {{0, 1, 2}};
        const std::string mesh = triangle.bytes();
        ASSERT_TRUE(writePackage("../Meshes/shapes.smp",
                                 {{"Tri", testing_support::Bytes(mesh.begin(), mesh.end())}},
                                 error));
        const char* image = "Type = Image\nLeft = 0.01\nRight = 0.05\nTop = 0.01\nBottom = 0.05\n";
        writeFile("Menus/mainMenu.ini", readFile("Menus/mainMenu.ini") +
                                            "\n[sand]\ntexture = \"art.txp>Sand\"\n" + image);
        writeFile("Menus/options.ini", readFile("Menus/options.ini") +
                                           "\n[stone]\ntexture = \"art.txp>Stone\"\n" + image);
        engine = std::make_unique<GameEngine>();
        engine->InitAll();
        engine->resources->createMap(GameEngine::controllerFile);
        ASSERT_TRUE(engine->resources->loadMap(GameEngine::controllerFile));
        ASSERT_TRUE(engine->resources->currentMap()->isMenuController());
        controller = static_cast<MenuController*>(engine->resources->currentMap());
    }

    void TearDown() override { engine.reset(); }

    // One frame of the engine's loop, without its event pump.
    void showMenu(const std::string& name) {
        if (!name.empty()) {
            controller->requestMenu(name);
        }
        controller->update();
        engine->renderFrame();
    }

    // Every texture and list that can be drawn is of the current context: each texture holds
    // its own image, and no two objects share a name (a name kept from an earlier context can
    // only be valid by chance, as another object's).
    void expectOnlyNamesOfThisContext(const std::vector<const Menu*>& menus) {
        const ResourceManager& resources = *engine->resources;
        std::vector<const Texture*> textures;
        std::vector<std::pair<GLuint, GLuint>> lists;  // first name, count
        for (const auto& texture : resources.textures()) {
            textures.push_back(texture.get());
        }
        for (const auto& package : resources.texturePackages()) {
            for (int i = 0; i < package->objectCount(); ++i) {
                textures.push_back(static_cast<const Texture*>(package->objectAt(i)));
            }
        }
        auto addMesh = [&lists](const Polyhedron* mesh) {
            if (mesh->listBuilt()) {
                lists.emplace_back(mesh->list(), 1);
            }
        };
        for (const auto& mesh : resources.meshes()) {
            addMesh(mesh.get());
        }
        for (const auto& package : resources.meshPackages()) {
            for (int i = 0; i < package->objectCount(); ++i) {
                addMesh(static_cast<const Polyhedron*>(package->objectAt(i)));
            }
        }
        std::vector<GLuint> textureNames;
        for (const Texture* texture : textures) {
            ASSERT_TRUE(glIsTexture(texture->glName())) << texture->name();
            glBindTexture(GL_TEXTURE_2D, texture->glName());
            GLint width = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            EXPECT_EQ(width, static_cast<GLint>(texture->width())) << texture->name();
            textureNames.push_back(texture->glName());
        }
        const StaticBatch& batch = engine->display->batch;
        for (int i = 0; i < batch.entryCount(); ++i) {
            EXPECT_NE(std::count(textureNames.begin(), textureNames.end(), batch.entry(i).texture),
                      0)
                << "batch entry " << i;
        }
        ASSERT_TRUE(batch.listValid);
        lists.emplace_back(batch.displayList, 1);
        for (const Menu* menu : menus) {
            for (int i = 0; i < menu->objectCount(); ++i) {
                if (const auto* button = dynamic_cast<const Button*>(menu->objectAt(i))) {
                    lists.emplace_back(button->displayLists, 3);
                }
            }
        }
        for (std::size_t i = 0; i < lists.size(); ++i) {
            for (GLuint list = lists[i].first; list < lists[i].first + lists[i].second; ++list) {
                EXPECT_EQ(glIsList(list), GL_TRUE) << list;
            }
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_TRUE(lists[i].first + lists[i].second <= lists[j].first ||
                            lists[j].first + lists[j].second <= lists[i].first)
                    << "lists " << lists[i].first << " and " << lists[j].first << " overlap";
            }
        }
    }

    std::unique_ptr<GameEngine> engine;
    MenuController* controller = nullptr;
};

}  // namespace

TEST_F(ControllerWithGameData, BackgroundBoardIsPlayedByTheComputerAndMenusSwitchOnRequest) {
    ASSERT_NE(controller->board, nullptr);
    EXPECT_GT(controller->board->tiles().size(), 100u);
    for (const Player& player : controller->board->players) {
        EXPECT_FALSE(player.isHuman);
        EXPECT_EQ(player.difficulty, 3);
    }
    EXPECT_GT(engine->display->batch.entryCount(), 100);
    EXPECT_EQ(controller->currentMenu->fileName(), "mainMenu.ini");
    EXPECT_EQ(controller->currentMenu->parent, controller);
    // Two requests in one frame show only the second menu; leaving the settings unchanged keeps
    // the display.
    const Display* before = engine->display.get();
    controller->requestMenu("Menus\\newGame.ini");
    showMenu("Menus\\options.ini");
    EXPECT_EQ(controller->currentMenu->fileName(), "options.ini");
    EXPECT_FALSE(controller->menuChangeRequested);
    showMenu("Menus\\mainMenu.ini");
    EXPECT_EQ(engine->display.get(), before);
    EXPECT_TRUE(engine->videoRestartPending);  // stands for the next screen change of the engine
}

// The walk that used to draw the game's board in flat colours: Settings, 1280 x 720, Back, New
// game, Standard. The controller re-creates the display at the switch from the settings file it
// has just written, the engine once more when the game's screen is loaded; each time, only
// names of the new context are drawn.
TEST_F(ControllerWithGameData, AfterEachDisplayRestartOnlyNamesOfTheNewContextAreDrawn) {
    // Held by the manager until the screen changes.
    auto* triangle =
        static_cast<Polyhedron*>(engine->resources->getPackageMesh("shapes.smp", "Tri"));
    ASSERT_NE(triangle, nullptr);
    triangle->buildLists();
    ASSERT_NE(static_cast<Image*>(controller->currentMenu->getObject("sand"))->texture, nullptr);

    showMenu("Menus\\options.ini");
    const Texture* stone =
        static_cast<Image*>(controller->currentMenu->getObject("stone"))->texture;
    ASSERT_NE(stone, nullptr);  // read again from the released package
    EXPECT_EQ(stone->pixels()[0], 90);
    static_cast<ListBox*>(controller->currentMenu->getObject("lstResolution"))
        ->selectByValue("1280 720");
    showMenu("");
    EXPECT_TRUE(controller->displayResetRequested);
    EXPECT_EQ(engine->display->width, 1024);  // nothing happens before the switch
    showMenu("Menus\\mainMenu.ini");
    EXPECT_FALSE(controller->displayResetRequested);
    EXPECT_EQ(engine->display->width, 1280);
    EXPECT_EQ(engine->display->height, 720);
    EXPECT_EQ(engine->input->display, engine->display.get());
    EXPECT_GT(engine->display->batch.entryCount(), 100);
    EXPECT_EQ(engine->resources->getPackageTexture("art.txp", "Stone"), stone);
    expectOnlyNamesOfThisContext({controller->currentMenu.get(), controller->board->hudMenu.get()});

    showMenu("Menus\\newGame.ini");
    static_cast<Button*>(controller->currentMenu->getObject("standard"))->execute();
    ASSERT_TRUE(engine->mapChangePending);
    const Display* before = engine->display.get();
    engine->changeMap();
    ASSERT_TRUE(engine->resources->currentMap()->isGameBoard());
    auto* board = static_cast<GameBoard*>(engine->resources->currentMap());
    EXPECT_NE(engine->display.get(), before);
    ASSERT_EQ(engine->display->width, 1280);
    // The screen change dropped every package, texture and mesh; the board read its own anew.
    EXPECT_TRUE(engine->resources->texturePackages().empty());
    EXPECT_TRUE(engine->resources->meshPackages().empty());
    engine->renderFrame();
    board->update();
    engine->renderFrame();
    ASSERT_GT(engine->display->batch.entryCount(), 100);
    expectOnlyNamesOfThisContext({board->hudMenu.get()});

    // The cells are shaded by their texture: the middle of a red, green, blue, yellow, magenta
    // or cyan cell is darker than its flat colour.
    int seen = 0;
    for (const Tile* tile : board->tiles()) {
        if (tile->getTypeId() != 35 || tile->colour < 1 || tile->colour > 6 || ++seen > 20) {
            continue;
        }
        const auto pixel =
            testing_support::pixelAt(*engine->display, tile->position.x, tile->position.y);
        const float* flat = playerColour(tile->colour);
        for (std::size_t c = 0; c < 3; ++c) {
            if (flat[c] == 1.0f) {
                EXPECT_GT(pixel[c], 200) << "cell " << tile->row << "," << tile->col;
                EXPECT_LT(pixel[c], 250) << "cell " << tile->row << "," << tile->col;
            }
        }
    }
    EXPECT_GT(seen, 20);
}
