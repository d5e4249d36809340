// kvd run as a program: probe, read, show, write, get and set against the drive simulator on
// a pseudo-terminal and on loopback TCP, and the exit statuses of what goes wrong.
#include "app/ProjectFile.h"
#include "app/ResourceLibrary.h"
#include "drive-sim/Simulator.h"
#include "params/Catalogue.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

using namespace kvd;

namespace {

// QProcess wants an application object.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_cli";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
        ASSERT_TRUE(ResourceLibrary::instance().load(QStringLiteral(KVD_BIN_DIR)));
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// The program's message text, as kvd prints it.
QString text(int id, const QStringList& args = {}) {
    return ResourceLibrary::instance().format(id, args);
}

// Blanks collapsed, so table rows compare without their padding.
QStringList lines(const QString& out) {
    QStringList result;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
        result << line.simplified();
    return result;
}

const ParamSpec& entry(std::string_view code) {
    const ParamSpec* s = findSpec(code);
    if (!s)
        throw std::runtime_error("no parameter " + std::string(code));
    return *s;
}

sim::StationConfig drive(int address, int model = 1205, std::uint16_t version = 1100) {
    sim::StationConfig c;
    c.address = address;
    c.modelCode = model;
    c.version = version;
    return c;
}

// Function codes of the requests the line received.
class FrameLog {
public:
    void add(std::string_view line) {
        // "rx 01 10 ..." : the second byte is the function.
        if (!line.starts_with("rx ") || line.size() < 8)
            return;
        std::lock_guard lock(mu_);
        functions_.push_back(std::stoi(std::string(line.substr(6, 2)), nullptr, 16));
    }
    int count(int function) {
        std::lock_guard lock(mu_);
        return static_cast<int>(std::count(functions_.begin(), functions_.end(), function));
    }

private:
    std::mutex mu_;
    std::vector<int> functions_;
};

enum class Line { Pty, Tcp };

class Cli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void startLine(std::vector<sim::StationConfig> stations, Line kind = Line::Pty) {
        sim::Options o;
        o.stations = std::move(stations);
        o.trace = [log = log](std::string_view line) { log->add(line); };
        line = std::make_unique<sim::Simulator>(o);
        if (kind == Line::Tcp) {
            ASSERT_TRUE(line->startTcp("127.0.0.1", 0));
            port = QStringLiteral("tcp:127.0.0.1:%1").arg(line->tcpPort());
        } else {
            ASSERT_TRUE(line->startPty());
            port = QString::fromStdString(line->devicePath());
        }
    }

    Outcome kvd(const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("KVD_MODULE_ADDRESS"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KVD_EXE), args);
        Outcome r;
        if (!p.waitForFinished(60000))
            return r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    std::uint16_t reg(int station, std::string_view code) {
        return line->station(station).readRegister(entry(code).reg).value_or(0xFFFF);
    }
    void setReg(int station, std::string_view code, std::uint16_t value) {
        ASSERT_TRUE(line->station(station).setRegister(entry(code).reg, value));
    }

    // Changes edit values of a project file in place.
    void editProject(const QString& file,
                     const std::vector<std::pair<std::string_view, std::string>>& values) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        auto data = project::readProject(std::string_view(bytes.constData(), bytes.size()));
        ASSERT_TRUE(data);
        for (const auto& [code, value] : values)
            data->groups.at(entry(code).group).at(entry(code).index) = value;
        const auto out = project::writeProject(*data);
        ASSERT_TRUE(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(out->data(), static_cast<qint64>(out->size()));
    }

    QTemporaryDir dir;
    std::shared_ptr<FrameLog> log = std::make_shared<FrameLog>();
    std::unique_ptr<sim::Simulator> line;
    QString port;
};

// The main paths, over both kinds of line.
class CliOnLine : public Cli, public ::testing::WithParamInterface<Line> {};

