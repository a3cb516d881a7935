#pragma once
// The output of `upcoming`: one text line or one JSON object per pass,
// written with direct digit formatting (a catalogue of 30,000 sets gives some
// 200,000 passes, three times each) by the worker that searched the
// satellite, then joined in AOS order, so the text is the same for any
// thread count.
#include "passes/UpcomingPasses.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace aostrack {

// What a pass line says about its satellite, worked out once per satellite.
struct PassLabel {
    std::string Name; // UTF-8
    std::string JsonName; // the name as a quoted JSON string
    std::optional<int> CatalogNumber;
};

// "YYYY-MM-DDTHH:MM:SSZ", UTC.
std::string UtcText(std::chrono::sys_seconds instant);

// Text lines ("AOS  LOS  max EE.E° at HH:MM:SS  Az AAA.A° -> AAA.A°  NAME"),
// each ended by a newline, or JSON objects.
enum class PassForm { TextLine, JsonObject };

// One satellite's passes as written, each pass's text after the other's.
struct WrittenPasses {
    std::string Text;
    std::vector<std::size_t> Ends; // where each pass's text ends in Text
    std::vector<std::chrono::sys_seconds> Aos;
};
// The passes of one satellite whose maximum reaches minElevation.
WrittenPasses WritePasses(std::span<const UpcomingPass> passes, const PassLabel& label,
    double minElevation, PassForm form);
// Every pass written, sorted by AOS (then by satellite), handed to out piece
// by piece with the separator between two passes (tens of megabytes for the
// whole catalogue go straight to the output, not through one more copy).
void JoinByAos(std::span<const WrittenPasses> satellites, std::string_view separator,
    const std::function<void(std::string_view)>& out);

} // namespace aostrack
