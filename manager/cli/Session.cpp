#include "Session.h"

#include "app/PortList.h"
#include "app/ProjectFile.h"
#include "app/ResourceLibrary.h"
#include "link/StationList.h"
#include "params/ModelTable.h"
#include "resources/StringIds.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>

namespace kvd::cli {

namespace {

constexpr std::array<int, 4> kBauds{4800, 9600, 19200, 38400};

} // namespace

bool lineOptionsFrom(const Arguments& args, LineOptions& out, QString& error) {
    out = LineOptions{};
    const QString port = args.value(QLatin1String(kPortOption.name)).trimmed();
    if (port.isEmpty()) {
        error = QStringLiteral("--port is required");
        return false;
    }
    if (port.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        // The Ethernet module, addressed directly instead of through the module search.
        if (!parseModuleAddress(port.mid(4), out.moduleHost, out.modulePort)) {
            error = QStringLiteral("--port %1: expected tcp:HOST or tcp:HOST:PORT").arg(port);
            return false;
        }
        out.request.portEntry = QLatin1String(kTcpPortName);
    } else if (port.compare(QLatin1String(kTcpPortName), Qt::CaseInsensitive) == 0) {
        // As the program: the module address from KVD_MODULE_ADDRESS.
        ConnectionSettings s;
        applyModuleAddressFromEnvironment(s);
        out.moduleHost = s.moduleHost;
        out.modulePort = s.modulePort;
        out.request.portEntry = QLatin1String(kTcpPortName);
    } else {
        // A port list entry ("COM3 : USB Serial Port") names its port before " : ". A device
        // given by a relative path (./line) is taken from the working folder.
        out.request.portEntry = portOfEntry(port);
        if (!out.request.portEntry.startsWith(u'/') && QFileInfo::exists(out.request.portEntry))
            out.request.portEntry = QFileInfo(out.request.portEntry).absoluteFilePath();
    }

    if (args.has(QLatin1String(kBaudOption.name))) {
        bool ok = false;
        const int baud = args.value(QLatin1String(kBaudOption.name)).toInt(&ok);
        const auto it = std::find(kBauds.begin(), kBauds.end(), baud);
        if (!ok || it == kBauds.end()) {
            error = QStringLiteral("--baud %1: expected 4800, 9600, 19200 or 38400")
                        .arg(args.value(QLatin1String(kBaudOption.name)));
            return false;
        }
        out.request.baudIndex = static_cast<int>(it - kBauds.begin());
    }
    if (args.has(QLatin1String(kFormatOption.name))) {
        static const QRegularExpression format(QStringLiteral("^([78])([EON])([12])$"),
                                               QRegularExpression::CaseInsensitiveOption);
        const QString text = args.value(QLatin1String(kFormatOption.name));
        const QRegularExpressionMatch m = format.match(text);
        if (!m.hasMatch()) {
            error = QStringLiteral("--format %1: expected data bits 7 or 8, parity E, O or N, "
                                   "stop bits 1 or 2 (8N2)")
                        .arg(text);
            return false;
        }
        out.request.dataBitsIndex = m.captured(1) == QLatin1String("7") ? 0 : 1;
        const QChar parity = m.captured(2).toUpper().at(0);
        out.request.parityIndex = parity == u'E' ? 0 : parity == u'O' ? 1 : 2;
        out.request.stopBitsIndex = m.captured(3) == QLatin1String("1") ? 0 : 1;
    }
    return true;
}

bool checkStationText(const QString& text, bool single, ConsolePrompter& prompter,
                      const QString& command) {
    if (text.trimmed().isEmpty()) {
        prompter.message(ids::StationEmpty);
        return false;
    }
    const StationListResult parsed = parseStationList(text.toStdString());
    if (!parsed.ok()) {
        prompter.message(parsed.error);
        return false;
    }
    if (std::find(parsed.stations.begin(), parsed.stations.end(), 0) != parsed.stations.end()) {
        prompter.line(
            QStringLiteral("kvd %1: %2: stations are numbers from 1 to 32").arg(command, text));
        return false;
    }
    if (single && parsed.stations.size() != 1) {
        prompter.line(
            QStringLiteral("kvd %1: --station takes one station, not %2").arg(command, text));
        return false;
    }
    return true;
}

QString HeadlessDocumentHost::resourceText(int stringId) const {
    return resText(stringId);
}

Session::Session(const QString& programFolder, ConsolePrompter& prompter) : prompter_(prompter) {
    state_.programFolder = programFolder;
    connector_ = std::make_unique<Connector>(state_, prompter_, *this);
}

Session::~Session() {
    disconnect();
}

std::unique_ptr<CQ770Doc> Session::newDocument() {
    auto doc = std::make_unique<CQ770Doc>(state_, prompter_, host_, host_);
    doc->OnNewDocument();
    return doc;
}

std::unique_ptr<CQ770Doc> Session::openDocument(const QString& path) {
    // The program builds a project for its current model and then loads the file; a tool has
    // no current model, so the file's own is taken first and the factory settings shown
    // are that model's.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(static_cast<qint64>(project::kMaxFileBytes) + 1);
        if (const auto data = project::readProject(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
            state_.modelName = QString::fromStdString(data->model);
            state_.driveModelCode = modelCode(data->model, state_.driveModelCode);
        }
    }
    auto doc = std::make_unique<CQ770Doc>(state_, prompter_, host_, host_);
    if (!doc->OnOpenDocument(path))
        return nullptr;
    return doc;
}

bool Session::saveDocument(CQ770Doc& doc, const QString& path) {
    if (!doc.OnSaveDocument(path))
        return false;
    state_.projectPath = path;
    return true;
}

int Session::connect(const LineOptions& line, const QString& stationText) {
    ConnectRequest request = line.request;
    request.stationText = stationText;
    state_.settings.moduleHost = line.moduleHost;
    state_.settings.modulePort = line.modulePort;

    // A successful connection remembers its port and stations for the program's next
    // connection dialog. The tool takes its line from its arguments every time, so what it
    // would remember goes to a scratch folder and the program's settings stay as they were.
    QTemporaryDir scratch;
    const QString programFolder = state_.programFolder;
    const QString tempFolder = state_.tempFolder;
    state_.programFolder = scratch.path() + u'/';
    state_.tempFolder = scratch.path();
    const ConnectResult result = connector_->connect(request);
    state_.programFolder = programFolder;
    state_.tempFolder = tempFolder;

    switch (result) {
    case ConnectResult::Connected:
        return ExitOk;
    case ConnectResult::NoStationText:
    case ConnectResult::BadStationText:
        return ExitUsage;
    default:
        return ExitFailed;
    }
}

void Session::disconnect() {
    if (state_.link)
        connector_->disconnect();
}

} // namespace kvd::cli
