#pragma once

#include "common/transfer_guard.h"

namespace warenkai {

struct Settings;
struct TransferContext;

// The button "Datenübertragung des Kundenstamms und der Bestellungen in Selectline": the shop's
// exports downloaded, then customers and orders entered into Selectline.
TransferOutcome RunCustomerOrderImport(const Settings& settings, TransferContext& context);

}  // namespace warenkai