TEST_P(CliOnLine, ProbeListsFamilyModelAndVersionOfEachStation) {
    startLine({drive(1, 1205, 1100), drive(2, 203, 1000), drive(5, 401, 1234)}, GetParam());
    const Outcome r = kvd({"probe", "--port", port, "--stations", "1,2,5"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out),
              (QStringList{"station family model name version", "1 0x0100 1205 KVD230S-03F 1.100",
                           "2 0x0100 203 KVD230S-13F 1.000", "5 0x0100 401 KVD-401-H 1.234"}));
    EXPECT_TRUE(r.err.contains(text(ids::LinkSuccessful)));
}

TEST_P(CliOnLine, ReadsAStationIntoANewProjectThatShowPrints) {
    startLine({drive(1, 203)}, GetParam());
    setReg(1, "01-03", 123);  // 12.3
    setReg(1, "03-09", 0x0D); // 01101
    const Outcome read = kvd({"read", "--port", port, "--station", "1", "-o", "line.qf7"});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    EXPECT_TRUE(read.err.contains(text(ids::ReadCompleted)));

    // A new project takes the drive's own model.
    const Outcome show = kvd({"show", "line.qf7"});
    ASSERT_EQ(show.status, 0) << show.err.toStdString();
    EXPECT_TRUE(show.out.startsWith(text(ids::PaneModel) + " KVD230S-13F\n"));
    EXPECT_TRUE(show.out.contains(QRegularExpression("\n01-03 +\\S+ +12\\.3 ")));
    EXPECT_TRUE(show.out.contains(QRegularExpression("\n03-09 +\\S+ +01101 ")));

    const Outcome csv = kvd({"show", path("line.qf7"), "--group", "01", "--format", "csv"});
    ASSERT_EQ(csv.status, 0);
    const QStringList rows = csv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 1 + 12); // header and the twelve items of group 01
    EXPECT_EQ(rows[0],
              QStringList({text(ids::ColumnCode), text(ids::ColumnFactory), text(ids::ColumnEdit),
                           text(ids::ColumnRead), text(ids::ColumnDescription)})
                  .join(u','));
    EXPECT_TRUE(rows[4].startsWith("01-03,")) << rows[4].toStdString();
    EXPECT_TRUE(rows[4].contains(",12.3,,")) << rows[4].toStdString();
}

TEST_P(CliOnLine, WritesAChangedProjectToTwoStationsAndReadsItBack) {
    startLine({drive(1), drive(2), drive(3)}, GetParam());
    ASSERT_EQ(kvd({"read", "-p", port, "-s", "1", "-o", "p.qf7"}).status, 0);
    editProject(path("p.qf7"), {{"01-03", "45.6"}, {"03-09", "10011"}, {"F_06", "48.50"}});
    const std::uint16_t before = reg(1, "01-03");

    const Outcome w = kvd({"write", "p.qf7", "--port", port, "--stations", "2,3"});
    ASSERT_EQ(w.status, 0) << w.err.toStdString();
    for (int station : {2, 3}) {
        EXPECT_EQ(reg(station, "01-03"), 456);
        EXPECT_EQ(reg(station, "03-09"), 19);
        EXPECT_EQ(reg(station, "F_06"), 4850);
        EXPECT_TRUE(w.err.contains(text(ids::StationNumFormat, {QString::number(station)}) + ": " +
                                   text(ids::WriteSuccessful)));
    }
    EXPECT_EQ(reg(1, "01-03"), before);

    const struct {
        const char* code;
        const char* value;
    } back[] = {{"01-03", "45.6"}, {"03-09", "10011"}, {"f_06", "48.50"}};
    for (const auto& b : back) {
        const Outcome get = kvd({"get", "-q", "--port", port, "--station", "3", b.code});
        EXPECT_EQ(get.status, 0) << b.code << get.err.toStdString();
        EXPECT_EQ(get.out, QString(b.value) + "\n") << b.code;
        EXPECT_TRUE(get.err.isEmpty()) << get.err.toStdString(); // --quiet
    }
}

