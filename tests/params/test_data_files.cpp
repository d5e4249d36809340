#include "CatalogueEntryOf.h"
#include "params/DataFiles.h"
#include "params/ModelTable.h"
#include "params/ValueText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace kvd;

namespace {

const std::filesystem::path kDataDir = KVD_DATA_DIR;

// A folder of fixture files, removed with the fixture.
class TempFolder {
public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("kvd-params-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    void write(std::string_view name, std::string_view text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    void copyFromData(std::string_view name) const {
        std::filesystem::copy_file(kDataDir / name, path_ / name);
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

std::vector<ParamGroup> shippedGroups() {
    std::string error;
    auto groups = loadParamData(kDataDir / kParamDataFileName, &error);
    EXPECT_TRUE(groups) << error;
    return groups ? *groups : std::vector<ParamGroup>{};
}

} // namespace

TEST(ShippedDataFiles, ParameterFileMatchesTheCatalogue) {
    const auto groups = shippedGroups();
    EXPECT_EQ(catalogueMismatches(groups), std::vector<std::string>{});
    ASSERT_EQ(groups.size(), static_cast<std::size_t>(kGroupCount));
    for (int g = 0; g < kGroupCount; ++g) {
        const ParamGroup& group = groups[static_cast<std::size_t>(g)];
        EXPECT_NE(group.name.find(groupPrefix(g)), std::string::npos) << group.name;
        const auto specs = groupSpecs(g);
        for (std::size_t i = 0; i < group.items.size() && i < specs.size(); ++i) {
            const ParamItem& item = group.items[i];
            EXPECT_GT(item.label.size(), specs[i].code.size() + 1) << "no description";
            for (const std::string& v : {item.factoryValue, item.editValue}) {
                EXPECT_TRUE(inRange(specs[i], v, kDefaultModelCode)) << item.label << ": " << v;
                EXPECT_EQ(normalizedText(specs[i], v), v) << item.label; // in its own format
            }
        }
    }
}

// Every model gets values in its own ranges, and a no-load current below the rated current:
// the drive would refuse the factory set otherwise.
TEST(ShippedDataFiles, InitialValuesFitEveryModel) {
    std::string error;
    const auto rows = loadInitialParams(kDataDir / kInitialParamFileName, &error);
    ASSERT_TRUE(rows) << error;
    ASSERT_GE(rows->size(), InitialValueCodes.size());
    for (std::size_t r = 0; r < InitialValueCodes.size(); ++r) {
        const ParamSpec& s = specOf(InitialValueCodes[r]);
        ASSERT_EQ((*rows)[r].values.size(), ModelTable.size()) << s.code;
        for (std::size_t m = 0; m < ModelTable.size(); ++m) {
            const std::string& v = (*rows)[r].values[m];
            EXPECT_TRUE(inRange(s, v, ModelTable[m].code)) << s.code << " " << ModelTable[m].name;
            EXPECT_EQ(normalizedText(s, v), v) << s.code;
        }
    }
    for (std::size_t m = 0; m < ModelTable.size(); ++m)
        EXPECT_LT(parseText(specOf("02-00"), (*rows)[1].values[m]),
                  parseText(specOf("02-01"), (*rows)[2].values[m]))
            << ModelTable[m].name;
}

TEST(ShippedDataFiles, ModelFileDescribesEveryModelInTableOrder) {
    std::string error;
    const auto models = loadModelFile(kDataDir / kModelFileName, &error);
    ASSERT_TRUE(models) << error;
    ASSERT_EQ(models->size(), ModelTable.size());
    for (std::size_t i = 0; i < ModelTable.size(); ++i) {
        EXPECT_EQ((*models)[i].name, ModelTable[i].name);
        EXPECT_FALSE((*models)[i].description.empty()) << ModelTable[i].name;
    }
}

// Every model and region gives a complete register set whose words are valid values.
TEST(FactoryRegisterValues, CompleteAndInRangeForEveryModel) {
    for (const ModelRow& m : ModelTable) {
        for (int region : {0, 1}) {
            std::string error;
            const auto words = factoryRegisterValues(kDataDir, m.code, region, &error);
            ASSERT_EQ(words.size(), allSpecs().size()) << m.name << ": " << error;
            for (const ParamSpec& s : allSpecs()) {
                const std::uint16_t w = words.at(s.reg);
                EXPECT_TRUE(inRange(s, formatWord(s, w), m.code))
                    << m.name << " " << s.code << " word " << w;
            }
        }
    }
}

TEST(FactoryRegisterValues, LayersDataFileModelColumnAndRegion) {
    const auto w203 = factoryRegisterValues(kDataDir, 203, 1);
    ASSERT_FALSE(w203.empty());
    EXPECT_EQ(w203.at(0x0D00), 203);  // 13-00 is the model code
    EXPECT_EQ(w203.at(0x000B), 6000); // 00-11, 60 Hz
    EXPECT_EQ(w203.at(0x0203), 1680); // 02-03, 60 Hz
    EXPECT_EQ(w203.at(0x0201), 105);  // 02-01 from the model column
    EXPECT_EQ(w203.at(0x0E12), 105);  // F_18 likewise
    EXPECT_EQ(w203.at(0x0101), 2200); // 01-01
    EXPECT_EQ(w203.at(0x0D01), 1100); // 13-01 from the data file

    const auto w402 = factoryRegisterValues(kDataDir, 402, 0);
    ASSERT_FALSE(w402.empty());
    EXPECT_EQ(w402.at(0x000B), 5000);
    EXPECT_EQ(w402.at(0x0101), 3800);
    EXPECT_EQ(w402.at(0x0804), 7600);

    // A code outside the model table keeps the data file's values.
    const auto w400 = factoryRegisterValues(kDataDir, 400, 0);
    ASSERT_FALSE(w400.empty());
    EXPECT_EQ(w400.at(0x0D00), 400);
    EXPECT_EQ(w400.at(0x0101), 2200);
}

TEST(FactoryRegisterValues, BadFoldersGiveAnErrorAndNoValues) {
    TempFolder empty;
    TempFolder badInitial;
    badInitial.copyFromData(kParamDataFileName);
    badInitial.write(kInitialParamFileName, "01-01 no colon here\n");
    TempFolder garbageValue;
    garbageValue.copyFromData(kParamDataFileName);
    garbageValue.write(kInitialParamFileName, "a:x,x,x,x,x,x,x,x,x,x,x\n");
    TempFolder shortFile;
    shortFile.write(kParamDataFileName, "00-01 a@0$0*\n#Group 00\n");
    TempFolder withoutInitial;
    withoutInitial.copyFromData(kParamDataFileName);

    const struct {
        const char* what;
        std::filesystem::path folder;
        int model;
        bool ok;
    } cases[] = {
        {"missing folder", empty.path() / "nowhere", 203, false},
        {"no data files", empty.path(), 203, false},
        {"malformed initial file", badInitial.path(), 203, false},
        {"initial value no number", garbageValue.path(), 203, false},
        {"parameter file too short", shortFile.path(), 203, false},
        {"model code beyond a word", kDataDir, 70000, false},
        {"initial file missing", withoutInitial.path(), 203, true},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto words = factoryRegisterValues(c.folder, c.model, 0, &error);
        EXPECT_EQ(!words.empty(), c.ok) << c.what;
        EXPECT_EQ(error.empty(), c.ok) << c.what << ": " << error;
    }
}

TEST(DataFileReaders, ParameterFileLayout) {
    const std::string longLine(kMaxDataLineLength + 1, 'a');
    const struct {
        const char* what;
        std::string text;
        std::optional<std::size_t> groups; // empty: rejected
    } cases[] = {
        {"two groups", "01 a@1$2*x\n02 b@3$4*\n#G1\n03 c@5$6*y\n#G2\n", 2},
        {"CRLF and byte order mark",
         "\xEF\xBB\xBF"
         "01 a@1$2*x\r\n#G1\r\n",
         1},
        {"items after the last group line are dropped", "01 a@1$2*\n#G1\n02 b@1$2*\n", 1},
        {"blank lines skipped", "\n01 a@1$2*\n\n#G1\n\n", 1},
        {"empty file", "", 0},
        {"missing markers", "01 a 1 2\n#G1\n", std::nullopt},
        {"markers out of order", "01 a$1@2*\n#G1\n", std::nullopt},
        {"no star", "01 a@1$2\n#G1\n", std::nullopt},
        {"garbage bytes", std::string("\0\xff\x01@", 4), std::nullopt},
        {"line too long", longLine + "@1$2*\n#G1\n", std::nullopt},
        {"more than 100 items",
         [] {
             std::string t;
             for (int i = 0; i < 101; ++i)
                 t += "x@1$2*\n";
             return t + "#G\n";
         }(),
         std::nullopt},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto groups = parseParamData(c.text, &error);
        ASSERT_EQ(groups.has_value(), c.groups.has_value()) << c.what;
        EXPECT_EQ(error.empty(), c.groups.has_value()) << c.what;
        if (groups) {
            EXPECT_EQ(groups->size(), *c.groups) << c.what;
        }
    }

    const auto groups = parseParamData("01 a b@1$2*x*y\n#  Group one\n");
    ASSERT_TRUE(groups);
    const ParamItem& item = (*groups)[0].items[0];
    EXPECT_EQ((*groups)[0].name, "Group one");
    EXPECT_EQ(item.label, "01 a b");
    EXPECT_EQ(itemCode(item), "01");
    EXPECT_EQ(item.factoryValue, "1");
    EXPECT_EQ(item.editValue, "2");
    EXPECT_EQ(item.extra, "x*y");
    EXPECT_EQ(item.readValue, "");
}

TEST(DataFileReaders, InitialParameterFileLayout) {
    const auto rows = parseInitialParams("a:1,2,3\n  b: 4 ,,6,\n\nc:\nEND\nd:7\n");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0].key, "a");
    EXPECT_EQ((*rows)[0].values, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ((*rows)[1].values, (std::vector<std::string>{"4", "", "6"}));
    EXPECT_TRUE((*rows)[2].values.empty());

    std::string error;
    EXPECT_FALSE(parseInitialParams("a:1\nno colon\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parseInitialParams("a:" + std::string(kMaxDataLineLength, '1') + "\n"));
}

TEST(DataFileReaders, ModelFileLayout) {
    const auto models = parseModelFile("stray description\n"
                                       "TYPE:KVD-401-H;\n"
                                       "  first line  \n"
                                       "abc\n" // four characters or fewer: ignored
                                       "second line\r\n"
                                       "TYPE:X;\n"
                                       "TYPE:\n");
    ASSERT_TRUE(models);
    ASSERT_EQ(models->size(), 3u);
    EXPECT_EQ((*models)[0].name, "KVD-401-H");
    EXPECT_EQ((*models)[0].description, "first line\nsecond line\n");
    EXPECT_EQ((*models)[1].name, "X");
    EXPECT_EQ((*models)[1].description, "");
    EXPECT_EQ((*models)[2].name, "");

    std::string error;
    EXPECT_FALSE(loadModelFile("/nonexistent/KVD.SPE", &error));
    EXPECT_FALSE(error.empty());
}
