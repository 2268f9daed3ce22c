// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-export's argument list and input file, short of painting. An input is an
// argument list, arguments separated by NUL bytes and ended by two, followed by the
// bytes of the tactic file; "@in" names that file and "@out" a second name for the same
// file. An input without the two NULs is a file exported as "png @in OUT".
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/library/export_request.h"
#include "core/model/tactic_limits.h"
#include "fuzz_platform.h"

using namespace vantrel;

namespace {

int memoryFile() {
    const int fd = ::memfd_create("vantrel-export-fuzz.json", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    return fd;
}

void rewrite(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written, static_cast<off_t>(written));
        if (n <= 0) std::abort();
        written += static_cast<std::size_t>(n);
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memoryFile();
    static const std::string in = "/proc/self/fd/" + std::to_string(fd);
    static const std::string sameAsIn = "/proc/self/fd/../fd/" + std::to_string(fd);
    static const std::string out = "/nonexistent/vantrel-export-fuzz.png";

    const std::string_view input = fuzz::bytes(data, size);
    std::vector<std::string> words{"vantrel-export"};
    std::string_view file = input;
    if (const auto end = input.find(std::string_view("\0\0", 2)); end != std::string_view::npos && end < 256) {
        std::string_view list = input.substr(0, end);
        file = input.substr(end + 2);
        while (!list.empty()) {
            const auto cut = list.find('\0');
            const std::string_view word = list.substr(0, cut);
            words.emplace_back(word == "@in" ? in : word == "@out" ? sameAsIn : std::string(word));
            list = cut == std::string_view::npos ? std::string_view() : list.substr(cut + 1);
        }
    } else {
        words.insert(words.end(), {"png", in, out});
    }
    rewrite(fd, file);

    const std::vector<std::string_view> args(words.begin(), words.end());
    std::ostringstream out_, err_;
    if (auto status = answerExportOptions(args, out_, err_)) {
        if (*status != 0 && *status != 2) std::abort();
        return 0;
    }
    const auto request = parseExportRequest(args);
    if (!request) {
        if (request.error().empty()) std::abort();
        return 0;
    }
    if (request->inputs.empty() || request->inputs.size() > ExportRequest::kMaxHandoutTactics) std::abort();
    const auto tactics = readExportTactics(*request);
    if (!tactics) {
        if (tactics.error().empty()) std::abort();
        return 0;
    }
    // An export only ever starts with files that are not its output, with a step they
    // have, and within the limits.
    for (std::size_t i = 0; i < tactics->size(); ++i) {
        if (request->output == sameAsIn && request->inputs[i] == in) std::abort();
        if (request->step < 1 || request->step > int((*tactics)[i].steps.size())) std::abort();
        if ((*tactics)[i].steps.size() > TacticLimits::kMaxSteps) std::abort();
    }
    return 0;
}
