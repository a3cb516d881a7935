#include "orbit/Tle.h"

#include <fstream>

namespace aostrack {

TleFileError::TleFileError(std::string file, int line, std::string reason)
    : std::runtime_error(file + " line " + std::to_string(line) + ": " + reason),
      m_file(std::move(file)), m_line(line), m_reason(std::move(reason))
{
}

double ReadTleNumber(std::string_view) { return 0; }
TleLoad ReadTle(std::istream&, const std::string&) { return {}; }
TleLoad LoadTleFile(const std::string&) { return {}; }

} // namespace aostrack
