// Expert in "players.ini": the new-game screen writes it as the Hard level with "Expert" = 1,
// and the game reads it back from there; a level chosen since by a reader that knows only the
// levels (and left the key alone) wins over it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "menus/game_board.h"
#include "menus/list_box.h"
#include "menus/menu.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(ExpertInPlayersIni, TheNewGameScreenAndTheGameAgree) {
    writeFile("players.ini",
              "[1]\nAI Controlled = 1\nDifficulty = 3\nExpert = 1\n"
              "[2]\nAI Controlled = 1\nDifficulty = 1\nExpert = 1\n");
    std::string screen = "[control]\nType = NewGameControl\niniFile = players.ini\n";
    for (const char* slot : {"1", "2", "3"})
        screen += std::string("[lstAiDifficulty") + slot + "]\nType = ListBox\nitem0 = Easy\n" +
                  "value0 = 1\nitem1 = Hard\nvalue1 = 3\nitem2 = Expert\nvalue2 = expert\n";
    writeFile("menu.ini", screen);
    auto menu = std::make_unique<Menu>();
    ASSERT_TRUE(menu->load("menu.ini", true));
    menu->host = gameEngine();
    std::vector<ListBox*> lists;
    for (const char* name : {"lstAiDifficulty1", "lstAiDifficulty2", "lstAiDifficulty3"})
        lists.push_back(static_cast<ListBox*>(menu->getObject(name)));
    // Slot 2's key stands beside another level: that level holds.
    EXPECT_EQ((std::vector<int>{lists[0]->selected, lists[1]->selected, lists[2]->selected}),
              (std::vector<int>{2, 0, 1}));
    lists[0]->selected = 1;
    lists[1]->selected = 2;
    menu.reset();
    // Slot 3 never had an Expert: its section is written as an older version writes it.
    EXPECT_EQ(readFile("players.ini"),
              "[1]\nAI Controlled = \"1\"\nDifficulty = \"3\"\nExpert = \"0\"\n"
              "[2]\nAI Controlled = \"1\"\nDifficulty = \"3\"\nExpert = \"1\"\n"
              "[3]\ndifficulty = \"3\"\n");
    std::string read;
    for (const BoardSetup::Slot& slot : readBoardSetup().slots)
        read += std::to_string(slot.difficulty) + (slot.expert ? "E " : " ");
    EXPECT_EQ(read, "3 3E 3 3 ");
}
