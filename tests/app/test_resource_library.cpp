#include "app/ResourceLibrary.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace kvd;

TEST(ResourceLibrary, LoadsFromTheProgramFolderOnly) {
    ResourceLibrary lib;
    QTemporaryDir empty;
    EXPECT_FALSE(lib.load(empty.path()));
    EXPECT_FALSE(lib.isLoaded());
    EXPECT_EQ(lib.string(ids::CommunicationError), "");

    ASSERT_TRUE(lib.load(KVD_BIN_DIR));
    EXPECT_EQ(lib.string(ids::CommunicationError), "Communication error!");
    EXPECT_EQ(lib.string(999999), "");
    EXPECT_EQ(lib.dialogText(ids::DialogAbout, 0), "About Q770-Velmora");
    EXPECT_FALSE(lib.menu(ids::MenuProject).isEmpty());
    EXPECT_EQ(lib.toolBar(ids::ToolBar).size(), 18); // 14 buttons, 4 separators
}

TEST(ResourceLibrary, FormatsPrintfFields) {
    const struct {
        const char* pattern;
        QStringList args;
        const char* out;
    } cases[] = {
        {"Station Num %d", {"3"}, "Station Num 3"},
        {":write parameter group %d", {"12"}, ":write parameter group 12"},
        {"%05d|%-4d|%4d", {"42", "7", "-5"}, "00042|7   |  -5"},
        {"%.3f V", {"1.2304"}, "1.230 V"},
        {"%s and %s", {"a"}, "a and "},
        {"100%% done %x", {"255"}, "100% done ff"},
        {"no fields", {"x"}, "no fields"},
        {"%ld", {"12"}, "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPrintf(c.pattern, c.args), c.out) << c.pattern;
}
