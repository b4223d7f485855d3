#pragma once

#include "app/platform.h"

namespace vexmora {

Text noticeMarkup(const Text& name, const Text& text);
Text aboutMarkup();
Text resetConfirmationText();

}  // namespace vexmora
