#pragma once

#include <cstdint>

namespace warenkai {

class StatusArea;

// The window's answer to the FTP control's progress event: maximum 100, value done / total * 100
// rounded half to even; nothing changes when total is 0 or the result lies outside 0 to 100.
void ShowTransferProgress(StatusArea& status, std::int64_t total, std::int64_t done);

}  // namespace warenkai
