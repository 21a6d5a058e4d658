#pragma once

#include "definition.h"

namespace ui {

// The program's two windows.
const WindowDefinition &frmMain();
const WindowDefinition &frmShutDown();

} // namespace ui
