#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "resources/ini_file.h"
#include "support/test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

// Reads `text` as the body of a file that starts with a section, so key lines have a home.
IniFile readBody(const std::string& text) {
    writeFile("body.ini", "[s]\n" + text);
    return IniFile("body.ini");
}

struct HeaderCase {
    const char* line;
    const char* sectionName;
};

struct EntryCase {
    const char* line;
    const char* key;
    const char* value;
};

}  // namespace

TEST(IniReading, SectionHeadersFollowTheScanRule) {
    ScratchDirectory scratch;
    const HeaderCase cases[] = {
        {"[audio]", "audio"},
        {"[ audio ]", "audio"},
        {"[audio] trailing text", "audio"},
        {"[audio]x", "audio]x"},
        {"[]", ""},
        {"   \t[game]", "game"},
    };
    for (const HeaderCase& c : cases) {
        writeFile("h.ini", std::string(c.line) + "\n");
        IniFile ini("h.ini");
        ASSERT_EQ(ini.sectionCount(), 1) << c.line;
        EXPECT_EQ(ini.sectionName(0), c.sectionName) << c.line;
    }
}

TEST(IniReading, KeyValueLinesFollowTheTable) {
    ScratchDirectory scratch;
    const EntryCase cases[] = {
        {"key=value", "key", "value"},       {"  key   =   value", "key", "value"},
        {"my key = 1", "my key", "1"},       {"key = \"  padded  \"", "key", "  padded  "},
        {"key = \"a\" b", "key", "a"},       {"key =", "key", ""},
        {"url = a=b", "url", "a=b"},         {"q = say \"hi\"", "q", "say \"hi\""},
        {"crlf = value\r", "crlf", "value"},
    };
    for (const EntryCase& c : cases) {
        IniFile ini = readBody(std::string(c.line) + "\n");
        ASSERT_EQ(ini.sections()[0].entries.size(), 1u) << c.line;
        EXPECT_EQ(ini.sections()[0].entries[0].key, c.key) << c.line;
        EXPECT_EQ(ini.sections()[0].entries[0].value, c.value) << c.line;
    }
}

