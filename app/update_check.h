// The update check's decisions, apart from the network so that they can be
// tested and fuzzed on their own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "app/platform.h"

namespace vexmora {

inline constexpr const char* versionFilePath = "/qmv/DRT.dll";
inline constexpr const char* downloadPagePath = "/qmv";
// The version file is a few bytes; nothing beyond this is read.
inline constexpr std::size_t versionBodyBound = 4096;

// How many body bytes to read so that the comparison with localVersion comes
// out as it would over the whole body: a longer body with no NUL in this many
// bytes is longer than localVersion, so it differs either way.
std::size_t versionBodyLimit(const Text& localVersion);

// The body's bytes up to, not including, its first NUL.
Text remoteVersionText(const std::string& body);

// True when the site answered 200 with a version text other than ours.
// A failed fetch or any other status opens nothing.
bool shouldOpenDownloadPage(const HttpResponse& response, const Text& localVersion);

// "http://" + host + "/qmv".
Text downloadPageUrl(const Text& host);

struct HostPort {
    Text host;
    unsigned port = 80;
};

// Splits "name" or "name:port" (port 1..65535, digits only). Empty names,
// bad ports and texts with more than one ':' give nothing.
std::optional<HostPort> parseHostPort(const Text& hostText);

}  // namespace vexmora
