#include "DataFiles.h"

#include "Catalogue.h"
#include "ModelTable.h"
#include "ValueText.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace kvd {
namespace {

void setError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
}

std::string lineError(std::size_t number, std::string_view what) {
    return "line " + std::to_string(number) + ": " + std::string(what);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The text's lines without their line ends; empty with `error` set when a line is too long.
std::optional<std::vector<std::string_view>> splitLines(std::string_view text, std::string* error) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kMaxDataLineLength) {
            setError(error, lineError(lines.size() + 1, "line too long"));
            return std::nullopt;
        }
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> readFile(const std::filesystem::path& file, std::string* error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || !std::filesystem::is_regular_file(file, ec)) {
        setError(error, file.string() + ": cannot be read");
        return std::nullopt;
    }
    if (size > kMaxDataFileSize) {
        setError(error, file.string() + ": file too large");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        setError(error, file.string() + ": cannot be read");
        return std::nullopt;
    }
    return text;
}

template <typename Parse>
auto loadWith(const std::filesystem::path& file, std::string* error, Parse parse)
    -> decltype(parse(std::string_view(), error)) {
    const auto text = readFile(file, error);
    if (!text)
        return std::nullopt;
    auto result = parse(*text, error);
    if (!result && error)
        *error = file.string() + ": " + *error;
    return result;
}

} // namespace

std::optional<std::vector<ParamGroup>> parseParamData(std::string_view text, std::string* error) {
    const auto lines = splitLines(text, error);
    if (!lines)
        return std::nullopt;
    std::vector<ParamGroup> groups;
    std::vector<ParamItem> pending;
    for (std::size_t n = 0; n < lines->size(); ++n) {
        const std::string_view line = (*lines)[n];
        if (trim(line).empty())
            continue;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            groups.push_back({std::string(trim(line.substr(hash + 1))), std::move(pending)});
            pending.clear();
            continue;
        }
        const std::size_t at = line.find('@');
        const std::size_t dollar = line.find('$', at == std::string_view::npos ? at : at + 1);
        const std::size_t star =
            line.find('*', dollar == std::string_view::npos ? dollar : dollar + 1);
        if (star == std::string_view::npos) {
            setError(error, lineError(n + 1, "expected label@factory$edit*extra"));
            return std::nullopt;
        }
        // The document keeps 100 modified marks per group.
        if (pending.size() == 100) {
            setError(error, lineError(n + 1, "more than 100 items in a group"));
            return std::nullopt;
        }
        ParamItem item;
        item.label = line.substr(0, at);
        item.factoryValue = line.substr(at + 1, dollar - at - 1);
        item.editValue = line.substr(dollar + 1, star - dollar - 1);
        item.extra = line.substr(star + 1);
        pending.push_back(std::move(item));
    }
    return groups;
}

std::optional<std::vector<ParamGroup>> loadParamData(const std::filesystem::path& file,
                                                     std::string* error) {
    return loadWith(file, error, parseParamData);
}

std::optional<std::vector<InitialValueRow>> parseInitialParams(std::string_view text,
                                                               std::string* error) {
    const auto lines = splitLines(text, error);
    if (!lines)
        return std::nullopt;
    std::vector<InitialValueRow> rows;
    for (std::size_t n = 0; n < lines->size(); ++n) {
        const std::string_view line = trimLeft((*lines)[n]);
        if (trim(line) == "END")
            break;
        if (line.empty())
            continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            setError(error, lineError(n + 1, "expected key:value,value,..."));
            return std::nullopt;
        }
        InitialValueRow row;
        row.key = line.substr(0, colon);
        std::string_view rest = line.substr(colon + 1);
        for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
            row.values.emplace_back(trim(rest.substr(0, comma)));
            rest.remove_prefix(comma + 1);
        }
        if (!trim(rest).empty())
            row.values.emplace_back(trim(rest));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::vector<InitialValueRow>> loadInitialParams(const std::filesystem::path& file,
                                                              std::string* error) {
    return loadWith(file, error, parseInitialParams);
}

