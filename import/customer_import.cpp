#include "import/customer_import.h"

#include <array>
#include <utility>

#include "common/cancel_request.h"
#include "common/limited_error_list.h"
#include "common/progress_counter.h"
#include "common/status_area.h"
#include "common/transfer_guard.h"
#include "common/user_dialogs.h"
#include "import/address_finder.h"
#include "import/failure_notes.h"
#include "import/shop_export_file.h"
#include "import/shop_record_reader.h"
#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

using Fields = std::vector<std::string>;

// Customer record fields and the file fields that fill them, in the order they are put.
constexpr std::array<std::pair<const char*, std::size_t>, 11> kCustomerFields = {{
    {"Name", 1},
    {"Zusatz", 2},
    {"Strasse", 3},
    {"Plz", 4},
    {"Ort", 5},
    {"SteueridentNr", 8},
    {"Steuernummer", 9},
    {"EMail", 10},
    {"Telefon1", 11},
    {"Telefon2", 12},
    {"Fax", 13},
}};
constexpr std::array<const char*, 5> kAddressFields = {"Name", "Zusatz", "Strasse", "Plz", "Ort"};
constexpr std::size_t kAddressBlockA = 14;  // address record in "AD"
constexpr std::size_t kAddressBlockB = 19;  // reference record in "KU"

bool AnyFilled(const Fields& fields, std::size_t first, std::size_t count) {
    for (std::size_t i = first; i < first + count; ++i) {
        if (!fields[i].empty()) {
            return true;
        }
    }
    return false;
}

class CustomerImporter {
public:
    CustomerImporter(SelectlineTable& customers, SelectlineTable& addresses, StatusArea& status,
                     LimitedErrorList& errors, const CustomerImportOptions& options)
        : m_customers(customers),
          m_status(status),
          m_errors(errors),
          m_addresses(addresses),
          m_finder(addresses, options.naiveAddressWalk) {}

    void Enter(const ShopRecord& record, CustomerImportResult& result) {
        const Fields& fields = record.fields;
        const std::string number = CleanKeyField(fields[0]);
        m_status.SetStatusText("Kundennummer: " + number);
        if (number.empty()) {
            if (AnyFilled(fields, 1, kCustomerFieldCount - 1)) {
                m_errors.Add("Fehler: " + std::string(kCustomerFileName) + " Zeile " + std::to_string(record.line) +
                             ": Kunde ohne Kundennummer nicht eingetragen");
                ++result.faultyLines;
            }
            return;
        }
        m_notes.Clear();
        const bool inserted = WriteCustomer(number, fields);
        if (AnyFilled(fields, kAddressBlockB, kAddressFields.size())) {
            WriteReference(number, fields);
        }
        if (AnyFilled(fields, kAddressBlockA, kAddressFields.size())) {
            WriteAddress(number, fields);
        }
        ++result.customers;
        if (!m_notes.Empty()) {
            ++result.failedCustomers;
            m_errors.Add("Fehler: Kunde " + number + ": " + m_notes.Summary());
        } else if (inserted) {
            ++result.newCustomers;
        }
    }

private:
    // Looks `key` up in "KU" and inserts it when missing. False when the record could not be reached:
    // then nothing may be put, or it would land on whatever record is current.
    bool ReachCustomerRecord(const std::string& key, bool* found = nullptr) {
        const auto exists = Attempt(m_notes, [&] { return m_customers.FindKey(key); });
        if (!exists) {
            return false;
        }
        if (found != nullptr) {
            *found = *exists;
        }
        if (*exists) {
            return true;
        }
        return Attempt(m_notes, [&] { m_customers.Insert(); }) &&
               Attempt(m_notes, [&] { m_customers.PutField("Nummer", key); });
    }

    void Put(SelectlineTable& table, const char* field, const std::string& value) {
        Attempt(m_notes, [&] { table.PutField(field, value); });
    }

