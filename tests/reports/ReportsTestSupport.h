// A project document built from the shipped data files in the program folder, with the
// scripted prompter, host and file dialogs around it, for the list view and print tests.
#pragma once

#include "app/DocTestSupport.h"
#include "app/ResourceLibrary.h"
#include "support/GuiTestApp.h"

#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace kvdtest {

class ReportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(kvdtest::startGuiTestApp()); }

    void SetUp() override {
        state.programFolder = QStringLiteral(KVD_BIN_DIR "/");
        doc = std::make_unique<kvd::CQ770Doc>(state, prompter, host, files);
        ASSERT_EQ(doc->groups().size(), 15u) << "the parameter data file is missing";
    }

    std::vector<kvd::ParamGroup>& groups() { return doc->groups(); }
    int itemCount(int group) { return static_cast<int>(groups()[group].items.size()); }
    std::vector<int> allGroups() {
        std::vector<int> all(groups().size());
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    // Rows of a list or printout of `groups`: a header and the items of each.
    int rowsOf(const std::vector<int>& listed) {
        return std::accumulate(listed.begin(), listed.end(), 0,
                               [this](int sum, int g) { return sum + itemCount(g) + 1; });
    }

    // Replaces the groups with `counts.size()` groups of the given sizes, named "G<g>" with
    // items labelled "P<row>" by their row in the whole document.
    void shapeDocument(const std::vector<int>& counts) {
        std::vector<kvd::ParamGroup> shaped;
        int row = 0;
        for (std::size_t g = 0; g < counts.size(); ++g) {
            kvd::ParamGroup group{"G" + std::to_string(g), {}};
            ++row;
            for (int i = 0; i < counts[g]; ++i, ++row)
                group.items.push_back({"P" + std::to_string(row), "f" + std::to_string(row),
                                       "e" + std::to_string(row), "", "", false});
            shaped.push_back(std::move(group));
        }
        groups() = std::move(shaped);
    }

    kvd::AppState state;
    ScriptedPrompter prompter;
    FakeHost host;
    ScriptedFiles files;
    std::unique_ptr<kvd::CQ770Doc> doc;
};

inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace kvdtest
