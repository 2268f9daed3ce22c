// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/export_request.h"

#include <cstdlib>

#include "core/library/command_line.h"
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"

namespace vantrel {

namespace {

constexpr std::string_view kUsage =
    "用法：vantrel-export png|svg|pdf|mp4|gif|jobs TACTIC.json… OUT [--step N] [--view 2d|3d] [--arrows on|off] [--scale 1|2|4]";

constexpr std::string_view kUsageLine =
    "Usage: vantrel-export png|svg|pdf|mp4|gif TACTIC.json OUT [--step N] [--view 2d|3d]\n"
    "                      [--arrows on|off] [--scale 1|2|4]\n"
    "       vantrel-export pdf TACTIC.json... OUT [--arrows on|off]\n"
    "       vantrel-export jobs TACTIC.json FOLDER\n";

constexpr std::string_view kHelp =
    "\n"
    "Writes a Vantrel tactic file as an image, a handout or a video, without a window\n"
    "or a display. The file is read with the same checks as the window's import.\n"
    "\n"
    "  png   one step as a 1920 x 1080 image\n"
    "  svg   one step as a vector image\n"
    "  pdf   the whole tactic as an A4 handout: a summary page, then a page per\n"
    "        step; several tactics make one handout, in the order given\n"
    "  mp4   the playback as an H.264 video\n"
    "  gif   the playback as an animated image\n"
    "  jobs  one PDF page for each player of the blue team, named after him, with\n"
    "        his path through every step and the steps' notes, in FOLDER\n"
    "\n"
    "Options:\n"
    "  --step N        the step of the image, counted from 1 (default 1)\n"
    "  --view 2d|3d    the flat or the perspective board (default 2d)\n"
    "  --arrows on|off arrows of the runs, dribbles and passes into each step\n"
    "                  (default on)\n"
    "  --scale 1|2|4   a PNG's size: 1920 x 1080 times this (default 1)\n"
    "  -h, --help      print this help and exit\n"
    "      --version   print the version and exit\n"
    "\n"
    "Prints nothing on success. On failure it prints \"Export failed: \" and the reason,\n"
    "exits with status 1 and leaves no file behind.\n";

}  // namespace

std::optional<int> answerExportOptions(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << kUsageLine << kHelp << std::flush;
            return 0;
        }
        if (arg == "--version") {
            out << "vantrel-export " << vantrelVersion() << '\n' << std::flush;
            return 0;
        }
        if (arg == "--step" || arg == "--view" || arg == "--arrows" || arg == "--scale") {
            ++i;
        } else if (!arg.empty() && arg.front() == '-') {
            err << "vantrel-export: unknown option '" << arg << "'\n"
                << kUsageLine << "Try 'vantrel-export --help' for more information.\n"
                << std::flush;
            return 2;
        }
    }
    return std::nullopt;
}

Result<ExportRequest> parseExportRequest(const std::vector<std::string_view>& args) {
    using R = Result<ExportRequest>;
    if (args.size() < 4) return R::failure(std::string(kUsage));
    ExportRequest r;
    r.kind = args[1];
    if (r.kind != "png" && r.kind != "svg" && r.kind != "pdf" && r.kind != "mp4" && r.kind != "gif" &&
        r.kind != "jobs")
        return R::failure("未知的导出类型 " + r.kind + "；" + std::string(kUsage));
    // The files run up to the first option; the last of them is the output.
    std::size_t options = 2;
    while (options < args.size() && !args[options].starts_with("--")) ++options;
    if (options < 4) return R::failure(std::string(kUsage));
    for (std::size_t i = 2; i + 1 < options; ++i) r.inputs.emplace_back(std::string(args[i]));
    r.output = std::string(args[options - 1]);
    if (r.inputs.size() > 1 && r.kind != "pdf") return R::failure("只有 pdf 讲义可以包含多个战术");
    if (r.inputs.size() > ExportRequest::kMaxHandoutTactics)
        return R::failure("一份讲义至多 " + std::to_string(ExportRequest::kMaxHandoutTactics) + " 个战术");
    for (std::size_t i = options; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return R::failure(std::string(args[i]) + " 缺少取值；" + std::string(kUsage));
        const std::string_view option = args[i], value = args[i + 1];
        if (option == "--step") {
            const std::string text(value);
            char* end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1 || n > 10000) return R::failure("--step 需为从 1 起的阶段序号");
            r.step = static_cast<int>(n);
        } else if (option == "--view") {
            if (value == "2d") r.perspective = false;
            else if (value == "3d") r.perspective = true;
            else return R::failure("--view 需为 2d 或 3d");
        } else if (option == "--arrows") {
            if (value == "on") r.arrows = true;
            else if (value == "off") r.arrows = false;
            else return R::failure("--arrows 需为 on 或 off");
        } else if (option == "--scale") {
            if (value == "1" || value == "2" || value == "4") r.scale = value.front() - '0';
            else return R::failure("--scale 需为 1、2 或 4");
        } else {
            return R::failure("未知的选项 " + std::string(option) + "；" + std::string(kUsage));
        }
    }
    return r;
}

Result<std::vector<Tactic>> readExportTactics(const ExportRequest& request) {
    using R = Result<std::vector<Tactic>>;
    std::vector<Tactic> tactics;
    const bool several = request.inputs.size() > 1;
    for (const auto& input : request.inputs) {
        if (sameFile(input, request.output)) return R::failure("输入与输出是同一个文件：" + request.output.string());
        // Of several, a refusal says which file it is about.
        const std::string whose = several ? input.string() + "：" : std::string();
        auto text = readWholeFile(input, TacticJson::kMaxDocumentBytes);
        if (!text) return R::failure(text.error());   // "找不到文件：…", "不是普通文件：…"
        std::size_t listedSteps = 0;   // steps past the limit are counted, not built
        auto decoded = TacticJson::decodeTactic(text.value(), &listedSteps);
        if (!decoded) return R::failure(whose + "JSON 格式不正确（" + decoded.error() + "）");
        if (auto refused = admitTactic(decoded.value(), LongText::refuse, listedSteps)) return R::failure(whose + *refused);
        const int stepCount = static_cast<int>(decoded->steps.size());
        if (request.step > stepCount)
            return R::failure("--step " + std::to_string(request.step) + " 超出阶段数 " + std::to_string(stepCount));
        tactics.push_back(std::move(decoded).value());
    }
    return tactics;
}

}  // namespace vantrel