std::optional<std::vector<ModelDescription>> parseModelFile(std::string_view text,
                                                            std::string* error) {
    const auto lines = splitLines(text, error);
    if (!lines)
        return std::nullopt;
    constexpr std::string_view typeTag = "TYPE:";
    std::vector<ModelDescription> models;
    for (const std::string_view raw : *lines) {
        const std::string_view line = trim(raw);
        if (line.size() <= 4)
            continue;
        if (line.substr(0, typeTag.size()) == typeTag) {
            const std::string_view rest = line.substr(typeTag.size());
            models.push_back({std::string(rest.substr(0, rest.empty() ? 0 : rest.size() - 1)), {}});
        } else if (!models.empty()) {
            models.back().description.append(line).append("\n");
        }
    }
    return models;
}

std::optional<std::vector<ModelDescription>> loadModelFile(const std::filesystem::path& file,
                                                           std::string* error) {
    return loadWith(file, error, parseModelFile);
}

std::vector<std::string> catalogueMismatches(const std::vector<ParamGroup>& groups) {
    std::vector<std::string> problems;
    if (groups.size() != static_cast<std::size_t>(kGroupCount))
        problems.push_back(std::to_string(groups.size()) + " groups instead of " +
                           std::to_string(kGroupCount));
    for (int g = 0; g < kGroupCount && static_cast<std::size_t>(g) < groups.size(); ++g) {
        const auto specs = groupSpecs(g);
        const auto& items = groups[static_cast<std::size_t>(g)].items;
        const std::string where = "group " + std::string(groupPrefix(g)) + ": ";
        if (items.size() != specs.size())
            problems.push_back(where + std::to_string(items.size()) + " items instead of " +
                               std::to_string(specs.size()));
        for (std::size_t i = 0; i < items.size() && i < specs.size(); ++i) {
            const ParamSpec& entry = specs[i];
            const ParamItem& item = items[i];
            if (itemCode(item) != entry.code) {
                problems.push_back(where + "item " + std::to_string(i) + " is \"" +
                                   std::string(itemCode(item)) + "\" instead of " +
                                   std::string(entry.code));
                continue;
            }
            for (const std::string* value : {&item.factoryValue, &item.editValue})
                if (!parseText(entry, *value))
                    problems.push_back(std::string(entry.code) + ": \"" + *value +
                                       "\" is no value of its format");
        }
    }
    return problems;
}

std::map<std::uint16_t, std::uint16_t>
factoryRegisterValues(const std::filesystem::path& dataFolder, int modelCode, int frequencyRegion,
                      std::string* error) {
    if (modelCode < 0 || modelCode > 0xFFFF) {
        setError(error, "model code " + std::to_string(modelCode) + " does not fit a register");
        return {};
    }
    auto groups = loadParamData(dataFolder / kParamDataFileName, error);
    if (!groups)
        return {};
    if (const auto problems = catalogueMismatches(*groups); !problems.empty()) {
        setError(error, std::string(kParamDataFileName) + ": " + problems.front());
        return {};
    }
    const std::filesystem::path initialFile = dataFolder / kInitialParamFileName;
    std::error_code ec;
    if (std::filesystem::exists(initialFile, ec)) {
        const auto rows = loadInitialParams(initialFile, error);
        if (!rows)
            return {};
        // A model outside the table keeps the data file's values rather than empty texts.
        if (modelRow(modelCode) >= 0)
            applyInitialValues(*groups, *rows, modelCode, true);
    }
    applyRegionDefaults(*groups, frequencyRegion, modelCode);

    std::map<std::uint16_t, std::uint16_t> words;
    for (const ParamSpec& entry : allSpecs()) {
        if (entry.format == ValueFormat::ModelText) {
            words[entry.reg] = static_cast<std::uint16_t>(modelCode);
            continue;
        }
        const ParamItem& item = (*groups)[static_cast<std::size_t>(entry.group)]
                                    .items[static_cast<std::size_t>(entry.index)];
        const auto word = parseText(entry, item.factoryValue);
        if (!word) {
            setError(error, std::string(entry.code) + ": factory value \"" + item.factoryValue +
                                "\" is no value of its format");
            return {};
        }
        words[entry.reg] = *word;
    }
    return words;
}

} // namespace kvd
