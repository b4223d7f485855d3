// The update check's decision over arbitrary responses and host texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/update_check.h"

using namespace vexmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    HttpResponse response;
    response.fetched = data[0] & 1;
    response.status = (data[0] & 2) ? 200 : 404 + data[1];
    response.body.assign(reinterpret_cast<const char*>(data + 2), size - 2);

    const bool open = shouldOpenDownloadPage(response, "2");
    const Text remote = remoteVersionText(response.body);
    if (remote.find('\0') != Text::npos || remote.size() > response.body.size()) std::abort();
    // Only a good answer can open the page, and then exactly when the texts differ.
    if (open && !(response.fetched && response.status == 200)) std::abort();
    if (response.fetched && response.status == 200 && response.body.size() <= versionBodyBound &&
        open != (remote != "2"))
        std::abort();
    if (versionBodyLimit("2") > versionBodyBound) std::abort();

    const auto hostPort = parseHostPort(response.body);
    if (hostPort && (hostPort->host.empty() || hostPort->port < 1 || hostPort->port > 65535)) std::abort();
    return 0;
}
