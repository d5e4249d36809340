#include "HandOver.h"

#include "ResourceLibrary.h"
#include "TextLines.h"
#include "link/Exchange.h"
#include "link/PortNames.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QFile>

namespace kvd {
namespace {

constexpr int kMaxStation = 32;

// Line 4: "8N2"-style digits: data bits, parity (0 none, 1 odd, 2 even), stop bits.
void applyFrameFormat(ConnectionSettings& s, const QString& f) {
    if (f.size() < 3)
        return;
    if (f[0] == u'7' || f[0] == u'8')
        s.dataBitsIndex = f[0] == u'7' ? 0 : 1;
    if (f[1] == u'0')
        s.parityIndex = 2;
    else if (f[1] == u'1')
        s.parityIndex = 1;
    else if (f[1] == u'2')
        s.parityIndex = 0;
    const QChar last = f[f.size() - 1];
    if (last == u'1' || last == u'2')
        s.stopBitsIndex = last == u'1' ? 0 : 1;
}

HandOverResult connectOne(AppState& state, Prompter& prompter, StartupHost& host,
                          const QStringList& l) {
    ConnectionSettings& s = state.settings;
    const QString port = l.value(1);
    if (isDevicePath(port.toStdString())) {
        s.portDevice = port;
        s.portSelection = comNumberForDevice(port.toStdString()) - 1;
    } else {
        s.portDevice.clear();
        s.portSelection = leadingInt(port.mid(3)) - 1;
    }
    const QString baud = l.value(2);
    s.baudIndex = baud == u"4800" ? 0 : baud == u"9600" ? 1 : baud == u"38400" ? 3 : 2;
    applyFrameFormat(s, l.value(3));
    s.stationText = l.value(4);
    const int station = leadingInt(s.stationText);
    state.frequencyRegion = leadingInt(l.value(5));
    state.stations.append(station);
    SaveConnectionSettings(s, state.programFolder, state.tempFolder);

    // Line 3's number and line 4's digits go to the link as they stand.
    // (Characters that are no valid digit fall back to the settings just derived.)
    const QString format = l.value(3);
    auto digit = [&](qsizetype i, int fallback) {
        const int d = i < format.size() ? format[i].digitValue() : -1;
        return d >= 0 ? d : fallback;
    };
    const int dataBits = format.size() >= 3 ? digit(0, s.dataBits()) : s.dataBits();
    const int parity = format.size() >= 3 ? digit(1, s.parity()) : s.parity();
    const float stop = static_cast<float>(
        format.size() >= 3 ? digit(format.size() - 1, s.stopBitsIndex + 1) : s.stopBitsIndex + 1);
    SerialLink& link = state.ensureLink();
    if (link.InitComm(port.toStdString(), leadingInt(baud), dataBits, parity, stop, 2048, 2048) ==
        0) {
        prompter.message(ids::CantOpenPort);
        state.link.reset();
        state.stations.clear();
        return HandOverResult::PortFailed;
    }
    if (probeStation(state, station) != LinkOk) {
        prompter.message(ids::CommunicationError);
        state.dropLink();
        state.stations.clear();
        return HandOverResult::ProbeFailed;
    }

    host.newOnlineProject();
    state.connected = true;
    state.stationText = QString::number(station);
    host.showStatus(1, QString::asprintf("%.3f", state.versions.value(0) * 0.001));
    host.showStatus(2, state.stationText);
    host.showStatus(3, state.modelName);
    host.showStatus(4, resText(ids::Online));
    return HandOverResult::Connected;
}

} // namespace

QString commandLineFile(const QStringList& arguments) {
    QString file = arguments.value(1);
    if (file.endsWith(QStringLiteral("/dde")))
        file.chop(4);
    return file;
}

LinkError probeStation(AppState& state, int station) {
    // A station text whose number is no bus address would only send frames nobody answers.
    if (!state.link || station < 1 || station > kMaxStation)
        return LinkCommError;
    SerialLink& link = *state.link;
    const auto addr = static_cast<std::uint8_t>(station);
    std::vector<std::uint16_t> words;
    LinkError e = readRegisters(link, addr, 0x0002, 1, words, Pacing::Direct);
    if (e != LinkOk)
        return e;
    state.cachedRunSource = words[0];
    e = readRegisters(link, addr, 0x0D00, 2, words, Pacing::Paced);
    if (e != LinkOk)
        return e;
    state.modelCodes.append(words[0]);
    state.versions.append(words[1]);
    state.driveModelCode = words[0];
    state.modelName = QString::fromStdString(modelName(words[0]));
    return LinkOk;
}

HandOverResult processHandOver(AppState& state, Prompter& prompter, StartupHost& host,
                               const QString& tempFolder) {
    if (tempFolder.isEmpty())
        return HandOverResult::NoFile;
    const QString path = QDir(tempFolder).filePath(kHandOverFile);
    const auto lines = readTextLines(path, 64 * 1024);
    if (!lines)
        return HandOverResult::NoFile;
    HandOverResult result = HandOverResult::Nothing;
    const QString mode = lines->value(0);
    if (mode == u"1") {
        if (lines->size() > 1)
            result = host.openProject(lines->at(1)) ? HandOverResult::Opened
                                                    : HandOverResult::OpenFailed;
    } else if (mode == u"2") {
        result = connectOne(state, prompter, host, *lines);
    }
    QFile::remove(path); // a failure to delete is no reason to stop
    return result;
}

} // namespace kvd
