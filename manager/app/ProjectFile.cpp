#include "ProjectFile.h"

#include "params/Catalogue.h"

#include <algorithm>

namespace kvd::project {
namespace {

void setError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
}

std::size_t catalogueCount(std::size_t group) {
    return groupSpecs(static_cast<int>(group)).size();
}

bool hasSpareValue(std::int32_t version, std::size_t group) {
    return version <= kLastSpareValueVersion &&
           std::find(kSpareValueGroups.begin(), kSpareValueGroups.end(), static_cast<int>(group)) !=
               kSpareValueGroups.end();
}

// Reads the archive front to back; the first failure sticks and names what was being read.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    std::int32_t integer(const char* what) {
        if (failed())
            return 0;
        if (rest_.size() < 4) {
            fail(what, "file ends early");
            return 0;
        }
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k)
            v = (v << 8) | static_cast<unsigned char>(rest_[static_cast<std::size_t>(k)]);
        rest_.remove_prefix(4);
        return static_cast<std::int32_t>(v);
    }

    // A count between 0 and `limit`.
    std::size_t count(const char* what, std::size_t limit) {
        const std::int32_t n = integer(what);
        if (failed())
            return 0;
        if (n < 0 || static_cast<std::size_t>(n) > limit) {
            fail(what, std::to_string(n) + " is beyond " + std::to_string(limit));
            return 0;
        }
        return static_cast<std::size_t>(n);
    }

    std::string string(const char* what, std::size_t limit) {
        const std::size_t n = count(what, limit);
        if (failed())
            return {};
        if (rest_.size() < n) {
            fail(what, "file ends early");
            return {};
        }
        std::string s(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return s;
    }

    void fail(const char* what, const std::string& why) {
        if (!failed())
            error_ = std::string(what) + ": " + why;
    }

private:
    std::string_view rest_;
    std::string error_;
};

void putInteger(std::string& out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

bool putString(std::string& out, std::string_view s, std::size_t limit, const std::string& what,
               std::string* error) {
    if (s.size() > limit) {
        setError(error, what + ": \"" + std::string(s) + "\" is longer than " +
                            std::to_string(limit) + " bytes");
        return false;
    }
    putInteger(out, static_cast<std::int32_t>(s.size()));
    out.append(s);
    return true;
}

} // namespace

std::optional<ProjectData> readProject(std::string_view bytes, std::string* error) {
    if (bytes.size() > kMaxFileBytes) {
        setError(error, "file too large");
        return std::nullopt;
    }
    Reader in(bytes);
    ProjectData data;
    data.version = in.integer("version");
    if (!in.failed() && (data.version < kOldestVersion || data.version > kWrittenVersion))
        in.fail("version", std::to_string(data.version) + " is not known");
    data.model = in.string("model", kMaxValueBytes);
    const std::size_t groupCount = in.count("group count", static_cast<std::size_t>(kGroupCount));
    for (std::size_t g = 0; g < groupCount && !in.failed(); ++g) {
        const std::size_t itemCount = in.count("item count", catalogueCount(g));
        std::vector<std::string> values;
        for (std::size_t i = 0; i < itemCount && !in.failed(); ++i)
            values.push_back(in.string("value", kMaxValueBytes));
        if (hasSpareValue(data.version, g) && !values.empty())
            values.pop_back();
        data.groups.push_back(std::move(values));
    }
    if (data.version >= kFirstChannelVersion) {
        std::array<ChannelRecord, kChannelCount> channels;
        for (ChannelRecord& c : channels) {
            c.index = in.integer("channel index");
            c.name = in.string("channel name", kMaxChannelTextBytes);
            c.upper = in.string("channel upper scale", kMaxChannelTextBytes);
            c.lower = in.string("channel lower scale", kMaxChannelTextBytes);
        }
        data.channels = std::move(channels);
    }
    if (in.failed()) {
        setError(error, in.error());
        return std::nullopt;
    }
    return data;
}

std::optional<std::string> writeProject(const ProjectData& data, std::string* error) {
    std::string out;
    putInteger(out, kWrittenVersion);
    if (!putString(out, data.model, kMaxValueBytes, "model", error))
        return std::nullopt;
    if (data.groups.size() > static_cast<std::size_t>(kGroupCount)) {
        setError(error, std::to_string(data.groups.size()) + " groups");
        return std::nullopt;
    }
    putInteger(out, static_cast<std::int32_t>(data.groups.size()));
    for (std::size_t g = 0; g < data.groups.size(); ++g) {
        const auto& values = data.groups[g];
        if (values.size() > catalogueCount(g)) {
            setError(error, "group " + std::to_string(g) + ": " + std::to_string(values.size()) +
                                " items");
            return std::nullopt;
        }
        putInteger(out, static_cast<std::int32_t>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!putString(out, values[i], kMaxValueBytes,
                           "group " + std::to_string(g) + " item " + std::to_string(i), error))
                return std::nullopt;
    }
    const std::array<ChannelRecord, kChannelCount> channels =
        data.channels.value_or(std::array<ChannelRecord, kChannelCount>{});
    for (const ChannelRecord& c : channels) {
        putInteger(out, c.index);
        for (const std::string* s : {&c.name, &c.upper, &c.lower})
            if (!putString(out, *s, kMaxChannelTextBytes, "channel", error))
                return std::nullopt;
    }
    return out;
}

} // namespace kvd::project
