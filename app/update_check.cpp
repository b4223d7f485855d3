#include "app/program.h"

namespace vexmora {

void Program::checkForUpdate() {}

}  // namespace vexmora
