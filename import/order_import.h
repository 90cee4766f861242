#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace warenkai {

class CancelRequest;
class OrderRecord;
class SelectlineApplication;
class SelectlineTable;
class StatusArea;
class UserDialogs;

inline constexpr const char* kOrderFileName = "bestellungen.csv";
// Fields of one line of the order file.
inline constexpr std::size_t kOrderFieldCount = 27;
// The lines of one order are kept until the order is complete; an order larger than this is not
// entered.
inline constexpr std::size_t kMaxOrderBytes = std::size_t{16} << 20;

// What the order import works on in Selectline: the automation object for the documents, and the
// customer table "KU" and article table "AR" in which every order is checked before its document
// is created.
struct OrderImportTables {
    SelectlineApplication& application;
    SelectlineTable& customers;
    SelectlineTable& articles;
};

struct OrderImportResult {
    bool fileOpened = false;
    std::size_t orders = 0;          // orders in the file
    std::size_t entered = 0;         // entered in this run
    std::size_t alreadyEntered = 0;  // entered by an earlier run: not entered again, no error
    std::size_t notEntered = 0;      // reported in the error list and not entered
    std::size_t positions = 0;       // positions of the orders entered in this run
};

// Turns the shop's order export (`file`, "bestellungen.csv") into Selectline documents of kind "B",
// one per order and one position per line; the lines of one order follow each other and share the
// order identity (fields 0 to 2).
//
// Every order is entered once and whole:
// - an order `record` knows as entered is not entered again (counted as already entered); one it
//   knows as begun and never finished gets an error line asking the user to check it in Selectline;
// - the customer and every article of the order must be in Selectline and every amount a number,
//   or the order is not entered at all: one error line naming the order and the reasons;
// - the order is marked begun in `record` before its document is created and entered after the
//   document was saved. A call that fails on the way stops the order: no further call, the document
//   not saved, the order marked failed (so a later run enters it) and reported.
// A record that can no longer be written stops the import (std::runtime_error): no order is entered
// that could not be recorded. The progress bar counts the file's lines; a cancel is taken before the
// next order begins (TransferCancelled). At the end the status text counts the orders.
OrderImportResult ImportOrders(const std::filesystem::path& file, const OrderImportTables& selectline,
                               OrderRecord& record, StatusArea& status, UserDialogs& dialogs,
                               const CancelRequest& cancel);

// "Bestellungen: 2 eingetragen, 5 schon früher eingetragen, 1 nicht eingetragen".
std::string OrderImportSummary(const OrderImportResult& result);

}  // namespace warenkai
