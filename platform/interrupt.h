#pragma once

namespace warenkai {

class CancelRequest;

// From now on the first interrupt of the program (Ctrl-C, SIGINT or SIGTERM; on Windows also the
// console window closing) asks `cancel` to stop the transfer at its next safe point; a second one
// ends the program at once with exit status 2. `cancel` must live until the program ends.
void CancelOnInterrupt(CancelRequest& cancel);

}  // namespace warenkai
