// The interface table of the benchmark's measuring build: one interface, held
// in memory, whose counters advance by 1000 bytes at every read. Measured
// beside the real program, it shows what the program's own tick costs apart
// from the system's table read. It defines every symbol of the library's
// copy, so that copy is never linked.
#include "meter/interface_table_win32.h"

#include <windows.h>

#include <cstring>

namespace vexmora::win32 {

namespace {

constexpr std::uint32_t oneRowTable = 4 + 860;
std::uint32_t octets = 0;

}  // namespace

std::uint32_t Win32InterfaceTable::getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool) {
    if (*size < oneRowTable) {
        *size = oneRowTable;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    octets += 1000;
    const std::uint32_t rows = 1;
    std::memcpy(buffer, &rows, 4);
    std::memcpy(buffer + 4 + 552, &octets, 4);
    std::memcpy(buffer + 4 + 576, &octets, 4);
    return NO_ERROR;
}

}  // namespace vexmora::win32
