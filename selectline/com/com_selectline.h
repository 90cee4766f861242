#pragma once

#include "common/transfer_context.h"

namespace warenkai {

// The ProgID of Selectline's automation server.
inline constexpr const wchar_t* kSelectlineProgId = L"XFakt.App";

// Selectline's automation server over COM. Each call of the factory creates one automation object of
// "XFakt.App" (a running server or one started for it) on the calling thread, which becomes a
// single-threaded apartment until that object and everything taken from it are released; they are
// used and released on that thread only. Throws SelectlineError when the server is not installed or
// cannot be started.
SelectlineFactory MakeComSelectline();

}  // namespace warenkai
