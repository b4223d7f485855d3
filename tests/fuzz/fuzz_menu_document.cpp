// replaceAll and the slot and mark patches over arbitrary texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "menu/menu_document.h"
#include "menu/text_replace.h"

using namespace vexmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // text NUL find NUL replacement
    const Text input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\0');
    const std::size_t second = first == Text::npos ? Text::npos : input.find('\0', first + 1);
    const Text text = input.substr(0, first);
    const Text find = first == Text::npos ? Text() : input.substr(first + 1, second - first - 1);
    const Text replacement = second == Text::npos ? Text() : input.substr(second + 1);

    const Text replaced = replaceAll(text, find, replacement);
    if (findText(text, find) == Text::npos && replaced != text) std::abort();
    if (find == replacement && replaced != text) std::abort();

    Text document = text;
    const Text slot = readSlot(document, find);
    if (slot.size() > document.size()) std::abort();
    writeSlot(document, find, static_cast<std::int32_t>(size * 2654435761u));
    setMark(document, find, replacement);

    Text menu = initialMenuDocument();
    writeSlot(menu, "号(", static_cast<std::int32_t>(size));
    setMark(menu, text, replacement);
    readSlot(menu, find);
    return 0;
}
