// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding of the JSON form (tactic_json.h), with the import checks.
#include "core/model/tactic_json.h"

#include "core/model/equipment_json.h"
#include "core/model/tactic_limits.h"

#include <cmath>
#include <limits>
#include <thread>

namespace vantrel {

namespace {

using nlohmann::json;

// ---------------------------------------------------------------------------
// Decoding. A reader walks the document with a path for the error description.

struct DecodeError {
    std::string description;
};

class Reader {
public:
    explicit Reader(const json& root) : node_(root), path_() {}
    Reader(const json& node, std::string path) : node_(node), path_(std::move(path)) {}

    [[noreturn]] void fail(const std::string& message) const {
        throw DecodeError{(path_.empty() ? std::string("根值") : path_) + "：" + message};
    }

    const json& node() const { return node_; }

    const json& object() const {
        if (!node_.is_object()) fail("应为对象");
        return node_;
    }
    const json& array() const {
        if (!node_.is_array()) fail("应为数组");
        return node_;
    }

    bool has(const char* key) const {
        auto it = object().find(key);
        return it != node_.end() && !it->is_null();
    }

    Reader at(const char* key) const {
        auto it = object().find(key);
        if (it == node_.end() || it->is_null()) fail(std::string("缺少必需的键 “") + key + "”");
        return Reader(*it, child(key));
    }

    Reader element(std::size_t index) const {
        return Reader(node_[index], path_ + "[" + std::to_string(index) + "]");
    }

    std::string string() const {
        if (!node_.is_string()) fail("应为字符串");
        return node_.get<std::string>();
    }

    double number() const {
        if (!node_.is_number()) fail("应为数字");
        return node_.get<double>();
    }

    int integer() const {
        if (node_.is_number_integer()) {
            // Unsigned values above the signed range land here too; compare as such.
            if (node_.is_number_unsigned()) {
                auto v = node_.get<std::uint64_t>();
                if (v > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) fail("整数超出范围");
                return static_cast<int>(v);
            }
            auto v = node_.get<std::int64_t>();
            if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) fail("整数超出范围");
            return static_cast<int>(v);
        }
        if (node_.is_number_float()) {
            double v = node_.get<double>();
            if (std::trunc(v) != v) fail("应为整数");
            if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) fail("整数超出范围");
            return static_cast<int>(v);
        }
        fail("应为整数");
    }

    std::uint64_t unsignedInteger() const {
        if (node_.is_number_unsigned()) return node_.get<std::uint64_t>();
        if (node_.is_number_integer()) fail("应为非负整数");
        fail("应为 64 位无符号整数");
    }

    bool boolean() const {
        if (!node_.is_boolean()) fail("应为布尔值");
        return node_.get<bool>();
    }

    Uuid uuid() const {
        auto parsed = Uuid::parse(string());
        if (!parsed) fail("不是有效的 UUID");
        return *parsed;
    }

    std::string child(const std::string& key) const { return path_.empty() ? key : path_ + "." + key; }

private:
    const json& node_;
    std::string path_;
};

Point readPoint(const Reader& r) {
    r.object();
    return {r.at("x").number(), r.at("y").number()};
}

template <typename Enum>
Enum readRaw(const Reader& r, std::optional<Enum> (*parse)(std::string_view)) {
    std::string raw = r.string();
    auto value = parse(raw);
    if (!value) r.fail("未知的取值 “" + raw + "”");
    return *value;
}

AnnotationStyle readStyle(const Reader& r) {
    AnnotationStyle s;
    s.color = readRaw(r.at("color"), annotationColorFromRaw);
    s.lineWidth = r.at("lineWidth").number();
    s.opacity = r.at("opacity").number();
    s.fill = readRaw(r.at("fill"), annotationFillFromRaw);
    s.fontSize = r.at("fontSize").number();
    if (r.has("pattern")) s.pattern = readRaw(r.at("pattern"), annotationLinePatternFromRaw);
    if (r.has("customInk")) {
        Reader ink = r.at("customInk");
        s.customInk = AnnotationInk{ink.at("red").number(), ink.at("green").number(), ink.at("blue").number()};
    }
    if (r.has("bold")) s.bold = r.at("bold").boolean();
    return s;
}