    // True when the customer was not in "KU" before.
    bool WriteCustomer(const std::string& number, const Fields& fields) {
        bool found = false;
        if (!ReachCustomerRecord(number, &found)) {
            return false;
        }
        for (const auto& [name, index] : kCustomerFields) {
            Put(m_customers, name, fields[index]);
        }
        Put(m_customers, "FreierText1", "Branche: " + fields[7]);
        Put(m_customers, "FreierText2", "Kundenart: " + fields[24]);
        Attempt(m_notes, [&] { m_customers.Post(); });
        return !found;
    }

    void WriteReference(const std::string& number, const Fields& fields) {
        const std::string reference = "R" + number;
        bool found = false;
        if (!ReachCustomerRecord(reference, &found)) {
            return;
        }
        for (std::size_t i = 0; i < kAddressFields.size(); ++i) {
            Put(m_customers, kAddressFields[i], fields[kAddressBlockB + i]);
        }
        const bool posted = Attempt(m_notes, [&] { m_customers.Post(); });
        if (!found && !posted) {
            return;  // no reference record to point to
        }
        const auto customerFound = Attempt(m_notes, [&] { return m_customers.FindKey(number); });
        if (customerFound && *customerFound) {
            Put(m_customers, "RefAdresse", reference);
            Attempt(m_notes, [&] { m_customers.Post(); });
        }
    }

    void WriteAddress(const std::string& number, const Fields& fields) {
        const std::string type = "KUL" + number;
        const auto found = Attempt(m_notes, [&] { return m_finder.Find(type); });
        if (!found) {
            return;
        }
        const bool reached = *found || (Attempt(m_notes, [&] { m_addresses.Insert(); }) &&
                                        Attempt(m_notes, [&] { m_addresses.PutField("Adresstyp", type); }));
        if (!reached) {
            m_finder.Forget();
            return;
        }
        for (std::size_t i = 0; i < kAddressFields.size(); ++i) {
            Put(m_addresses, kAddressFields[i], fields[kAddressBlockA + i]);
        }
        if (!Attempt(m_notes, [&] { m_addresses.Post(); })) {
            m_finder.Forget();
        } else if (!*found) {
            m_finder.NoteInserted(type);
        }
    }

    SelectlineTable& m_customers;
    StatusArea& m_status;
    LimitedErrorList& m_errors;
    SelectlineTable& m_addresses;
    AddressFinder m_finder;
    FailureNotes m_notes;
};

}  // namespace

CustomerImportResult ImportCustomers(const std::filesystem::path& file, SelectlineTable& customers,
                                     SelectlineTable& addresses, StatusArea& status, UserDialogs& dialogs,
                                     const CancelRequest& cancel, const CustomerImportOptions& options) {
    CustomerImportResult result;
    const auto in = OpenShopExportFile(file);
    if (!in) {
        dialogs.ShowMessage("Fehler beim öffnen von " + std::string(kCustomerFileName));
        return result;
    }
    result.fileOpened = true;
    const auto total = static_cast<std::int64_t>(CountShopRecords(file, kCustomerFieldCount));
    ProgressCounter progress(status, total);
    LimitedErrorList errors(status, kCustomerFileName);
    ShopRecordReader records(*in, kCustomerFileName, kCustomerFieldCount, errors);
    CustomerImporter importer(customers, addresses, status, errors, options);
    std::int64_t done = 0;
    while (const auto record = records.Next()) {
        if (cancel.Requested()) {
            errors.Finish();
            throw TransferCancelled(CancelledAfter(done, total, "Kunden"));
        }
        importer.Enter(*record, result);
        progress.Step();
        ++done;
    }
    errors.Finish();
    result.faultyLines += records.RefusedRecords();
    return result;
}

std::string CustomerImportSummary(const CustomerImportResult& result) {
    const std::size_t changed = result.customers - result.failedCustomers - result.newCustomers;
    const auto faulty = static_cast<std::int64_t>(result.faultyLines + result.failedCustomers);
    return CountOf(static_cast<std::int64_t>(result.newCustomers), "Kunde", "Kunden") + " neu, " +
           GermanCount(static_cast<std::int64_t>(changed)) + " geändert, " + CountOf(faulty, "Zeile", "Zeilen") +
           " fehlerhaft";
}

}  // namespace warenkai
