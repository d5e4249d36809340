// The project file codec on its own: versions, limits and damaged files.
#include "DocTestSupport.h"

#include "app/ProjectFile.h"
#include "params/Catalogue.h"

#include <random>

using namespace kvd;
using kvdtest::ArchiveWriter;

namespace {

std::size_t catalogueCount(int group) {
    return groupSpecs(group).size();
}

// A value that names its position, so misplaced values show.
std::string valueAt(int group, std::size_t item) {
    return std::to_string(group) + "." + std::to_string(item);
}

// A complete file listing `counts[g]` values per group (the catalogue's counts by default).
std::string projectFile(std::int32_t version, std::vector<std::size_t> counts = {}) {
    if (counts.empty())
        for (int g = 0; g < kGroupCount; ++g)
            counts.push_back(catalogueCount(g));
    ArchiveWriter w;
    w.i32(version).str("KVD-401-H").i32(static_cast<std::int32_t>(counts.size()));
    for (std::size_t g = 0; g < counts.size(); ++g) {
        w.i32(static_cast<std::int32_t>(counts[g]));
        for (std::size_t i = 0; i < counts[g]; ++i)
            w.str(valueAt(static_cast<int>(g), i));
    }
    if (version >= 3)
        for (int c = 0; c < 4; ++c)
            w.channel(c + 1, "Output Current", "5.00", "0.00");
    return w.bytes;
}

} // namespace

TEST(ProjectFile, VersionsDecideChannelsAndTheSpareValuesOfGroups13And14) {
    struct Case {
        std::int32_t version;
        bool channels;
        bool dropsSpare;
    };
    for (const Case c :
         {Case{2, false, true}, Case{3, true, true}, Case{4, true, true}, Case{5, true, false}}) {
        SCOPED_TRACE(c.version);
        std::string error;
        const auto data = project::readProject(projectFile(c.version), &error);
        ASSERT_TRUE(data) << error;
        EXPECT_EQ(data->version, c.version);
        EXPECT_EQ(data->model, "KVD-401-H");
        EXPECT_EQ(data->channels.has_value(), c.channels);
        ASSERT_EQ(data->groups.size(), static_cast<std::size_t>(kGroupCount));
        for (int g = 0; g < kGroupCount; ++g) {
            const auto& values = data->groups[static_cast<std::size_t>(g)];
            const bool spare = c.dropsSpare && (g == 13 || g == 14);
            ASSERT_EQ(values.size(), catalogueCount(g) - (spare ? 1 : 0)) << "group " << g;
            for (std::size_t i = 0; i < values.size(); ++i)
                EXPECT_EQ(values[i], valueAt(g, i));
        }
    }
}

TEST(ProjectFile, OldFileWithoutValuesForGroups13And14DropsNothingElse) {
    // Nothing to drop from an empty group; group 12 is not affected at all.
    std::vector<std::size_t> counts(static_cast<std::size_t>(kGroupCount), 0);
    counts[12] = 2;
    const auto data = project::readProject(projectFile(4, counts));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->groups[12].size(), 2u);
    EXPECT_TRUE(data->groups[13].empty());
    EXPECT_TRUE(data->groups[14].empty());
}

TEST(ProjectFile, EveryTruncationOfAValidFileIsRefused) {
    for (std::int32_t version : {2, 5}) {
        const std::string file = projectFile(version);
        ASSERT_TRUE(project::readProject(file));
        for (std::size_t n = 0; n < file.size(); ++n)
            ASSERT_FALSE(project::readProject(std::string_view(file).substr(0, n)))
                << "version " << version << ", " << n << " of " << file.size() << " bytes";
    }
}

