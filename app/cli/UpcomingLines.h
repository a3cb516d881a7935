#pragma once
// The output of `upcoming`: one text line or one JSON object per pass,
// written on worker threads with direct digit formatting (a catalogue of
// 30,000 sets gives some 200,000 passes, three times each) and joined in the
// order the passes are given, so the text is the same for any thread count.
#include "passes/UpcomingPasses.h"

#include <optional>
#include <span>
#include <string>

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
// each ended by a newline; labels are indexed by UpcomingPass::Satellite.
std::string UpcomingTextLines(
    std::span<const UpcomingPass> passes, std::span<const PassLabel> labels, unsigned threads);
// The JSON objects of the passes, separated by ", ".
std::string UpcomingJsonObjects(
    std::span<const UpcomingPass> passes, std::span<const PassLabel> labels, unsigned threads);

} // namespace aostrack
