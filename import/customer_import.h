#pragma once

#include <cstddef>
#include <filesystem>

namespace warenkai {

class CancelRequest;
class SelectlineTable;
class StatusArea;
class UserDialogs;

inline constexpr const char* kCustomerFileName = "kundenstamm.csv";
// Fields of one line of the customer file.
inline constexpr std::size_t kCustomerFieldCount = 25;

struct CustomerImportOptions {
    // Find every address record by walking the address table from its first record (the plain way,
    // kept to compare with the place list of AddressFinder).
    bool naiveAddressWalk = false;
};

struct CustomerImportResult {
    bool fileOpened = false;
    std::size_t customers = 0;        // lines with a customer number that were entered
    std::size_t failedCustomers = 0;  // of those, the ones with a failing step
    std::size_t newCustomers = 0;     // of those without a failing step, the ones inserted
    std::size_t faultyLines = 0;      // records of the file not entered (broken, no customer number)
};

// "4 Kunden neu, 2 geändert, 1 Zeile fehlerhaft": the failing customers count as faulty lines.
std::string CustomerImportSummary(const CustomerImportResult& result);

// Brings the customers of the shop's customer export (`file`, "kundenstamm.csv") into Selectline: the
// customer record in "KU", a reference record "R" + number in "KU" for address block B and an address
// record "KUL" + number in "AD" for address block A; new ones are inserted, known ones overwritten.
// A failing step of the automation server does not stop the import: every customer with a failing
// step gets one line in the error list, naming the server's texts. The progress bar counts the file's
// records. A cancel is taken between two customers (TransferCancelled), every customer before it
// written whole.
CustomerImportResult ImportCustomers(const std::filesystem::path& file, SelectlineTable& customers,
                                     SelectlineTable& addresses, StatusArea& status, UserDialogs& dialogs,
                                     const CancelRequest& cancel, const CustomerImportOptions& options = {});

}  // namespace warenkai
