#pragma once

#include "app/platform.h"

namespace vexmora::win32 {

class Win32InterfaceTable final : public InterfaceTable {
public:
    std::uint32_t getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) override;
};

}  // namespace vexmora::win32
