// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a tactic document, and its round trip: whatever decodes encodes, compact and
// pretty, to text that decodes to an equal tactic. The same bytes go through the library
// and earlier-versions decoders too, with their own round trips, and through the squad-list
// reader. A decoded tactic that passes the import checks
// is admitted once for good (admitting it again changes nothing), and the interception
// test over its first move ends after a bounded walk whatever its numbers.
#include <cstdint>
#include <cstdlib>
#include <set>

#include "core/library/roster_csv.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "core/pitch/step_playback.h"
#include "fuzz_platform.h"

using namespace vantrel;

namespace {

template <typename T, typename Encode, typename Decode>
void roundTrip(const T& value, Encode encode, Decode decode) {
    const auto text = encode(value);
    // A decoded value holds only numbers JSON carries, so it always encodes.
    if (!text) std::abort();
    const auto again = decode(*text);
    if (!again || !(*again == value)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes(data, size);
    if (const auto tactic = TacticJson::decodeTactic(text)) {
        const auto decodeTactic = [](std::string_view t) { return TacticJson::decodeTactic(t); };
        roundTrip(*tactic, TacticJson::encodeCompact, decodeTactic);
        roundTrip(*tactic, TacticJson::encodePretty, decodeTactic);
        Tactic admitted = *tactic;
        if (!admitTactic(admitted)) {
            Tactic again = admitted;
            if (admitTactic(again) || !(again == admitted)) std::abort();
            if (admitted.steps.size() > 1) StepPlayback(admitted.steps[0], admitted.steps[1], true).firstInterception();
        }
        // Unadmitted numbers too: the walk is bounded by its tick count.
        if (tactic->steps.size() > 1) StepPlayback(tactic->steps[0], tactic->steps[1], true).firstInterception();
    }
    if (const auto library = TacticJson::decodeLibrary(text))
        roundTrip(*library, TacticJson::encodeLibrary, [](std::string_view t) { return TacticJson::decodeLibrary(t); });
    if (const auto versions = TacticJson::decodeVersions(text))
        roundTrip(*versions, TacticJson::encodeVersions, [](std::string_view t) { return TacticJson::decodeVersions(t); });
    // The same bytes as a pasted squad list: every line it keeps has a shirt of 1 … 99,
    // each once, and texts within their limits.
    if (const auto roster = parseRoster(text)) {
        std::set<int> shirts;
        for (const RosterRow& row : *roster)
            if (row.shirt < 1 || row.shirt > TacticLimits::kMaxShirt || !shirts.insert(row.shirt).second ||
                (row.name && row.name->size() > 4 * TacticLimits::kMaxSquadNameCharacters))
                std::abort();
    }
    return 0;
}
