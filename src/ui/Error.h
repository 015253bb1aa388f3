// The program's exception type, as the windows name it (see comm/UserError.h).
#pragma once
#include "comm/UserError.h"

namespace ui {

using Error = comm::TUserError;

}  // namespace ui
