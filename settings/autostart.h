#pragma once

#include "app/platform.h"

namespace vexmora {

// The full path of the program file: directory, "\", file name, with every
// doubled backslash made single, except the leading pair of a network path
// (\\server\share\...), which names no file without it.
Text buildExePath(const Text& runDirectory, const Text& fileName);

}  // namespace vexmora
