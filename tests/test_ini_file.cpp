#include <gtest/gtest.h>
#include <sys/stat.h>

#include "resources/ini_file.h"
#include "support/test_support.h"

using namespace testing_support;

// Reads `text` as the body of "body.ini" after a first line "[s]", so key lines have a home.
static IniFile readBody(const std::string& text) {
    std::istringstream in("[s]\n" + text);
    return IniFile("body.ini", in);
}

TEST(IniReading, LinesFollowTheScanRules) {
    // Expected: "[name]" for a section header, "key=value" for an entry. There is no comment
    // syntax.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"[audio]", "[audio]"}, {"[ audio ]", "[audio]"}, {"[audio] trailing text", "[audio]"},
        {"[audio]x", "[audio]x]"}, {"[]", "[]"}, {"   \t[game]", "[game]"},
        {"key=value", "key=value"}, {"  key   =   value", "key=value"}, {"my key = 1", "my key=1"},
        {"key = \"  padded  \"", "key=  padded  "}, {"key = \"a\" b", "key=a"}, {"key =", "key="},
        {"url = a=b", "url=a=b"}, {"q = say \"hi\"", "q=say \"hi\""},
        {"crlf = value\r", "crlf=value"},
        {"# key = x", "# key=x"}};
    // clang-format on
    for (const auto& c : cases) {
        const IniFile ini = readBody(std::string(c.first) + "\n");
        const auto& entries = ini.sections()[0].entries;
        EXPECT_EQ(c.second[0] == '['    ? "[" + ini.sectionName(1) + "]"
                  : entries.size() == 1 ? entries[0].key + "=" + entries[0].value
                                        : "?",
                  c.second)
            << c.first;
    }
    // Lines that are neither are skipped, as are keys before any section.
    std::istringstream in("orphan = 1\n[a]\n= value\n; comment\n\n   \nlast = 7");
    const IniFile ini("t.ini", in);
    EXPECT_TRUE(ini.sectionCount() == 1 && ini.sections()[0].entries.size() == 1 &&
                ini.getInt("a", "last", 0) == 7 && !fileExists("debug.log"));
}

TEST(IniReading, FilesThatCannotBeReadAsTextAreNamed) {
    makeDirectory("folder.ini");
    ASSERT_EQ(mkfifo("pipe.ini", 0600), 0);  // nobody writes: opening it would wait for good
    writeFile("binary.ini", std::string("[s]\nk = 1\n\x01\x02\0[t]\n", 16));
    writeFile("quote.ini", "[s]\nkey = \"a\r\n");
    // clang-format off
    const std::tuple<const char*, int, std::string> cases[] = {
        {"missing.ini", 0, ""}, {"folder.ini", 0, "Unable to read ini file 'folder.ini'\n"},
        {"pipe.ini", 0, "Unable to read ini file 'pipe.ini'\n"},
        {"binary.ini", 1, "Ini file 'binary.ini' is not text (line 3)\n"},
        {"quote.ini", 1, "Invalid ini option 'a'. trailing \" expected\n"
                         "Ini file 'quote.ini', line 2: a quote is not closed\n"}};
    // clang-format on
    for (const auto& [name, sections, log] : cases) {
        std::remove("debug.log");
        const IniFile ini(name);
        // An unclosed quote keeps the key, with an empty value.
        EXPECT_EQ(std::make_tuple(ini.sectionCount(), readFile("debug.log"),
                                  ini.getString("s", "key", "-")),
                  std::make_tuple(sections, log, name == std::string("quote.ini") ? "" : "-"))
            << name;
    }
    const IniFile missing("missing.ini");
    EXPECT_TRUE(missing.sectionName(3).empty() && missing.getInt(3, "b", 9) == 9);
}

TEST(IniReading, OverlongLinesNamesAndValuesAreSkippedWithALine) {
    const std::string okKey(IniFile::maxNameLength, 'k');
    const std::string okValue(IniFile::maxValueLength, 'v');
    // Lines of 1024 characters are too long, of 1023 not (padded with spaces to the limit).
    const std::string full = okKey + "=" + okValue;
    writeFile("long.ini", "[a]\n" + full + std::string(1024 - full.size(), ' ') + "\n" + okKey +
                              "k=2\nv=" + okValue + "v\n[" + std::string(256, 'S') + "]\n" + full +
                              std::string(1023 - full.size(), ' ') + "\nafter = 3\n");
    IniFile ini("long.ini");
    ASSERT_TRUE(ini.sectionCount() == 1 && ini.sections()[0].entries.size() == 2);
    EXPECT_EQ(ini.sections()[0].entries[0].key + "=" + ini.sections()[0].entries[0].value, full);
    EXPECT_EQ(ini.getInt("a", "after", 0), 3);
    const std::string log = readFile("debug.log");
    for (const char* line : {"line 2: line too long", "line 3: key too long",
                             "line 4: value too long", "line 5: section name too long"})
        EXPECT_NE(log.find(line), std::string::npos) << log;
}

