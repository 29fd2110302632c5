// Expert in "players.ini": the new-game screen writes it as the Hard level with "Expert" = 1,
// and the game reads it back from there; a level chosen since by a reader that knows only the
// levels (and left the key alone) wins over it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/game_engine.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::writeFile;

TEST(ExpertInPlayersIni, TheNewGameScreenAndTheGameAgree) {
    writeFile("players.ini",
              "[1]\nAI Controlled = 1\nDifficulty = 3\nExpert = 1\n"
              "[2]\nAI Controlled = 1\nDifficulty = 1\nExpert = 1\n");
    std::string screen = "[control]\nType = NewGameControl\niniFile = players.ini\n";
    for (const char* name : {"lstAiDifficulty1", "lstAiDifficulty2", "lstAiDifficulty3"}) {
        screen += std::string("[") + name + "]\nType = ListBox\nitem0 = Easy\nvalue0 = 1\n" +
                  "item1 = Hard\nvalue1 = 3\nitem2 = Expert\nvalue2 = expert\n";
    }
    writeFile("menu.ini", screen);
    auto menu = std::make_unique<Menu>();
    ASSERT_TRUE(menu->load("menu.ini", true));
    menu->host = gameEngine();
    auto list = [&menu](const char* name) { return static_cast<ListBox*>(menu->getObject(name)); };
    // Slot 2's key stands beside another level: that level holds.
    EXPECT_EQ(
        (std::vector<int>{list("lstAiDifficulty1")->selected, list("lstAiDifficulty2")->selected,
                          list("lstAiDifficulty3")->selected}),
        (std::vector<int>{2, 0, 1}));
    list("lstAiDifficulty1")->selected = 1;
    list("lstAiDifficulty2")->selected = 2;
    menu.reset();
    // Slot 3 never had an Expert: its section is written as an older version writes it.
    EXPECT_EQ(readFile("players.ini"),
              "[1]\nAI Controlled = \"1\"\nDifficulty = \"3\"\nExpert = \"0\"\n"
              "[2]\nAI Controlled = \"1\"\nDifficulty = \"3\"\nExpert = \"1\"\n"
              "[3]\ndifficulty = \"3\"\n");
    const BoardSetup setup = readBoardSetup();
    std::vector<std::pair<int, bool>> read;
    for (const BoardSetup::Slot& slot : setup.slots) {
        read.emplace_back(slot.difficulty, slot.expert);
    }
    EXPECT_EQ(read,
              (std::vector<std::pair<int, bool>>{{3, false}, {3, true}, {3, false}, {3, false}}));
}
