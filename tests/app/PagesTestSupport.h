// A project, a line of simulated drives already online, and the pages' context for the tests
// of the group pages, their row writes and the tabbed parameter window.
#pragma once

#include "TransferTestSupport.h"
#include "app/GroupPage.h"
#include "app/GroupWriter.h"
#include "app/ParameterWindow.h"
#include "app/RowWriter.h"
#include "params/PageTable.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace kvdtest {

class PagesFixture : public TransferFixture {
public:
    kvd::PageContext& pages() {
        if (!context_)
            context_.emplace(kvd::PageContext{state, project(), prompter, stations,
                                              [this](int g) { changedGroups.push_back(g); }});
        return *context_;
    }

    // A page of the project as the tabbed window would create it.
    std::unique_ptr<kvd::GroupPage> page(int dialogId) {
        return std::make_unique<kvd::GroupPage>(*kvd::findPage(dialogId), pages());
    }

    // The tabbed window on a group, sending groups with writeGroup.
    std::unique_ptr<kvd::ParameterSetDialog> window(int group, int highlight = -1) {
        return std::make_unique<kvd::ParameterSetDialog>(pages(), group, highlight,
                                                         kvd::writeGroup);
    }

    static int rowOf(const kvd::GroupPage& p, std::string_view code) {
        for (int r = 0; r < p.rowCount(); ++r)
            if (p.entry().rows[static_cast<std::size_t>(r)].code == code)
                return r;
        throw std::out_of_range(std::string(code));
    }
    static QLineEdit* edit(const kvd::GroupPage& p, std::string_view code) {
        return p.rowEdit(rowOf(p, code));
    }
    static QComboBox* list(const kvd::GroupPage& p, std::string_view code) {
        return p.rowList(rowOf(p, code));
    }
    static kvd::RowWriteResult writeRow(kvd::GroupPage& p, std::string_view code) {
        return p.writeRow(rowOf(p, code));
    }

    bool marked(std::string_view code) {
        const kvd::ParamSpec* s = kvd::findSpec(code);
        return project().modifiedMark(s->group, s->index);
    }

    // The requests since the last call (or since the line came up).
    std::vector<std::string> frames() { return traffic->take(); }

    std::vector<int> changedGroups;

private:
    std::optional<kvd::PageContext> context_;
};

} // namespace kvdtest
