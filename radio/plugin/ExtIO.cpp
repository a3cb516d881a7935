// The receiver-control library ExtIO_FCD_Quillon: the tracker's three calls
// (OpenForm, HideGUI, SetHWLO) turned into commands for hamlib's rigctld, so that any receiver
// hamlib knows can follow the satellite (the FUNcube Dongle Pro through "rigctld -m 25013", other
// SDRs and transceivers through their own models).
//
// receiver.ini beside this library (or, for an installed library that the
// operator cannot edit, in ~/.config/aostrack/) names the daemon:
//   HOST=localhost
//   PORT=4532
// Both keys are optional; those are the defaults. ReceiverStatus, which the
// tracker asks for when present, tells how the link to the daemon stands.
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "radio/plugin/ExtIOFunctions.h"
#include "radio/plugin/RigctldClient.h"

#define AOSTRACK_EXTIO_EXPORT extern "C" __attribute__((visibility("default")))

AOSTRACK_EXTIO_EXPORT void AOSTRACK_EXTIO_CALL OpenForm(int mode);
AOSTRACK_EXTIO_EXPORT void AOSTRACK_EXTIO_CALL HideGUI(void);
AOSTRACK_EXTIO_EXPORT void AOSTRACK_EXTIO_CALL SetHWLO(int32_t freqHz);
AOSTRACK_EXTIO_EXPORT const char* AOSTRACK_EXTIO_CALL ReceiverStatus(void);

namespace {

struct Endpoint {
    std::string Host = "localhost";
    std::string Port = "4532"; // rigctld's own default
};

std::string Trim(const std::string& text)
{
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    const auto begin = std::find_if(text.begin(), text.end(), notBlank);
    const auto end = std::find_if(text.rbegin(), text.rend(), notBlank).base();
    return begin < end ? std::string(begin, end) : std::string();
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// KEY=value lines ending in CR LF, LF or CR, with or without the byte-order
// mark some Windows editors put first; "#" or ";" starts a comment line.
// Unknown keys and malformed lines are ignored: a receiver must not stay dark
// over a typo.
Endpoint ReadEndpoint(const std::filesystem::path& iniPath)
{
    Endpoint endpoint;
    std::ifstream in(iniPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == ';')
            continue;
        const size_t equals = trimmed.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = Upper(Trim(trimmed.substr(0, equals)));
        const std::string value = Trim(trimmed.substr(equals + 1));
        if (value.empty())
            continue;
        if (key == "HOST")
            endpoint.Host = value;
        else if (key == "PORT")
            endpoint.Port = value;
    }
    return endpoint;
}

std::filesystem::path LibraryFolder()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&OpenForm), &info) != 0 && info.dli_fname)
        return std::filesystem::path(info.dli_fname).parent_path();
    return {};
}

// receiver.ini beside the library, else in $XDG_CONFIG_HOME/aostrack
// (~/.config/aostrack) beside the station's sat.ini.
std::filesystem::path ReceiverIniPath()
{
    const std::filesystem::path folder = LibraryFolder();
    const std::filesystem::path beside = folder.empty() ? "receiver.ini" : folder / "receiver.ini";
    std::error_code error;
    if (std::filesystem::exists(beside, error))
        return beside;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::filesystem::path(home) / ".config";
    return config.empty() ? beside : config / "aostrack" / "receiver.ini";
}

std::unique_ptr<aostrack::RigctldClient> g_client;
std::string g_status; // what ReceiverStatus hands out, valid until the next call

} // namespace

// Connects to rigctld; receiver.ini is read again each time, so an edited
// address takes effect at the next tick of "track". The mode is not used.
void AOSTRACK_EXTIO_CALL OpenForm(int /*mode*/)
{
    const Endpoint endpoint = ReadEndpoint(ReceiverIniPath());
    g_client = std::make_unique<aostrack::RigctldClient>(endpoint.Host, endpoint.Port);
    g_client->Open();
}

// Disconnects; the receiver stays on its last frequency.
void AOSTRACK_EXTIO_CALL HideGUI(void)
{
    g_client.reset();
}

// Called every tick; returns at once whatever the daemon does.
void AOSTRACK_EXTIO_CALL SetHWLO(int32_t freqHz)
{
    if (g_client)
        g_client->SetFrequency(freqHz);
}

// The latest change of the link to rigctld as a line of text, empty before
// OpenForm and after HideGUI. Optional for the caller.
const char* AOSTRACK_EXTIO_CALL ReceiverStatus(void)
{
    g_status = g_client ? g_client->Status() : std::string();
    return g_status.c_str();
}
