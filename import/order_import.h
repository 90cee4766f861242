#pragma once

#include <cstddef>
#include <filesystem>

namespace warenkai {

class CancelRequest;
class SelectlineApplication;
class StatusArea;
class UserDialogs;

inline constexpr const char* kOrderFileName = "bestellungen.csv";
// Fields of one line of the order file.
inline constexpr std::size_t kOrderFieldCount = 27;

struct OrderImportResult {
    bool fileOpened = false;
    std::size_t orders = 0;        // documents begun
    std::size_t positions = 0;     // lines of the file entered as positions
    std::size_t failedOrders = 0;  // orders with a failing call
};

// Turns the shop's order export (`file`, "bestellungen.csv") into Selectline documents of kind "B",
// one per order and one position per line. A line begins a new order when its order identity (the
// first three fields) differs from the line before. A failing call of the automation server does not
// stop the import: every order with a failing call gets one line in the error list, and so does every
// line that belongs to no order. The progress bar counts the file's lines. A cancel is taken before
// the next order begins (TransferCancelled), the order before it saved whole.
OrderImportResult ImportOrders(const std::filesystem::path& file, SelectlineApplication& application,
                               StatusArea& status, UserDialogs& dialogs, const CancelRequest& cancel);

}  // namespace warenkai
