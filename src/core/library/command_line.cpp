#include "core/library/command_line.h"

#include "core/library/catalog_exporter.h"

namespace vantrel {

std::optional<int> runCommandLine(std::span<const std::string_view> arguments, std::ostream& err) {
    if (arguments.size() != 3 || arguments[1] != "--export-catalog") return std::nullopt;
    auto written = CatalogExporter::write(std::filesystem::path(std::string(arguments[2])));
    if (!written) {
        err << "Catalog export failed: " << written.error() << '\n';
        err.flush();
        return 1;
    }
    return 0;
}

}  // namespace vantrel