BoardAnnotation readAnnotation(const Reader& r) {
    BoardAnnotation a;
    a.id = r.at("id").uuid();
    a.kind = readRaw(r.at("kind"), annotationToolFromRaw);
    Reader points = r.at("points");
    points.array();
    a.points.reserve(points.node().size());
    for (std::size_t i = 0; i < points.node().size(); ++i) a.points.push_back(readPoint(points.element(i)));
    a.text = r.at("text").string();
    a.style = readStyle(r.at("style"));
    a.seed = r.at("seed").unsignedInteger();
    return a;
}

BoardStep readStep(const Reader& r) {
    BoardStep s;
    s.id = r.at("id").uuid();
    s.title = r.at("title").string();
    s.note = r.at("note").string();
    Reader players = r.at("players");
    players.array();
    s.players.reserve(players.node().size());
    for (std::size_t i = 0; i < players.node().size(); ++i) {
        Reader p = players.element(i);
        Player player;
        player.id = p.at("id").string();
        player.number = p.at("number").integer();
        player.team = p.at("team").integer();
        player.position = readPoint(p.at("position"));
        s.players.push_back(std::move(player));
    }
    s.ball = readPoint(r.at("ball"));
    if (r.has("ballOwner")) s.ballOwner = r.at("ballOwner").string();
    if (r.has("blueFormation")) s.blueFormation = r.at("blueFormation").string();
    if (r.has("orangeFormation")) s.orangeFormation = r.at("orangeFormation").string();
    if (r.has("pathControls")) {
        Reader controls = r.at("pathControls");
        std::map<std::string, Point> map;
        for (const auto& [key, value] : controls.object().items())
            map[key] = readPoint(Reader(value, controls.child(key)));
        s.pathControls = std::move(map);
    }
    if (r.has("passStyle")) s.passStyle = readRaw(r.at("passStyle"), passStyleFromRaw);
    if (r.has("annotations")) {
        Reader annotations = r.at("annotations");
        annotations.array();
        std::vector<BoardAnnotation> list;
        list.reserve(annotations.node().size());
        for (std::size_t i = 0; i < annotations.node().size(); ++i)
            list.push_back(readAnnotation(annotations.element(i)));
        s.annotations = std::move(list);
    }
    if (r.has("equipment")) {
        std::vector<Equipment> pieces;
        if (auto problem = EquipmentJson::read(r.at("equipment").node(), r.child("equipment"), pieces))
            throw DecodeError{*problem};
        s.equipment = std::move(pieces);
    }
    return s;
}

// Step lists the parser cut short (see FilteringBuilder), with the number of steps each
// held in the document.
using CutLists = std::vector<std::pair<const json*, std::size_t>>;

// `listed`, when given, receives the number of steps the document lists.
Tactic readTactic(const Reader& r, const CutLists& cut, std::size_t* listed) {
    Tactic t;
    t.name = r.at("name").string();
    t.format = r.at("format").integer();
    Reader steps = r.at("steps");
    steps.array();
    t.steps.reserve(steps.node().size());
    for (std::size_t i = 0; i < steps.node().size(); ++i) t.steps.push_back(readStep(steps.element(i)));
    if (r.has("teams")) {
        Reader teams = r.at("teams");
        teams.array();
        for (std::size_t i = 0; i < teams.node().size(); ++i) {
            const Reader tr = teams.element(i);
            TeamSquad team;
            if (tr.has("name")) team.name = tr.at("name").string();
            if (tr.has("color")) team.color = tr.at("color").string();
            if (tr.has("players")) {
                Reader players = tr.at("players");
                players.array();
                for (std::size_t k = 0; k < players.node().size(); ++k) {
                    const Reader pr = players.element(k);
                    SquadPlayer p;
                    p.id = pr.at("id").string();
                    if (pr.has("name")) p.name = pr.at("name").string();
                    if (pr.has("role")) p.role = pr.at("role").string();
                    if (pr.has("shirt")) p.shirt = pr.at("shirt").integer();
                    team.players.push_back(std::move(p));
                }
            }
            t.teams.push_back(std::move(team));
        }
    }
    if (r.has("tags")) {
        Reader tags = r.at("tags");
        tags.array();
        for (std::size_t i = 0; i < tags.node().size(); ++i) t.tags.push_back(tags.element(i).string());
    }
    if (r.has("pitch")) {
        PitchAreas pitch;
        if (auto problem = EquipmentJson::read(r.at("pitch").node(), r.child("pitch"), pitch)) throw DecodeError{*problem};
        t.pitch = pitch;
    }
    if (listed) {
        *listed = t.steps.size();
        for (const auto& [list, count] : cut)
            if (list == &steps.node()) *listed = count;
    }
    return t;
}

