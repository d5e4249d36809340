// make-icons: writes every picture of the resource library as <id>.png into a folder, and
// on request a contact sheet with all of them enlarged.
#include "Icons.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void usage(std::FILE* to) {
    std::fputs("usage: make-icons [--sheet FILE.png] [--scale N] [--ids ID,...] [OUTPUT-FOLDER]\n"
               "  OUTPUT-FOLDER      write <id>.png for every picture (created if missing)\n"
               "  --sheet FILE.png   write all pictures enlarged side by side, for review\n"
               "  --scale N          enlargement of the sheet (default 4)\n"
               "  --ids ID,...       only these pictures\n",
               to);
}

// PNG at the strongest compression; the writer adds no time stamp, so the files are the
// same on every run.
bool savePng(const QImage& image, const QString& path) {
    return image.save(path, "PNG", 0);
}

} // namespace

int main(int argc, char** argv) {
    QString outDir;
    QString sheet;
    int scale = 4;
    QString ids;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "-h") || !std::strcmp(arg, "--help")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(arg, "--sheet") && hasValue) {
            sheet = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(arg, "--scale") && hasValue) {
            try {
                scale = std::stoi(argv[++i]);
            } catch (const std::exception&) {
                scale = 0;
            }
            if (scale < 1 || scale > 32) {
                std::fprintf(stderr, "make-icons: --scale wants 1 to 32\n");
                return 2;
            }
        } else if (!std::strcmp(arg, "--ids") && hasValue) {
            ids = QString::fromLocal8Bit(argv[++i]);
        } else if (arg[0] != '-' && outDir.isEmpty()) {
            outDir = QString::fromLocal8Bit(arg);
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (outDir.isEmpty() && sheet.isEmpty()) {
        usage(stderr);
        return 2;
    }

    const auto all = kvd::icons::iconDefs();
    std::vector<kvd::icons::IconDef> defs(all.begin(), all.end());
    if (!ids.isEmpty()) {
        defs.clear();
        for (const QString& item : ids.split(u',')) {
            bool ok = false;
            const unsigned id = item.trimmed().toUInt(&ok);
            const auto it = std::find_if(all.begin(), all.end(),
                                         [id](const auto& def) { return def.id == id; });
            if (!ok || it == all.end()) {
                std::fprintf(stderr, "make-icons: no picture %s\n", qPrintable(item));
                return 2;
            }
            defs.push_back(*it);
        }
    }
    if (!outDir.isEmpty()) {
        if (!QDir().mkpath(outDir)) {
            std::fprintf(stderr, "make-icons: cannot create %s\n", qPrintable(outDir));
            return 1;
        }
        for (const auto& def : defs) {
            const QString path = QDir(outDir).filePath(QString::number(def.id) + ".png");
            if (!savePng(kvd::icons::render(def), path)) {
                std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
                return 1;
            }
            std::printf("%5u  %2dx%-2d  %s\n", def.id, def.width, def.height, def.name);
        }
    }
    if (!sheet.isEmpty()) {
        if (!savePng(kvd::icons::contactSheet(defs, scale), sheet)) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(sheet));
            return 1;
        }
        std::printf("sheet %s, left to right:", qPrintable(sheet));
        for (const auto& def : defs)
            std::printf(" %u", def.id);
        std::printf("\n");
    }
    return 0;
}