TEST(IniReading, LinesThatAreNeitherAreIgnored) {
    ScratchDirectory scratch;
    IniFile ini = readBody("= value\n; just a comment\n# key = no comments exist\n\n   \n");
    // The '#' line has an '=' and so is a key/value line: there is no comment syntax.
    ASSERT_EQ(ini.sections()[0].entries.size(), 1u);
    EXPECT_EQ(ini.sections()[0].entries[0].key, "# key");
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(IniReading, UnterminatedQuoteKeepsTheKeyAndLogs) {
    ScratchDirectory scratch;
    IniFile ini = readBody("key = \"a\r\n");
    ASSERT_EQ(ini.sections()[0].entries.size(), 1u);
    EXPECT_EQ(ini.getString("s", "key", "default"), "");
    EXPECT_EQ(readFile("debug.log"),
              "Invalid ini option 'a'. trailing \" expected\n"
              "Ini file 'body.ini', line 2: a quote is not closed\n");
}

TEST(IniReading, AFileThatIsThereButIsNoTextFileIsNamed) {
    ScratchDirectory scratch;
    testing_support::makeDirectory("folder.ini");
    // Nobody ever writes to the pipe: opening it for reading would wait for good.
    ASSERT_EQ(mkfifo("pipe.ini", 0600), 0);
    writeFile("binary.ini", std::string("[s]\nk = 1\n\x01\x02\0[t]\n", 16));
    const struct {
        const char* name;
        int sections;
        const char* log;
    } cases[] = {
        {"missing.ini", 0, ""},
        {"folder.ini", 0, "Unable to read ini file 'folder.ini'\n"},
        {"pipe.ini", 0, "Unable to read ini file 'pipe.ini'\n"},
        {"binary.ini", 1, "Ini file 'binary.ini' is not text (line 3)\n"},
    };
    for (const auto& c : cases) {
        std::remove("debug.log");
        EXPECT_EQ(IniFile(c.name).sectionCount(), c.sections) << c.name;
        EXPECT_EQ(fileExists("debug.log") ? readFile("debug.log") : "", c.log) << c.name;
    }
}

TEST(IniReading, LastLineWithoutTerminatorAndKeysBeforeAnySection) {
    ScratchDirectory scratch;
    writeFile("t.ini", "orphan = 1\n[a]\nlast = 7");
    IniFile ini("t.ini");
    ASSERT_EQ(ini.sectionCount(), 1);
    EXPECT_EQ(ini.getInt("a", "last", 0), 7);
    EXPECT_EQ(ini.getInt("a", "orphan", -1), -1);
}

TEST(IniReading, MissingFileGivesEmptyDocumentSilently) {
    ScratchDirectory scratch;
    IniFile ini("nowhere.ini");
    EXPECT_EQ(ini.sectionCount(), 0);
    EXPECT_EQ(ini.getInt("resolution", "width", 1024), 1024);
    EXPECT_EQ(ini.getString("a", "b", "fallback"), "fallback");
    EXPECT_EQ(ini.sectionName(3), "");
    EXPECT_EQ(ini.getInt(3, "b", 9), 9);
    EXPECT_FALSE(fileExists("debug.log"));
}

TEST(IniReading, OverlongLinesNamesAndValuesAreSkippedWithoutStalling) {
    ScratchDirectory scratch;
    const std::string hugeLine(200000, 'x');
    const std::string longKey(IniFile::maxNameLength + 1, 'k');
    const std::string longValue(IniFile::maxValueLength + 1, 'v');
    const std::string longSection(IniFile::maxNameLength + 1, 'S');
    const std::string okKey(IniFile::maxNameLength, 'k');
    const std::string okValue(IniFile::maxValueLength, 'v');
    writeFile("long.ini", "[a]\n" + hugeLine + "=1\n" + longKey + "=2\nv=" + longValue + "\n[" +
                              longSection + "]\n" + okKey + "=" + okValue + "\nafter = 3\n");
    IniFile ini("long.ini");
    ASSERT_EQ(ini.sectionCount(), 1);
    const auto& entries = ini.sections()[0].entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, okKey);
    EXPECT_EQ(entries[0].value, okValue);
    EXPECT_EQ(ini.getInt("a", "after", 0), 3);
    const std::string log = readFile("debug.log");
    EXPECT_NE(log.find("line 2: line too long"), std::string::npos) << log;
    EXPECT_NE(log.find("line 3: key too long"), std::string::npos) << log;
    EXPECT_NE(log.find("line 4: value too long"), std::string::npos) << log;
    EXPECT_NE(log.find("line 5: section name too long"), std::string::npos) << log;
}

TEST(IniReading, BinaryGarbageNeverBreaksTheReader) {
    ScratchDirectory scratch;
    std::string garbage;
    unsigned state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 16);
    }
    writeFile("garbage.ini", garbage);
    IniFile ini("garbage.ini");
    for (int i = 0; i < ini.sectionCount(); ++i) {
        ini.getString(i, "width", "");
    }
    SUCCEED();
}

TEST(IniLookup, DuplicateSectionsAndKeys) {
    ScratchDirectory scratch;
    writeFile("d.ini", "[A]\nk=1\nk=2\n[a]\nk=3\n");
    IniFile ini("d.ini");
    EXPECT_EQ(ini.getInt("a", "K", 0), 1);  // first section, first key
    EXPECT_EQ(ini.getInt(1, "k", 0), 3);    // by index both sections are seen
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile("d.ini"), "[A]\nk = \"1\"\nk = \"2\"\n[a]\nk = \"3\"\n");
}

TEST(IniLookup, NumbersFollowAtoiAndAtof) {
    ScratchDirectory scratch;
    IniFile ini = readBody(
        "word = abc\nlead = 12px\nspace =   -7\nplus = +5\nfloat = 0.125x\nhuge = "
        "99999999999999999999\nsmall = -99999999999999999999\n");
    EXPECT_EQ(ini.getInt("s", "word", 1024), 0);  // present but not a number: 0, not default
    EXPECT_EQ(ini.getInt("s", "lead", 0), 12);
    EXPECT_EQ(ini.getInt("s", "space", 0), -7);
    EXPECT_EQ(ini.getInt("s", "plus", 0), 5);
    EXPECT_DOUBLE_EQ(ini.getFloat("s", "float", 1.0), 0.125);
    EXPECT_DOUBLE_EQ(ini.getFloat("s", "word", 1.0), 0.0);
    EXPECT_EQ(ini.getInt("s", "huge", 0), 2147483647);
    EXPECT_EQ(ini.getInt("s", "small", 0), -2147483647 - 1);
    EXPECT_DOUBLE_EQ(ini.getFloat("s", "missing", 0.01), 0.01);
}

