#include "passes/Passes.h"

namespace aostrack {

NextPass FindNextPass(const ElementSet&, const Station&, std::chrono::sys_seconds) { return {}; }
NextPass FindNextPassPlain(const ElementSet&, const Station&, std::chrono::sys_seconds) { return {}; }
PassList BuildPassList(const ElementSet&, const Station&, std::chrono::sys_seconds) { return {}; }
PassList BuildPassListPlain(const ElementSet&, const Station&, std::chrono::sys_seconds) { return {}; }
std::string FormatPassLine(const ListedPass&) { return {}; }
std::vector<double> PassTrack(const ElementSet&, const Station&, std::chrono::sys_seconds,
                              std::chrono::sys_seconds)
{
    return {};
}

} // namespace aostrack