SavedTactic readSaved(const Reader& r, const CutLists& cut, std::size_t* listed) {
    SavedTactic s;
    s.id = r.at("id").uuid();
    s.tactic = readTactic(r.at("tactic"), cut, listed);
    if (r.has("highPressAdapted")) s.highPressAdapted = r.at("highPressAdapted").boolean();
    // Only an ordering hint: a time no double holds exactly reads as unknown.
    if (r.has("changedAt")) {
        const double changedAt = r.at("changedAt").number();
        if (std::fabs(changedAt) < 9.0e15) s.changedAt = static_cast<std::int64_t>(changedAt);
    }
    return s;
}

// Refuses oversized or too deeply nested text before the parser sees it.
std::optional<std::string> precheck(std::string_view text) {
    if (text.size() > TacticJson::kMaxDocumentBytes) return "文档过大";
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '[' || c == '{') {
            if (++depth > TacticJson::kMaxNestingDepth) return "嵌套层级过深";
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::nullopt;
}

std::string parseMessage(const std::exception& e) {
    // Drop the library's "[json.exception.parse_error.101] " prefix.
    std::string what = e.what();
    auto close = what.find("] ");
    if (what.rfind("[json.exception", 0) == 0 && close != std::string::npos) what.erase(0, close + 2);
    return "无法解析 JSON（" + what + "）";
}

// Every key the decoder reads. Values under any other key are skipped by the parser and
// never built, so bulk the program ignores (64 MB of `{}` under an unknown key) costs no
// memory. A new document field must be added here, or it reads as absent.
bool knownKey(std::string_view key) {
    static constexpr std::string_view kKeys[] = {
        "name", "format", "steps", "id", "title", "note", "players", "number", "team", "position", "x", "y",
        "ball", "ballOwner", "blueFormation", "orangeFormation", "pathControls", "passStyle", "annotations",
        "kind", "points", "text", "style", "seed", "color", "lineWidth", "opacity", "fill", "fontSize",
        "pattern", "customInk", "red", "green", "blue", "bold", "tactic", "highPressAdapted",
        "recovery", "key", "stepIndex", "savedAt", "baseline", "teams", "role", "shirt",
        "tags", "changedAt", "equipment", "angle", "pitch", "area", "grid"};
    for (std::string_view known : kKeys)
        if (key == known) return true;
    return false;
}

// Builds the document tree from the parser's events (nlohmann's SAX interface), leaving
// out the value of every key the decoder does not read: such a value is walked, never
// built. Inside a curved-run map every key (a player id) is kept. nlohmann's own callback
// parser cannot serve: it searches the siblings of every closed object for discarded
// ones, which is quadratic in a long array of points.
//
// A step list is built up to kBuiltSteps steps, one more than a tactic may hold, which is
// enough for admitTactic to refuse it; the steps after are walked and counted, and the
// list with its count is noted in `cut`. 34 MB of 35,000 steps would take half a
// gigabyte as a tree, to be refused.
class FilteringBuilder {
public:
    static constexpr std::size_t kBuiltSteps = TacticLimits::kMaxSteps + 1;

    FilteringBuilder(json& root, CutLists& cut) : root_(root), cut_(cut) {}

    bool null() { return scalar(nullptr); }
    bool boolean(bool value) { return scalar(value); }
    bool number_integer(json::number_integer_t value) { return scalar(value); }
    bool number_unsigned(json::number_unsigned_t value) { return scalar(value); }
    bool number_float(json::number_float_t value, const json::string_t&) { return scalar(value); }
    bool string(json::string_t& value) { return scalar(std::move(value)); }
    bool binary(json::binary_t& value) { return scalar(json::binary(std::move(value))); }