INSTANTIATE_TEST_SUITE_P(PtyAndTcp, CliOnLine, ::testing::Values(Line::Pty, Line::Tcp),
                         [](const auto& info) { return info.param == Line::Pty ? "Pty" : "Tcp"; });

// The connection asks before it takes a drive of another family; the question is answered
// from the command line.
TEST_F(Cli, ADriveOfAnotherFamilyIsTakenOnlyWithYes) {
    sim::StationConfig other = drive(2);
    other.family = 0x0200;
    startLine({drive(1), other});
    const Outcome no = kvd({"probe", "-p", port, "-s", "1,2"});
    EXPECT_EQ(no.status, 1);
    EXPECT_TRUE(no.err.contains(text(ids::InverterTypeMismatch))) << no.err.toStdString();
    EXPECT_TRUE(no.out.isEmpty());

    const Outcome yes = kvd({"probe", "-p", port, "-s", "1,2", "--yes"});
    ASSERT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_EQ(lines(yes.out).value(2), "2 0x0200 1205 KVD230S-03F 1.100");
}

TEST_F(Cli, ReadIntoAnExistingProjectKeepsItsModel) {
    startLine({drive(1, 1205)});
    setReg(1, "01-03", 77);
    ASSERT_EQ(kvd({"read", "-p", port, "-s", "1", "-o", "a.qf7", "--model", "KVD-401-H", "--region",
                   "60"})
                  .status,
              0);
    const Outcome into = kvd({"read", "-p", port, "-s", "1", "--into", "a.qf7"});
    ASSERT_EQ(into.status, 0) << into.err.toStdString();
    const Outcome show = kvd({"show", "a.qf7", "-g", "1", "--format", "csv"});
    EXPECT_TRUE(show.out.contains(QRegularExpression("\n01-03,[^,]*,7\\.7,")));
    EXPECT_TRUE(kvd({"show", "a.qf7"}).out.startsWith(text(ids::PaneModel) + " KVD-401-H\n"));
}

