// The interface table buffer: any bytes, any stated size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fakes/fake_platform.h"
#include "meter/counter_table.h"

using namespace vexmora;

namespace {

// Reports whatever size the input asks for and copies what fits.
class ArbitraryTable final : public InterfaceTable {
public:
    ArbitraryTable(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) override {
        if (!sorted) {
            *size = static_cast<std::uint32_t>(size_ + (size_ > 0 ? data_[0] % 3 : 0));
            return 122;
        }
        std::memcpy(buffer, data_, std::min<std::size_t>(size_, *size));
        if (size_ > 1 && data_[1] == 0xEE) *size = 0xFFFFFFF0u;  // a platform that lies about the size
        return size_ > 2 && data_[2] == 0xFF ? 122 : 0;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto table = parseCounterTable(data, size)) {
        if (4 + table->size() * ifRowSize > size) std::abort();
    }
    if (size > (1u << 20)) return 0;
    fakes::FakeSystem system;
    ArbitraryTable arbitrary(data, size);
    Program program(Platform{system.registry, arbitrary, system.windows, system.balloon, system.inputBox,
                             system.network, system.process});
    program.initGlobals();
    program.state().counterTable = {{1, 2}};
    program.refreshCounterTable();
    // Either untouched, or built from rows that fit the buffer it asked for.
    const CounterTable& table = program.state().counterTable;
    const std::size_t asked = size + (size > 0 ? data[0] % 3 : 0);
    const bool untouched = table.size() == 1 && table[0].inOctets == 1 && table[0].outOctets == 2;
    if (!untouched && 4 + table.size() * ifRowSize > asked) std::abort();
    return 0;
}