    bool start_object(std::size_t) {
        if (skipping()) return true;
        const bool runs = key_ == "pathControls";
        stack_.push_back(Open{place(json::object()), runs, false, 0});
        return true;
    }
    bool key(json::string_t& name) {
        if (skipDepth_ > 0) return true;
        key_ = std::move(name);
        skipNext_ = !stack_.back().anyKey && !knownKey(key_);
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t) {
        if (skipping()) return true;
        const bool steps = !stack_.empty() && stack_.back().value->is_object() && key_ == "steps";
        stack_.push_back(Open{place(json::array()), false, steps, 0});
        return true;
    }
    bool end_array() { return close(); }

    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    struct Open {
        json* value;
        bool anyKey;                // a curved-run map: its keys are player ids
        bool steps;                 // a step list
        std::size_t elements;       // of a step list, counted built or not
    };

    // Counts an element of a step list; true for one past those built.
    bool pastBuiltSteps() {
        if (stack_.empty() || !stack_.back().steps) return false;
        return ++stack_.back().elements > kBuiltSteps;
    }
    // True when the value starting now is not built: inside a skipped value, the value
    // of an unknown key or a step past those built (whose containers then count down to
    // its end).
    bool skipping() {
        if (skipDepth_ > 0) {
            ++skipDepth_;
            return true;
        }
        if (skipNext_ || pastBuiltSteps()) {
            skipNext_ = false;
            skipDepth_ = 1;
            return true;
        }
        return false;
    }
    bool close() {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        const Open& closed = stack_.back();
        if (closed.steps && closed.elements > kBuiltSteps) cut_.emplace_back(closed.value, closed.elements);
        stack_.pop_back();
        return true;
    }
    template <typename Value>
    bool scalar(Value&& value) {
        if (skipDepth_ > 0) return true;
        if (skipNext_ || pastBuiltSteps()) {
            skipNext_ = false;
            return true;
        }
        place(json(std::forward<Value>(value)));
        return true;
    }
    json* place(json value) {
        if (stack_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        json& parent = *stack_.back().value;
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        json& slot = parent[key_];
        slot = std::move(value);
        return &slot;
    }

    json& root_;
    CutLists& cut_;
    std::vector<Open> stack_;
    std::string key_;
    bool skipNext_ = false;
    int skipDepth_ = 0;
};

template <typename T, typename F>
Result<T> decoding(std::string_view text, F&& read) {
    if (auto problem = precheck(text)) return Result<T>::failure(*problem);
    json root;
    CutLists cut;
    try {
        FilteringBuilder builder(root, cut);
        json::sax_parse(text.begin(), text.end(), &builder);
    } catch (const std::exception& e) {
        return Result<T>::failure(parseMessage(e));
    }
    try {
        return read(Reader(root), cut);
    } catch (const DecodeError& e) {
        return Result<T>::failure(e.description);
    } catch (const std::exception& e) {
        return Result<T>::failure(std::string("无法读取：") + e.what());
    }
}

// The entries of a JSON array document as views of `text`, or nothing unless it is exactly
// "[" entry ("," entry)* "]" with white space around the parts; entries are the decoder's.
std::optional<std::vector<std::string_view>> strictArrayElements(std::string_view text) {
    std::vector<std::string_view> entries;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    };
    skipSpace();
    if (i >= text.size() || text[i++] != '[') return std::nullopt;
    skipSpace();
    if (i < text.size() && text[i] == ']') return std::nullopt;   // empty: the plain path is quick
    for (;;) {
        const std::size_t start = i;
        int depth = 0;
        bool inString = false, escaped = false;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (inString) {
                if (escaped) escaped = false;
                else if (c == '\\') escaped = true;
                else if (c == '"') inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == '[' || c == '{') {
                ++depth;
            } else if (c == ']' || c == '}') {
                if (depth == 0) break;
                --depth;
            } else if (c == ',' && depth == 0) {
                break;
            }
        }
        if (i >= text.size() || i == start) return std::nullopt;
        entries.push_back(text.substr(start, i - start));
        if (text[i++] == ']') break;
    }
    skipSpace();
    if (i != text.size()) return std::nullopt;
    return entries;
}

