// Importing a file end to end: the open dialog answers with a file holding the input,
// and the store either adds it as a new own tactic, or reports in the status line and
// changes nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "fuzz_platform.h"

using namespace vantrel;

namespace {

const std::filesystem::path& inputFile() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vantrel-import-fuzz-" + std::to_string(::getpid()) + ".json");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(inputFile().c_str(), "wb");
    if (!file) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    MemoryPreferenceStore preferences;
    fuzz::StillPlatform platform;
    platform.openAnswer = inputFile();
    BoardStore store(preferences, platform);
    const Tactic before = store.tactic();
    store.importFile();
    if (store.importedTactics().size() == 1) {
        // Imported: it is open, at its first step.
        if (!(store.tactic() == store.importedTactics().front().tactic) || store.stepIndex() != 0) std::abort();
    } else if (!store.importedTactics().empty() || !(store.tactic() == before) || store.status().empty()) {
        std::abort();   // a refused import changes nothing and says why
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(inputFile(), ignored);
    });
    return 0;
}
