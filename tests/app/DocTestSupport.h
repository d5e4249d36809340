// Doubles and fixtures for the project document tests: a program folder with the data files,
// a recording DocumentHost, scripted file and model dialogs, and a writer for hand-built
// project files.
#pragma once

#include "app/AppState.h"
#include "app/CQ770Doc.h"
#include "app/DocumentHost.h"
#include "app/ModelSelection.h"
#include "app/ProjectOps.h"
#include "resources/StringIds.h"
#include "support/ScriptedPrompter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kvdtest {

inline const QString kDataDir = QStringLiteral(KVD_DATA_DIR);
inline const QString kParamFile = QStringLiteral("KVD PARAM.DAT");
inline const QString kInitialFile = QStringLiteral("KVD IntialParam.DAT");
inline const QString kModelFile = QStringLiteral("KVD.SPE");

class FakeHost : public kvd::DocumentHost {
public:
    void showStatus(int pane, const QString& text) override { panes[pane] = text; }
    void rebuildProjectTree() override { ++treeRebuilds; }
    QString resourceText(int id) const override {
        switch (id) {
        case kvd::ids::ChannelNoDisplay:
            return QStringLiteral("No display");
        case kvd::ids::NewProject:
            return QStringLiteral("New Project");
        default:
            return QStringLiteral("string %1").arg(id);
        }
    }
    void showProject(kvd::CQ770Doc& doc, const QString& title) override {
        shownDocs.push_back(&doc);
        titles << title;
    }
    void setProjectTitle(const QString& title) override { titles << title; }
    void projectClosed() override { ++closed; }
    void addRecentFile(const QString& path) override { recentAdded << path; }
    void removeRecentFile(const QString& path) override { recentRemoved << path; }

    std::map<int, QString> panes;
    int treeRebuilds = 0;
    std::vector<kvd::CQ770Doc*> shownDocs;
    QStringList titles;
    int closed = 0;
    QStringList recentAdded;
    QStringList recentRemoved;
};

// Returns the planned paths in order; an empty string (cancel) once they run out.
class ScriptedFiles : public kvd::FileChooser {
public:
    QString openPath(const kvd::FileFilter& filter) override {
        filters.push_back(filter);
        ++opens;
        return next(openAnswers);
    }
    QString savePath(const QString& suggested, const kvd::FileFilter& filter) override {
        filters.push_back(filter);
        suggestions << suggested;
        ++saves;
        return next(saveAnswers);
    }

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::vector<kvd::FileFilter> filters;
    QStringList suggestions;
    int opens = 0;
    int saves = 0;

private:
    static QString next(std::deque<QString>& answers) {
        if (answers.empty())
            return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Dialog 131 as a function of what it is shown; Cancel unless told otherwise.
class ScriptedModels : public kvd::ModelChooser {
public:
    std::optional<kvd::ModelChoice> chooseModel(kvd::ModelSelection& selection) override {
        ++calls;
        namesShown = selection.names();
        return answer ? answer(selection) : std::nullopt;
    }
    std::function<std::optional<kvd::ModelChoice>(kvd::ModelSelection&)> answer;
    QStringList namesShown;
    int calls = 0;
};

// Little-endian integers and length-prefixed strings, for project files built in a test.
class ArchiveWriter {
public:
    ArchiveWriter& i32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<char>((u >> (8 * k)) & 0xFF));
        return *this;
    }
    ArchiveWriter& str(std::string_view s) {
        i32(static_cast<std::int32_t>(s.size()));
        bytes.append(s);
        return *this;
    }
    ArchiveWriter& channel(std::int32_t index, std::string_view name, std::string_view upper,
                           std::string_view lower) {
        return i32(index).str(name).str(upper).str(lower);
    }
    std::string bytes;
};

// A private program folder holding copies of the shipped data files, with everything a
// document needs around it.
class DocFixture : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const QString& f : {kParamFile, kInitialFile, kModelFile})
            ASSERT_TRUE(QFile::copy(kDataDir + QLatin1Char('/') + f, dir.filePath(f)))
                << f.toStdString();
        state.programFolder = dir.path() + QLatin1Char('/');
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    std::unique_ptr<kvd::CQ770Doc> makeDoc() {
        return std::make_unique<kvd::CQ770Doc>(state, prompter, host, files);
    }
    kvd::ProjectOps& ops() {
        if (!ops_)
            ops_ = std::make_unique<kvd::ProjectOps>(state, prompter, files, host, models);
        return *ops_;
    }

    void writeFile(const QString& name, std::string_view bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray readFile(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    kvd::AppState state;
    ScriptedPrompter prompter;
    FakeHost host;
    ScriptedFiles files;
    ScriptedModels models;

private:
    std::unique_ptr<kvd::ProjectOps> ops_;
};

inline std::string text(const QString& s) {
    return s.toStdString();
}

} // namespace kvdtest

// Readable values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}
namespace kvd {
inline void PrintTo(const ChannelSetting& c, std::ostream* os) {
    *os << '{' << c.index << ", " << c.name.toStdString() << ", " << c.upper.toStdString() << ", "
        << c.lower.toStdString() << '}';
}
} // namespace kvd