// Each entry decoded on its own, the second half on a second thread; nothing when any fails.
std::optional<std::vector<SavedTactic>> decodeEntries(const std::vector<std::string_view>& entries,
                                                      std::vector<std::size_t>* listedSteps) {
    std::vector<std::optional<SavedTactic>> decoded(entries.size());
    std::vector<std::size_t> listed(entries.size(), 0);
    const auto decodeRange = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            auto entry = decoding<SavedTactic>(entries[k], [&](const Reader& r, const CutLists& cut) {
                return readSaved(r, cut, &listed[k]);
            });
            if (!entry) return;
            decoded[k] = std::move(entry).value();
        }
    };
    const std::size_t half = entries.size() / 2;
    try {
        std::thread second(decodeRange, half, entries.size());
        decodeRange(0, half);
        second.join();
    } catch (const std::system_error&) {   // no thread to be had: one after the other
        decodeRange(0, entries.size());
    }
    std::vector<SavedTactic> list;
    for (auto& entry : decoded)
        if (entry) list.push_back(std::move(*entry));
        else return std::nullopt;
    if (listedSteps) *listedSteps = std::move(listed);
    return list;
}

}  // namespace

namespace TacticJson {

Result<Tactic> decodeTactic(std::string_view text, std::size_t* listedSteps) {
    return decoding<Tactic>(text, [&](const Reader& r, const CutLists& cut) { return readTactic(r, cut, listedSteps); });
}

Result<std::vector<SavedTactic>> decodeLibrary(std::string_view text, std::vector<std::size_t>* listedSteps) {
    // A season's library (megabytes) is read on both cores, entry by entry; on any doubt the
    // whole document is read again in one piece, so every answer and refusal stays the same.
    constexpr std::size_t kSplitBytes = 1u << 20;
    if (text.size() >= kSplitBytes && !precheck(text))
        if (auto entries = strictArrayElements(text))
            if (auto list = decodeEntries(*entries, listedSteps)) return std::move(*list);
    return decoding<std::vector<SavedTactic>>(text, [&](const Reader& r, const CutLists& cut) {
        r.array();
        std::vector<SavedTactic> list;
        list.reserve(r.node().size());
        if (listedSteps) listedSteps->assign(r.node().size(), 0);
        for (std::size_t i = 0; i < r.node().size(); ++i)
            list.push_back(readSaved(r.element(i), cut, listedSteps ? &(*listedSteps)[i] : nullptr));
        return list;
    });
}

Result<BoardAnnotation> decodeAnnotation(std::string_view text) {
    return decoding<BoardAnnotation>(text, [](const Reader& r, const CutLists&) { return readAnnotation(r); });
}

Result<RecoveryRecord> decodeRecovery(std::string_view text) {
    return decoding<RecoveryRecord>(text, [](const Reader& r, const CutLists& cut) {
        RecoveryRecord record;
        record.tactic = readTactic(r, cut, nullptr);
        Reader recovery = r.at("recovery");
        record.key = recovery.at("key").string();
        record.stepIndex = recovery.at("stepIndex").integer();
        // Seconds; beyond ±2^53 a double no longer holds them, and nothing is written so.
        const double savedAt = recovery.at("savedAt").number();
        if (!(std::fabs(savedAt) < 9.0e15)) recovery.at("savedAt").fail("整数超出范围");
        record.savedAt = static_cast<std::int64_t>(savedAt);
        if (recovery.has("baseline")) record.baseline = readStep(recovery.at("baseline"));
        return record;
    });
}

Result<std::vector<TacticVersion>> decodeVersions(std::string_view text) {
    return decoding<std::vector<TacticVersion>>(text, [](const Reader& r, const CutLists& cut) {
        r.array();
        std::vector<TacticVersion> list;
        for (std::size_t i = 0; i < r.node().size(); ++i) {
            const Reader entry = r.element(i);
            const double savedAt = entry.at("savedAt").number();
            if (!(std::fabs(savedAt) < 9.0e15)) entry.at("savedAt").fail("整数超出范围");
            list.push_back({static_cast<std::int64_t>(savedAt), readTactic(entry.at("tactic"), cut, nullptr)});
        }
        return list;
    });
}

}  // namespace TacticJson

}  // namespace vantrel