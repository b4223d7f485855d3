#pragma once

#include "app/platform.h"

namespace vexmora::win32 {

class Win32Network final : public Network {
public:
    HttpResponse httpGet(const Text& host, const Text& path, std::size_t maxBodyBytes) override;
    void openUrl(const Text& url) override;
};

}  // namespace vexmora::win32