TEST(ProjectFile, FieldsBeyondTheLimitsAreRefused) {
    const auto header = [](std::int32_t version, std::string_view model) {
        ArchiveWriter w;
        w.i32(version).str(model);
        return w;
    };
    const auto noChannels = [](ArchiveWriter w) { return w.bytes; };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"version 1", noChannels(header(1, "x").i32(0))},
        {"version 6", projectFile(6)},
        {"negative version", noChannels(header(-1, "x").i32(0))},
        {"model of 15 bytes", noChannels(header(2, "KVD230S-13F-XYZ").i32(0))},
        {"16 groups", noChannels(header(2, "x").i32(16))},
        {"negative group count", noChannels(header(2, "x").i32(-1))},
        {"6 items in group 02", noChannels(header(2, "x")
                                               .i32(3)
                                               .i32(0)
                                               .i32(0)
                                               .i32(6)
                                               .str("1")
                                               .str("1")
                                               .str("1")
                                               .str("1")
                                               .str("1")
                                               .str("1"))},
        {"negative item count", noChannels(header(2, "x").i32(1).i32(-1))},
        {"value of 15 bytes", noChannels(header(2, "x").i32(1).i32(1).str("123456789012345"))},
        {"negative string length", noChannels(header(2, "x").i32(1).i32(1).i32(-1))},
        {"string longer than the file", noChannels(header(2, "x").i32(1).i32(1).i32(10).str(""))},
        {"channel name of 50 bytes",
         noChannels(header(3, "x").i32(0).channel(0, std::string(50, 'n'), "1", "0"))},
        {"channel scale of 50 bytes",
         noChannels(header(3, "x").i32(0).channel(0, "n", std::string(50, '9'), "0"))},
        {"oversized file", projectFile(5) + std::string(project::kMaxFileBytes, '\0')},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(project::readProject(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(ProjectFile, FieldsAtTheLimitsAreRead) {
    ArchiveWriter w;
    w.i32(3).str(std::string(14, 'm')).i32(1).i32(1).str(std::string(14, '9'));
    for (int c = 0; c < 4; ++c)
        w.channel(c, std::string(49, 'n'), std::string(49, 'u'), "");
    const auto data = project::readProject(w.bytes);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->groups.at(0).at(0), std::string(14, '9'));
    EXPECT_EQ((*data->channels)[3].name, std::string(49, 'n'));
}

TEST(ProjectFile, RandomBytesAreRefusedWithoutCrashing) {
    std::mt19937 random(770);
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 200, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        // A plausible start keeps the decoder busy past the version check.
        if (round % 2 == 0 && bytes.size() >= 4)
            bytes.replace(0, 4, std::string("\x05\0\0\0", 4));
        accepted += project::readProject(bytes) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 0);
}

TEST(ProjectFile, BytesAfterTheLastFieldAreIgnored) {
    const auto data = project::readProject(projectFile(5) + "trailing");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->groups.size(), static_cast<std::size_t>(kGroupCount));
}

TEST(ProjectFile, WriterRefusesWhatTheReaderWouldRefuse) {
    const auto base = [] {
        project::ProjectData d;
        d.model = "KVD-401-H";
        d.groups.assign(static_cast<std::size_t>(kGroupCount), {});
        d.channels.emplace();
        return d;
    };
    struct Case {
        const char* what;
        std::function<void(project::ProjectData&)> change;
    };
    const Case cases[] = {
        {"model of 15 bytes", [](auto& d) { d.model = std::string(15, 'm'); }},
        {"value of 15 bytes", [](auto& d) { d.groups[0] = {std::string(15, '1')}; }},
        {"16 groups", [](auto& d) { d.groups.resize(16); }},
        {"6 items in group 02", [](auto& d) { d.groups[2].assign(6, "1"); }},
        {"channel name of 50 bytes", [](auto& d) { (*d.channels)[1].name = std::string(50, 'n'); }},
    };
    ASSERT_TRUE(project::writeProject(base()));
    for (const Case& c : cases) {
        project::ProjectData d = base();
        c.change(d);
        std::string error;
        EXPECT_FALSE(project::writeProject(d, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(ProjectFile, WrittenFileReadsBackAsVersion5) {
    project::ProjectData d;
    d.version = 2; // ignored: files are always written as version 5
    d.model = "KVD230S-13F";
    d.groups = {{"1", "2"}, {}, {"0.9", "1.6", "0.0", "1430", "220.0"}};
    d.channels = {{{1, "Set Frequency", "60.00", "0.00"},
                   {},
                   {2, "Output Frequency", "10.00", "0.00"},
                   {0, "No display", "10.00", "0.00"}}};
    const auto bytes = project::writeProject(d);
    ASSERT_TRUE(bytes);
    const auto back = project::readProject(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->version, 5);
    EXPECT_EQ(back->model, d.model);
    EXPECT_EQ(back->groups, d.groups);
    EXPECT_EQ(back->channels, d.channels);
}
