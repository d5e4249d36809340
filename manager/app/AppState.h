// Program-wide state that the main frame holds for the whole run. Operations take it by
// reference; windows show it. No widgets here.
#pragma once

#include "ConnectionSettings.h"
#include "link/SerialLink.h"
#include "params/ModelTable.h"

#include <QList>
#include <QString>

#include <memory>

namespace kvd {

// One of the four graph channels: the quantity it shows and its scale, as the project
// file keeps them.
struct ChannelSetting {
    int index = 0;
    QString name;
    QString upper;
    QString lower;
    bool operator==(const ChannelSetting&) const = default;
};

struct AppState {
    std::unique_ptr<SerialLink> link;
    bool connected = false;
    bool viaModule = false;
    QList<int> stations;   // online stations in the order of the station text
    QList<int> modelCodes; // per station
    QList<int> versions;   // 13-01 words, per station
    QString stationText;   // as shown in the status bar

    int driveModelCode = kDefaultModelCode;
    int cachedRunSource = 0;
    int frequencyRegion = 0; // 0 50 Hz, 1 60 Hz
    QString modelName;
    QString projectPath;
    QString programFolder; // with trailing separator
    QString tempFolder;    // the user's private temporary folder; empty when none is safe
    int groupSelection = -1;
    bool fullParameterSet = true;
    int autoUpdateStation = -1;
    bool autoUpdateOn = false;
    int readStation = 1;
    bool reading = false;
    bool writing = false;
    QString lastErrorText;
    ChannelSetting channels[4];

    ConnectionSettings settings;

    SerialLink& ensureLink() {
        if (!link)
            link = std::make_unique<SerialLink>();
        return *link;
    }
    void dropLink() {
        if (link)
            link->Close();
        link.reset();
    }
};

} // namespace kvd