// set goes through the row write of the group pages: its checks refuse before anything is
// written, and a value that passes lands in the drive's register.
TEST_F(Cli, SetChecksAsTheRowWriteDoes) {
    const struct {
        const char* name;
        std::function<void(sim::StationControl)> stage;
        const char* code;
        QString value;
        int status;
        QString message;
        std::optional<std::uint16_t> word; // the register afterwards, when written
    } cases[] = {
        {"written", {}, "01-03", "5.5", 0, text(ids::WriteSuccessful), 55},
        {"list value", {}, "00-04", "2", 0, text(ids::WriteSuccessful), 2},
        {"locked drive", [](sim::StationControl s) { s.setPassword(1234); }, "01-03", "5.5", 1,
         text(ids::StationHasPassword, {"1"}), std::nullopt},
        {"beyond range", {}, "01-03", "200", 1, text(ids::BeyondRange), std::nullopt},
        {"read-only", {}, "00-08", "1", 1, text(ids::ParameterReadOnly), std::nullopt},
        {"equal partner", [](sim::StationControl s) { s.setRegister(0x0006, 3); }, "00-05", "3", 1,
         text(ids::Params0005And0006Same), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startLine({drive(1)});
        if (c.stage)
            c.stage(line->station(1));
        const std::uint16_t before = reg(1, c.code);
        const Outcome r = kvd({"set", "--port", port, "--station", "1", c.code, c.value});
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(reg(1, c.code), c.word.value_or(before));
        line.reset();
    }
}

TEST_F(Cli, WriteGoesOnPastAFailedStationAndSaysWhichFailed) {
    startLine({drive(1), drive(2), drive(3)});
    ASSERT_EQ(kvd({"read", "-p", port, "-s", "1", "-o", "p.qf7"}).status, 0);
    editProject(path("p.qf7"), {{"01-03", "45.6"}});
    line->station(2).setPassword(99);

    const Outcome w = kvd({"write", "p.qf7", "-p", port, "-s", "1-3"});
    EXPECT_EQ(w.status, 1);
    EXPECT_TRUE(w.err.contains(text(ids::StationHasPassword, {"2"})));
    EXPECT_EQ(reg(1, "01-03"), 456);
    EXPECT_EQ(reg(3, "01-03"), 456);
    const QString station2 = text(ids::StationNumFormat, {"2"}) + ": ";
    EXPECT_TRUE(w.err.contains(station2 + text(ids::WriteFailure)));
    EXPECT_TRUE(
        w.err.contains(text(ids::StationNumFormat, {"3"}) + ": " + text(ids::WriteSuccessful)));
}

TEST_F(Cli, DryRunPrintsTheBlocksAndWritesNothing) {
    startLine({drive(1, 1205, 1000)});
    ASSERT_EQ(kvd({"read", "-p", port, "-s", "1", "-o", "p.qf7"}).status, 0);
    editProject(path("p.qf7"), {{"10-00", "1"}, {"10-01", "2"}});
    setReg(1, "00-02", 1); // 00-01 is not writable while the run source is not the keypad

    const int writesBefore = log->count(0x10) + log->count(0x06);
    const Outcome onLine = kvd({"write", "p.qf7", "-p", port, "-s", "1", "--dry-run"});
    ASSERT_EQ(onLine.status, 0) << onLine.err.toStdString();
    EXPECT_EQ(log->count(0x10) + log->count(0x06), writesBefore);
    const QStringList rows = lines(onLine.out);
    EXPECT_EQ(rows.value(0), text(ids::StationNumFormat, {"1"}));
    EXPECT_EQ(rows.filter(QRegularExpression("^00 0x0002 6 00-02..00-07 ")).size(), 1);
    EXPECT_TRUE(rows.filter(QRegularExpression("^00 0x0001 ")).isEmpty());
    EXPECT_EQ(rows.filter(QRegularExpression("^10 0x0a00 23 10-00..10-22 1 2 ")).size(), 1);
    EXPECT_TRUE(rows.filter(QRegularExpression("^02 0x0204 ")).isEmpty()); // version 1.0

    // Without a line: a drive with the keypad as run source and every parameter.
    const Outcome offline = kvd({"write", "p.qf7", "--dry-run"});
    ASSERT_EQ(offline.status, 0);
    const QStringList all = lines(offline.out);
    EXPECT_EQ(all.filter(QRegularExpression("^00 0x0001 7 ")).size(), 1);
    EXPECT_EQ(
        all.filter(QRegularExpression("^02 0x0204 1 02-04 \\d+ \\(from version 1\\.1\\)$")).size(),
        1);

    // The rules between parameters are checked on the project's values.
    editProject(path("p.qf7"), {{"00-05", "2"}, {"00-06", "2"}});
    const Outcome rule = kvd({"write", "p.qf7", "--dry-run"});
    EXPECT_EQ(rule.status, 1);
    EXPECT_TRUE(rule.err.contains(text(ids::Params0005And0006Same)));
}

// What goes wrong, and the exit status it gives: 1 when the line, a drive or a file failed,
// 2 when the command line is wrong.
TEST_F(Cli, FailuresEndWithTheirMessageAndStatus) {
    QFile bad(path("bad.qf7"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a project");
    bad.close();

    const struct {
        const char* name;
        std::function<void(sim::Simulator&)> stage;
        QStringList args; // "PORT" stands for the line
        int status;
        QString message;
        const char* fileNotWritten = nullptr;
    } cases[] = {
        {"silent station",
         [](sim::Simulator& s) { s.station(2).setFault(sim::FaultMode::Silent); },
         {"probe", "-p", "PORT", "-s", "1,2"},
         1,
         text(ids::CommunicationError)},
        {"station not on the line",
         {},
         {"probe", "-p", "PORT", "-s", "1,9"},
         1,
         text(ids::CommunicationError)},
        {"station falls silent while read",
         [](sim::Simulator& s) { s.station(1).setSilentAfter(10); },
         {"read", "-p", "PORT", "-s", "1", "-o", "out.qf7"},
         1,
         text(ids::TimeOut),
         "out.qf7"},
        {"write to a silent station writes none",
         [](sim::Simulator& s) { s.station(2).setFault(sim::FaultMode::Silent); },
         {"write", "good.qf7", "-p", "PORT", "-s", "1,2"},
         1,
         text(ids::CommunicationError)},
        {"port that does not open",
         {},
         {"probe", "-p", "/nonexistent/tty", "-s", "1"},
         1,
         text(ids::CantOpenPort)},
        {"missing file", {}, {"show", "missing.qf7"}, 1, text(ids::OpenFileFailed)},
        {"bad file", {}, {"show", "bad.qf7"}, 1, text(ids::ProjectFileInvalid)},
        {"bad file to write",
         {},
         {"write", "bad.qf7", "-p", "PORT", "-s", "1"},
         1,
         text(ids::ProjectFileInvalid)},
        {"range backwards",
         {},
         {"probe", "-p", "PORT", "-s", "5-3"},
         2,
         text(ids::StationRangeOrder)},
        {"station repeated",
         {},
         {"write", "good.qf7", "-p", "PORT", "-s", "1,1"},
         2,
         text(ids::StationRepeated)},
        {"station above 32",
         {},
         {"probe", "-p", "PORT", "-s", "30-34"},
         2,
         text(ids::StationAbove32)},
        {"no station", {}, {"probe", "-p", "PORT", "-s", ""}, 2, text(ids::StationEmpty)},
        {"station that is no number", {}, {"get", "-p", "PORT", "-s", "x", "01-03"}, 2, "1 to 32"},
        {"two stations to read",
         {},
         {"read", "-p", "PORT", "-s", "1,2", "-o", "o.qf7"},
         2,
         "one station"},
        {"no output", {}, {"read", "-p", "PORT", "-s", "1"}, 2, "-o FILE"},
        {"unknown model",
         {},
         {"read", "-p", "PORT", "-s", "1", "-o", "o.qf7", "-m", "X"},
         2,
         "--model X"},
        {"no port", {}, {"probe", "-s", "1"}, 2, "--port is required"},
        {"bad line format",
         {},
         {"probe", "-p", "PORT", "-s", "1", "--format", "9X3"},
         2,
         "--format 9X3"},
        {"unknown parameter", {}, {"get", "-p", "PORT", "-s", "1", "99-99"}, 2, "99-99"},
        {"unknown option", {}, {"show", "good.qf7", "--frobnicate"}, 2, "--frobnicate"},
        {"unknown command", {}, {"frobnicate"}, 2, "frobnicate"},
    };

    startLine({drive(1), drive(2)});
    ASSERT_EQ(kvd({"read", "-p", port, "-s", "1", "-o", "good.qf7"}).status, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        line.reset();
        startLine({drive(1), drive(2)});
        if (c.stage)
            c.stage(*line);
        QStringList args = c.args;
        args.replaceInStrings(QRegularExpression("^PORT$"), port);
        const Outcome r = kvd(args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(log->count(0x10) + log->count(0x06), 0);
        if (c.fileNotWritten) {
            EXPECT_FALSE(QFile::exists(path(c.fileNotWritten)));
        }
    }
}

TEST_F(Cli, HelpAndPorts) {
    const Outcome ports = kvd({"ports"});
    EXPECT_EQ(ports.status, 0);
    EXPECT_TRUE(ports.out.endsWith("TCPIP\n"));
    for (const char* command : {"ports", "probe", "read", "write", "show", "get", "set"}) {
        const Outcome help = kvd({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: kvd ") + command)) << command;
    }
    EXPECT_EQ(kvd({"--help"}).status, 0);
    EXPECT_EQ(kvd({}).status, 2);
}

} // namespace
