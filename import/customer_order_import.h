#pragma once

#include "common/transfer_guard.h"

namespace warenkai {

// The transfer's name in the run history.
inline constexpr const char* kCustomerOrderImportName = "Kunden und Bestellungen vom Webshop";

struct Settings;
struct TransferContext;

// The button "Datenübertragung des Kundenstamms und der Bestellungen in Selectline": the shop's
// exports downloaded, then customers and orders entered into Selectline (tables "KU", "AD" and "AR").
// The record of the entered orders ("Bestellungen eingetragen.txt" in the program folder) is read
// first: when it cannot be used the run stops at once. When the shop's export page failed, nothing
// is downloaded or entered: the run ends with an error line (the exports on the server are an
// earlier run's).
TransferOutcome RunCustomerOrderImport(const Settings& settings, TransferContext& context);

}  // namespace warenkai
