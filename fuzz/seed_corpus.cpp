// SPDX-License-Identifier: GPL-3.0-or-later
// Writes seed inputs for the fuzzers from the built-in catalog: the opening steps of every
// built-in tactic, compact and as an exported (pretty) document, small libraries, and one
// annotation of every kind and fill. Usage: vantrel_fuzz_seeds <directory>; it makes the
// subdirectories tactic, library and annotation.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"

using namespace vantrel;

namespace {

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

BoardAnnotation annotation(AnnotationTool kind, std::vector<Point> points) {
    BoardAnnotation a;
    a.id = Uuid::random();
    a.kind = kind;
    a.points = std::move(points);
    a.seed = 0x5eed;
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const char* sub : {"tactic", "library", "annotation", "export"}) std::filesystem::create_directories(root / sub);

    // Seeds are kept small (one or two steps) so that every run stays fast; the fuzzer
    // grows them where coverage asks for it.
    std::vector<SavedTactic> library;
    int n = 0;
    for (int format : {7, 11}) {
        for (const Tactic& tactic : BuiltInTactics::library(format)) {
            ++n;
            Tactic opening = tactic;
            opening.steps.resize(std::min<std::size_t>(opening.steps.size(), 2));
            Tactic first = tactic;
            first.steps.resize(std::min<std::size_t>(first.steps.size(), 1));
            const std::string name = std::to_string(n) + ".json";
            write(root / "tactic" / ("compact-" + name), TacticJson::encodeCompact(opening).value());
            write(root / "tactic" / ("exported-" + name), TacticJson::encodePretty(first).value());
            if (n <= 2) library.push_back({Uuid::random(), first, n % 2 == 0 ? std::optional<bool>(true) : std::nullopt});
        }
    }
    // vantrel-export's argument lists ahead of a one-step tactic (export_request_fuzzer.cpp).
    const std::string oneStep = TacticJson::encodeCompact(library.front().tactic).value();
    using namespace std::string_literals;
    const std::string lists[] = {"png\0@in\0out.png\0--step\0002\0--view\0003d"s, "pdf\0@in\0@out"s,
                                 "gif\0@in\0out.gif\0--step"s, "--help"s};
    for (std::size_t i = 0; i < std::size(lists); ++i)
        write(root / "export" / ("arguments-" + std::to_string(i)), lists[i] + std::string("\0\0", 2) + oneStep);
    write(root / "library" / "two.json", TacticJson::encodeLibrary(library).value());
    write(root / "library" / "one.json", TacticJson::encodeLibrary({library.front()}).value());
    write(root / "library" / "empty.json", "[]");

    std::vector<BoardAnnotation> annotations{
        annotation(AnnotationTool::pencil, {{0.1, 0.1}, {0.15, 0.12}, {0.2, 0.18}, {0.24, 0.3}}),
        annotation(AnnotationTool::pencil, {{0.5, 0.5}}),
        annotation(AnnotationTool::line, {{0.1, 0.5}, {0.6, 0.55}}),
        annotation(AnnotationTool::arrow, {{0.2, 0.8}, {0.7, 0.6}}),
        annotation(AnnotationTool::ellipse, {{0.3, 0.3}, {0.6, 0.5}}),
        annotation(AnnotationTool::rectangle, {{0.55, 0.2}, {0.9, 0.45}}),
        annotation(AnnotationTool::text, {{0.4, 0.7}})};
    annotations[4].style.fill = AnnotationFill::hatch;
    annotations[5].style.fill = AnnotationFill::shadow;
    annotations[6].text = "压迫";
    for (std::size_t i = 0; i < annotations.size(); ++i)
        write(root / "annotation" / ("kind-" + std::to_string(i) + ".json"), TacticJson::toJson(annotations[i])->dump());
    return 0;
}
