#include "meter/interface_table_win32.h"

#include <windows.h>
#include <iphlpapi.h>

namespace vexmora::win32 {

std::uint32_t Win32InterfaceTable::getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) {
    ULONG length = *size;
    const DWORD result = GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer), &length, sorted ? TRUE : FALSE);
    *size = length;
    return result;
}

}  // namespace vexmora::win32
