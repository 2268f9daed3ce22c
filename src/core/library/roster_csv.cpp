// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/roster_csv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <set>

#include "core/model/step_title.h"
#include "core/model/tactic_limits.h"

namespace vantrel {

namespace {

constexpr std::size_t kMaxRosterBytes = 256 * 1024;
constexpr std::size_t kMaxRosterRows = 200;

using Row = std::vector<std::string>;

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF). A list saved
// in another encoding (a spreadsheet's GBK export) would put text in the tactic that no
// JSON writer takes, and the whole library would stop saving.
bool wellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// The separator the first line uses most; a comma when it uses none.
char separatorOf(std::string_view text) {
    const std::string_view first = text.substr(0, text.find('\n'));
    char best = ',';
    std::ptrdiff_t most = 0;
    for (char c : {',', ';', '\t'})
        if (const auto n = std::count(first.begin(), first.end(), c); n > most) {
            most = n;
            best = c;
        }
    return best;
}

// Rows of fields with their line numbers (counted from 1), quotes undone; a line break
// inside quotes belongs to the field.
std::vector<std::pair<int, Row>> splitRows(std::string_view text, char separator) {
    std::vector<std::pair<int, Row>> rows;
    Row row;
    std::string field;
    bool quoted = false;
    int line = 1, rowLine = 1;
    auto endRow = [&] {
        row.push_back(std::move(field));
        field.clear();
        const bool blank = std::all_of(row.begin(), row.end(), [](const std::string& f) { return trimmedText(f).empty(); });
        if (!blank) rows.emplace_back(rowLine, std::move(row));
        row.clear();
        rowLine = line;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += (c == '\n' || c == '\r') ? ' ' : c;
            }
        } else if (c == '"' && trimmedText(field).empty()) {
            field.clear();
            quoted = true;
        } else if (c == separator) {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            ++line;
            endRow();
        } else if (c != '\r') {
            field += c;
        }
    }
    endRow();
    return rows;
}

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

enum class Column { shirt, name, role, other };

Column headerColumn(const std::string& field) {
    static const std::array<std::pair<const char*, Column>, 12> kNames{{
        {"号码", Column::shirt}, {"球衣号码", Column::shirt}, {"number", Column::shirt}, {"no", Column::shirt},
        {"no.", Column::shirt}, {"#", Column::shirt}, {"姓名", Column::name}, {"名字", Column::name},
        {"name", Column::name}, {"位置", Column::role}, {"role", Column::role}, {"position", Column::role},
    }};
    const std::string key = lowered(trimmedText(field));
    for (const auto& [name, column] : kNames)
        if (key == name) return column;
    return Column::other;
}

std::optional<int> shirtOf(const std::string& field) {
    const std::string text = trimmedText(field);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < 1 || value > TacticLimits::kMaxShirt) return std::nullopt;
    return value;
}

std::optional<std::string> textOf(const Row& row, std::optional<std::size_t> column, std::size_t limit) {
    if (!column || *column >= row.size()) return std::nullopt;
    std::string text = trimmedText(row[*column]);
    TacticLimits::cutText(text, limit);
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

Result<std::vector<RosterRow>> parseRoster(std::string_view text) {
    if (text.size() > kMaxRosterBytes) return Result<std::vector<RosterRow>>::failure("名单过大（最多 256 KB）");
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!wellFormedUtf8(text)) return Result<std::vector<RosterRow>>::failure("名单不是 UTF-8 文本（请另存为 UTF-8 编码的 CSV）");
    auto rows = splitRows(text, separatorOf(text));

    std::optional<std::size_t> shirtColumn, nameColumn, roleColumn;
    bool header = false;
    if (!rows.empty())
        for (std::size_t c = 0; c < rows.front().second.size(); ++c) {
            const Column column = headerColumn(rows.front().second[c]);
            auto& slot = column == Column::shirt ? shirtColumn : column == Column::name ? nameColumn : roleColumn;
            if (column != Column::other && !slot) {
                slot = c;
                header = true;
            }
        }
    if (header) {
        rows.erase(rows.begin());
        if (!shirtColumn) return Result<std::vector<RosterRow>>::failure("名单缺少“号码”列");
    } else {
        // No header: the column holding a number on every line, then name and role.
        std::size_t width = 0;
        for (const auto& [line, row] : rows) width = std::max(width, row.size());
        for (std::size_t c = 0; c < width && !shirtColumn; ++c)
            if (std::all_of(rows.begin(), rows.end(), [&](const auto& r) { return c < r.second.size() && shirtOf(r.second[c]); }))
                shirtColumn = c;
        if (!shirtColumn) shirtColumn = 0;   // reported below, at its first bad line
        for (std::size_t c = 0; c < width; ++c) {
            if (c == *shirtColumn) continue;
            if (!nameColumn) nameColumn = c;
            else if (!roleColumn) roleColumn = c;
        }
    }
    if (rows.empty()) return Result<std::vector<RosterRow>>::failure("名单中没有球员");
    if (rows.size() > kMaxRosterRows) return Result<std::vector<RosterRow>>::failure("名单过长（最多 200 行）");

    std::vector<RosterRow> roster;
    std::set<int> seen;
    for (const auto& [line, row] : rows) {
        const auto shirt = *shirtColumn < row.size() ? shirtOf(row[*shirtColumn]) : std::nullopt;
        const std::string where = "第 " + std::to_string(line) + " 行：";
        if (!shirt) return Result<std::vector<RosterRow>>::failure(where + "号码需为 1 到 99 的整数");
        if (!seen.insert(*shirt).second)
            return Result<std::vector<RosterRow>>::failure(where + "号码 " + std::to_string(*shirt) + " 重复");
        roster.push_back({*shirt, textOf(row, nameColumn, TacticLimits::kMaxSquadNameCharacters),
                          textOf(row, roleColumn, TacticLimits::kMaxRoleCharacters)});
    }
    return roster;
}

}  // namespace vantrel