TEST(IniWriting, SetStringReplacesMatchingKeyKeepingItsCase) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "; comment lost on save\n[audio]\nmasterVolume = 128\n");
    IniFile ini("settings.ini");
    ini.setString("AUDIO", "MasterVolume", "96");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile("settings.ini"), "[audio]\nmasterVolume = \"96\"\n");
}

TEST(IniWriting, MissingSectionAndKeyAreAppended) {
    ScratchDirectory scratch;
    writeFile("p.ini", "[General]\nplayers = 4\n");
    IniFile ini("p.ini");
    ini.setString("1", "AI Controlled", "1");
    ini.setString("General", "randomFirstPlayer", "0");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(
        readFile("p.ini"),
        "[General]\nplayers = \"4\"\nrandomFirstPlayer = \"0\"\n[1]\nAI Controlled = \"1\"\n");
    EXPECT_EQ(ini.findOrCreateEntry("2", "x", false), nullptr);
    EXPECT_EQ(ini.sectionCount(), 2);
}

TEST(IniWriting, ValueWithQuoteIsWrittenUnchangedAndCutWhenReadBack) {
    ScratchDirectory scratch;
    IniFile ini("q.ini");
    ini.setString("s", "k", "say \"hi\" there");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile("q.ini"), "[s]\nk = \"say \"hi\" there\"\n");
    EXPECT_EQ(IniFile("q.ini").getString("s", "k", ""), "say ");
}

TEST(IniWriting, RoundTripKeepsSpacesAndEquals) {
    ScratchDirectory scratch;
    IniFile ini("r.ini");
    ini.setString("MenuOne", "Caption", "  New = game  ");
    ASSERT_TRUE(ini.save());
    IniFile again("r.ini");
    EXPECT_EQ(again.getString("menuone", "caption", ""), "  New = game  ");
}

TEST(IniWriting, UnwritableTargetKeepsTheOldFileAndReportsFailure) {
    ScratchDirectory scratch;
    testing_support::makeDirectory("locked");
    writeFile("locked/settings.ini", "[resolution]\nwidth = 800\n");
    IniFile ini("locked\\settings.ini");
    ini.setString("resolution", "width", "1280");
    // A directory standing where the temporary file would go makes the write fail.
    testing_support::makeDirectory("locked/settings.ini.new");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(readFile("locked/settings.ini"), "[resolution]\nwidth = 800\n");
    EXPECT_NE(readFile("debug.log").find("Unable to write ini file"), std::string::npos);
}

TEST(IniWriting, WhatAnEarlierSaveLeftUnderTheTemporaryNameIsReplaced) {
    ScratchDirectory scratch;
    writeFile("a.ini.new", "[resolution]\nwid");  // a save killed half-way
    ASSERT_EQ(mkfifo("b.ini.new", 0600), 0);      // writing into it would wait for good
    for (const char* name : {"a.ini", "b.ini"}) {
        IniFile ini(name);
        ini.setString("audio", "MasterVolume", "64");
        EXPECT_TRUE(ini.save()) << name;
        EXPECT_EQ(readFile(name), "[audio]\nMasterVolume = \"64\"\n") << name;
        EXPECT_FALSE(fileExists(std::string(name) + ".new")) << name;
    }
}

TEST(IniWriting, BackslashPathsFindFilesIgnoringCase) {
    ScratchDirectory scratch;
    testing_support::makeDirectory("Menus");
    writeFile("Menus/Controller.INI", "[General]\nMapType = MenuController\n");
    IniFile ini("menus\\controller.ini");
    EXPECT_EQ(ini.getString("general", "maptype", ""), "MenuController");
    ini.setString("General", "menu", "Menus\\mainMenu.ini");
    ASSERT_TRUE(ini.save());
    EXPECT_NE(readFile("Menus/Controller.INI").find("mainMenu"), std::string::npos);
}