TEST(IniLookup, FirstMatchIgnoringCaseAndNumbersAsAtoiReadsThem) {
    const IniFile ini = readBody(
        "word = abc\nlead = 12px\nspace =   -7\nplus = +5\nfloat = 0.125x\nhuge = "
        "99999999999999999999\nsmall = -99999999999999999999\nWord = 3\n[S]\nk = 4\n");
    // Present but not a number: 0, not the default; the first section of a name only; by
    // index both are seen.
    // clang-format off
    const std::pair<int, int> ints[] = {
        {ini.getInt("s", "WORD", 1024), 0}, {ini.getInt("s", "lead", 0), 12},
        {ini.getInt("s", "space", 0), -7}, {ini.getInt("s", "plus", 0), 5},
        {ini.getInt("s", "huge", 0), 2147483647}, {ini.getInt("s", "small", 0), -2147483647 - 1},
        {ini.getInt("s", "k", -1), -1}, {ini.getInt(1, "K", 0), 4}};
    // clang-format on
    for (const auto& [got, expected] : ints)
        EXPECT_EQ(got, expected);
    EXPECT_DOUBLE_EQ(ini.getFloat("s", "float", 1.0), 0.125);
    EXPECT_DOUBLE_EQ(ini.getFloat("s", "word", 1.0) + ini.getFloat("s", "missing", 0.01), 0.01);
    EXPECT_EQ(objectNameOfSection("Menus\\Title.Button.ini"), "Title.Button");
}

TEST(IniWriting, SaveQuotesEveryValueAndKeepsWhatItDoesNotKnow) {
    writeFile("settings.ini", "; lost on save\n[audio]\nmasterVolume = 128\nk=1\nk=2\n[General]\n");
    IniFile ini("settings.ini");
    ini.setString("AUDIO", "MasterVolume", "96");  // the key keeps its own case
    ini.setString("general", "caption", "  New = game  ");
    ini.setString("1", "say", "a \"b\" c");  // written unchanged, cut when read back
    EXPECT_EQ(ini.findOrCreateEntry("2", "x", false), nullptr);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile("settings.ini"),
              "[audio]\nmasterVolume = \"96\"\nk = \"1\"\nk = \"2\"\n[General]\ncaption = \"  New "
              "= game  \"\n[1]\nsay = \"a \"b\" c\"\n");
    const IniFile again("settings.ini");
    EXPECT_EQ(again.getString("General", "Caption", "") + again.getString("1", "say", ""),
              "  New = game  a ");
}

TEST(IniWriting, FailuresKeepTheOldFileAndLeftoversAreReplaced) {
    makeDirectory("locked");
    writeFile("locked/settings.ini", "[resolution]\nwidth = 800\n");
    IniFile locked("locked\\settings.ini");
    locked.setString("resolution", "width", "1280");
    // A directory where the temporary file would go makes the write fail.
    makeDirectory("locked/settings.ini.new");
    EXPECT_FALSE(locked.save());
    EXPECT_EQ(readFile("locked/settings.ini"), "[resolution]\nwidth = 800\n");
    EXPECT_EQ(readFile("debug.log"), "Unable to write ini file 'locked\\settings.ini'\n");
    // A save killed half-way, and a pipe no one reads, under the temporary name.
    writeFile("a.ini.new", "[resolution]\nwid");
    ASSERT_EQ(mkfifo("b.ini.new", 0600), 0);
    for (const char* name : {"a.ini", "b.ini"}) {
        IniFile ini(name);
        ini.setString("audio", "MasterVolume", "64");
        EXPECT_TRUE(ini.save() && !fileExists(std::string(name) + ".new")) << name;
        EXPECT_EQ(readFile(name), "[audio]\nMasterVolume = \"64\"\n") << name;
    }
    // Backslash paths find files ignoring letter case, and are saved there.
    makeDirectory("Menus");
    writeFile("Menus/Controller.INI", "[General]\nMapType = MenuController\n");
    IniFile controller("menus\\controller.ini");
    EXPECT_EQ(controller.getString("general", "maptype", ""), "MenuController");
    controller.setString("General", "menu", "main");
    ASSERT_TRUE(controller.save());
    EXPECT_EQ(readFile("Menus/Controller.INI"),
              "[General]\nMapType = \"MenuController\"\nmenu = \"main\"\n");
}
