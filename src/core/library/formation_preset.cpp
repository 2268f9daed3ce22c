// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/formation_preset.h"

namespace vantrel {

namespace {

// Goalkeeper spot and the band the outfield lines occupy, in normalised pitch units.
// Every line stands in the own half (x <= 0.46); mirroring puts the other team at x >= 0.54.
constexpr Point kGoalkeeperSpot{0.09, 0.5};
constexpr double kBackLineX = 0.23;
constexpr double kLineDepthSpan = 0.23;   // back line to front line
constexpr double kSingleLineX = 0.35;
constexpr double kLineLeftY = 0.18;
constexpr double kLineWidth = 0.64;       // 0.18 … 0.82

FormationPreset preset(std::string id, std::vector<int> rows, std::string style, std::string attack,
                       std::string defend, std::string caution) {
    FormationPreset p;
    p.id = std::move(id);
    p.rows = std::move(rows);
    p.style = std::move(style);
    p.attack = std::move(attack);
    p.defend = std::move(defend);
    p.caution = std::move(caution);
    return p;
}

std::vector<FormationPreset> buildSeven() {
    // The first five follow published youth-coaching line-ups; their guide names and links
    // are left out on purpose: we only show a source we have checked.
    return {
        preset("2-3-1", {2, 3, 1}, "平衡与边路宽度",
               "两名后卫出球，三名中场拉开宽度，前锋提供纵深和接应。",
               "边路中场回收，形成紧凑的两层保护。",
               "两名后卫身后的边路空间需要及时补位。"),
        preset("3-2-1", {3, 2, 1}, "稳固后场与快速推进",
               "三后卫给门将多个出球角度，两名中场连接前锋。",
               "三人后线覆盖宽度，中场向球侧移动压缩空间。",
               "中场只有两人，须避免与前锋脱节。"),
        preset("3-1-2", {3, 1, 2}, "双前锋配合",
               "两名前锋可以交叉跑位，单中场负责连接和转移。",
               "三后卫守住宽度，边后卫在合适时机支援中场。",
               "单中场容易被包夹，双前锋要及时回接。"),
        preset("2-2-2", {2, 2, 2}, "三线均衡与双前锋",
               "两名前锋一人接应、一人冲击身后；中场保持传球角度。",
               "双前锋先压迫，双中场回到后卫身前。",
               "边路宽度不足时，边侧球员要主动拉开。"),
        preset("2-1-2-1", {2, 1, 2, 1}, "后腰支点与分层控球",
               "后腰在后卫与前场之间接应，前面两名球员寻找肋部空间。",
               "后腰保护两名后卫，前场三人就近反抢。",
               "层次较多，队友间距过大时容易出现断层。"),
        preset("4-2", {4, 2}, "自定义：低位防守与反击",
               "两名前场球员保持出球点，抢回球后寻找直接推进。",
               "四名后场球员覆盖宽度，保持紧凑站位。",
               "缺少专职中场，攻防转换时要有人主动连接两线。"),
    };
}

std::vector<FormationPreset> buildEleven() {
    return {
        preset("4-3-3", {4, 3, 3}, "边路宽度与三中场连接",
               "边锋保持宽度，中场提供接应角度，边后卫择机套边。",
               "边锋回收保护边路，三名中场保持横向联系。",
               "边后卫前插时，需要后腰保护身后的空间。"),
        preset("4-2-3-1", {4, 2, 3, 1}, "双后腰保护与前腰支点",
               "双后腰连接后场，前腰在两线之间接球，边路提供纵深。",
               "两名后腰保护中路，边路球员及时回到防守位置。",
               "单前锋容易孤立，前腰和边路需要及时靠近接应。"),
        preset("4-4-2", {4, 4, 2}, "双前锋与两线协作",
               "双前锋一人回接、一人冲击纵深，边中场提供宽度。",
               "两条四人防线保持紧凑，双前锋封锁对手中路出球。",
               "中路面对三中场时，应由前锋回接补充人数。"),
        preset("3-5-2", {3, 5, 2}, "中场人数与翼卫推进",
               "翼卫拉开宽度，三名中路球员连接双前锋。",
               "翼卫回收形成五后卫，中场保护肋部和禁区前沿。",
               "两名翼卫同时前压时，应保留中场的回追保护。"),
        preset("3-4-3", {3, 4, 3}, "三后卫出球与前场宽度",
               "三后卫提供出球角度，前场三人牵制防线，翼卫支援边路。",
               "翼卫回收，前场球员按球侧移动，缩小中场空隙。",
               "两名中路球员需要保持联系，避免被对手穿过两线。"),
        preset("5-3-2", {5, 3, 2}, "后场覆盖与双前锋反击",
               "抢回球后先寻找双前锋，边后卫选择一侧支援。",
               "五人后线覆盖宽度，三名中场在身前保持紧凑。",
               "阵线压得过低时，前锋需要回接连接中场。"),
    };
}

}  // namespace

std::vector<Point> FormationPreset::positions(int team) const {
    std::vector<Point> points{kGoalkeeperSpot};
    const std::size_t lineCount = rows.size();
    for (std::size_t r = 0; r < lineCount; ++r) {
        const int count = rows[r];
        if (count < 1) continue;   // an empty line still takes its place in the spacing
        const double x = lineCount > 1
                             ? kBackLineX + static_cast<double>(r) * kLineDepthSpan /
                                                static_cast<double>(lineCount - 1)
                             : kSingleLineX;
        for (int k = 0; k < count; ++k) {
            const double y = count > 1 ? kLineLeftY + k * kLineWidth / (count - 1) : 0.5;
            points.push_back({x, y});
        }
    }
    if (team != 0) {
        for (auto& p : points) p = {1.0 - p.x, 1.0 - p.y};
    }
    return points;
}

const std::vector<FormationPreset>& FormationPreset::seven() {
    static const std::vector<FormationPreset> list = buildSeven();
    return list;
}

const std::vector<FormationPreset>& FormationPreset::eleven() {
    static const std::vector<FormationPreset> list = buildEleven();
    return list;
}

std::span<const FormationPreset> FormationPreset::forFormat(int format) {
    if (format == 7) return seven();
    if (format == 11) return eleven();
    return {};
}

const FormationPreset* FormationPreset::find(std::string_view id, int format) {
    for (const auto& p : forFormat(format))
        if (p.id == id) return &p;
    return nullptr;
}

}  // namespace vantrel
