// Once per start, before anything else: fetch the version file and open the
// download page when its text is not ours.
#include "app/update_check.h"

#include <algorithm>

#include "app/program.h"

#ifndef VEXMORA_UPDATE_HOST
#error "VEXMORA_UPDATE_HOST names the update site"
#endif

namespace vexmora {

namespace {
constexpr const char* updateSiteHost = VEXMORA_UPDATE_HOST;
}

std::size_t versionBodyLimit(const Text& localVersion) {
    return std::max(versionBodyBound, localVersion.size() + 1);
}

Text remoteVersionText(const std::string& body) {
    return body.substr(0, body.find('\0'));
}

bool shouldOpenDownloadPage(const HttpResponse& response, const Text& localVersion) {
    if (!response.fetched || response.status != 200) return false;
    return remoteVersionText(response.body) != localVersion;
}

Text downloadPageUrl(const Text& host) {
    return "http://" + host + downloadPagePath;
}

std::optional<HostPort> parseHostPort(const Text& hostText) {
    const std::size_t colon = hostText.find(':');
    if (colon == Text::npos) {
        if (hostText.empty()) return std::nullopt;
        return HostPort{hostText, 80};
    }
    const Text name = hostText.substr(0, colon);
    const Text digits = hostText.substr(colon + 1);
    if (name.empty() || digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return HostPort{name, port};
}

void Program::checkForUpdate() {
    Network& network = platform_.network;
    const Text localVersion = platform_.windows.versionEditText();
    const HttpResponse response =
        network.httpGet(updateSiteHost, versionFilePath, versionBodyLimit(localVersion));
    if (shouldOpenDownloadPage(response, localVersion)) network.openUrl(downloadPageUrl(updateSiteHost));
}

}  // namespace vexmora
