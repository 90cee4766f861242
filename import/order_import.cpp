#include "import/order_import.h"

#include <array>
#include <memory>
#include <optional>

#include "common/cancel_request.h"
#include "common/limited_error_list.h"
#include "common/progress_counter.h"
#include "common/user_dialogs.h"
#include "import/failure_notes.h"
#include "import/shop_export_file.h"
#include "import/shop_record_reader.h"
#include "import/two_decimals.h"
#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

using Fields = std::vector<std::string>;
using OrderIdentity = std::array<std::string, 3>;

// Field numbers of a line of the order file.
enum OrderField : std::size_t {
    kCustomer = 2,
    kPositionText = 5,
    kArticle = 6,
    kUnitPrice = 8,
    kTaxRate = 11,
    kLineTotal = 14,
    kQuantity = 18,
    kDocumentText = 20,
};

// The order detail labels and their fields, in the order they are joined.
constexpr std::array<std::pair<const char*, std::size_t>, 5> kDetailParts = {{
    {"B:", 21},
    {"K:", 22},
    {"KA:", 24},
    {"KN:", 25},
    {"KG:", 26},
}};

std::string DetailText(const Fields& fields) {
    std::string text;
    for (const auto& [label, index] : kDetailParts) {
        if (!fields[index].empty()) {
            text += label;
            text += fields[index];
        }
    }
    return text;
}

class OrderImporter {
public:
    OrderImporter(SelectlineApplication& application, LimitedErrorList& errors, OrderImportResult& result)
        : m_application(application), m_errors(errors), m_result(result) {}

    // True when `record` begins another order than the one under way.
    bool BeginsOrder(const ShopRecord& record) const {
        const Fields& fields = record.fields;
        return OrderIdentity{CleanKeyField(fields[0]), fields[1], fields[2]} != m_identity;
    }

    void Enter(ShopRecord& record) {
        Fields& fields = record.fields;
        fields[0] = CleanKeyField(fields[0]);
        const OrderIdentity identity = {fields[0], fields[1], fields[2]};
        if (identity != m_identity) {
            m_identity = identity;
            EndOrder();
            BeginOrder(fields);
        }
        if (!m_orderBegun) {
            // The identity of the first lines is empty, the same as "no order yet": no document to
            // add them to.
            m_errors.Add("Fehler: " + std::string(kOrderFileName) + " Zeile " + std::to_string(record.line) +
                         ": Position ohne Bestellnummer nicht eingetragen");
            return;
        }
        if (m_document) {
            AddPosition(fields);
        }
    }

    // Saves the open document and reports the order when something failed.
    void EndOrder() {
        if (m_document) {
            Attempt(m_notes, [&] { m_document->Save(); });
            m_document.reset();
        }
        if (m_orderBegun && !m_notes.Empty()) {
            ++m_result.failedOrders;
            m_errors.Add("Fehler: Bestellung " + m_orderName + ": " + m_notes.Summary());
        }
        m_notes.Clear();
        m_orderBegun = false;
    }

private:
    void BeginOrder(const Fields& fields) {
        m_orderName = m_identity[0] + "/" + m_identity[1] + "/" + m_identity[2];
        m_orderBegun = true;
        ++m_result.orders;
        auto document = Attempt(m_notes, [&] { return m_application.NeuerBelegAuto("B", ""); });
        if (!document) {
            return;
        }
        if (!*document) {
            m_notes.Add("Beleg konnte nicht angelegt werden");
            return;
        }
        m_document = std::move(*document);
        Attempt(m_notes, [&] { m_document->SetAdresse(fields[kCustomer]); });
        Attempt(m_notes, [&] { m_document->PutField("FreierText1", fields[kDocumentText]); });
        Attempt(m_notes, [&] { m_document->PutField("FreierText2", DetailText(fields)); });
    }

    // The two-decimal text of an amount, or a note naming the value that is no number.
    std::optional<std::string> Amount(const std::string& value, const char* what) {
        auto text = FormatTwoDecimals(value);
        if (!text) {
            m_notes.Add(std::string(what) + " \u201E" + value + "\u201C ist keine Zahl");
        }
        return text;
    }

    std::optional<double> Number(const std::string& value, const char* what) {
        const auto text = Amount(value, what);
        if (!text) {
            return std::nullopt;
        }
        const auto number = TwoDecimalsValue(*text);
        if (!number) {
            m_notes.Add(std::string(what) + " \u201E" + value + "\u201C ist zu groß");
        }
        return number;
    }

    void AddPosition(const Fields& fields) {
        auto created = Attempt(m_notes, [&] { return m_document->CreatePos("A"); });
        if (!created) {
            return;
        }
        if (!*created) {
            m_notes.Add("Position konnte nicht angelegt werden");
            return;
        }
        SelectlineDocumentLine& position = **created;
        if (const auto quantity = Number(fields[kQuantity], "Menge")) {
            Attempt(m_notes, [&] { position.SetEingabeMenge(*quantity); });
        }
        Attempt(m_notes, [&] { position.SetArtikel(fields[kArticle]); });
        if (const auto price = Number(fields[kUnitPrice], "Einzelpreis")) {
            Attempt(m_notes, [&] { position.SetEinzelpreis(*price); });
        }
        if (const auto rate = Amount(fields[kTaxRate], "Steuersatz")) {
            Attempt(m_notes, [&] { position.SetSteuerProzent(*rate); });
        }
        Attempt(m_notes, [&] { position.SetBezeichnung(fields[kPositionText]); });
        if (const auto total = Amount(fields[kLineTotal], "Gesamtpreis")) {
            Attempt(m_notes, [&] { position.SetGesamtpreis(*total); });
        }
        Attempt(m_notes, [&] { position.Save(1); });
        ++m_result.positions;
    }

    SelectlineApplication& m_application;
    LimitedErrorList& m_errors;
    OrderImportResult& m_result;
    OrderIdentity m_identity;  // the identity of the line before; empty at the start
    std::string m_orderName;   // the order under way, as "1/a/100"
    bool m_orderBegun = false;
    std::unique_ptr<SelectlineDocument> m_document;
    FailureNotes m_notes;
};

}  // namespace

OrderImportResult ImportOrders(const std::filesystem::path& file, SelectlineApplication& application,
                               StatusArea& status, UserDialogs& dialogs, const CancelRequest& cancel) {
    OrderImportResult result;
    const auto in = OpenShopExportFile(file);
    if (!in) {
        dialogs.ShowMessage("Fehler beim öffnen von " + std::string(kOrderFileName));
        return result;
    }
    result.fileOpened = true;
    const auto total = static_cast<std::int64_t>(CountShopRecords(file, kOrderFieldCount));
    ProgressCounter progress(status, total);
    LimitedErrorList errors(status, kOrderFileName);
    ShopRecordReader records(*in, kOrderFileName, kOrderFieldCount, errors);
    OrderImporter importer(application, errors, result);
    std::int64_t done = 0;
    while (auto record = records.Next()) {
        if (importer.BeginsOrder(*record) && cancel.Requested()) {
            importer.EndOrder();
            errors.Finish();
            throw TransferCancelled(CancelledAfter(done, total, "Bestellzeilen"));
        }
        importer.Enter(*record);
        progress.Step();
        ++done;
    }
    importer.EndOrder();
    errors.Finish();
    return result;
}

}  // namespace warenkai
