#include "import/order_import.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <vector>

#include "common/cancel_request.h"
#include "common/limited_error_list.h"
#include "common/progress_counter.h"
#include "common/status_area.h"
#include "common/user_dialogs.h"
#include "common/utf8_path.h"
#include "import/failure_notes.h"
#include "import/order_record.h"
#include "import/shop_export_file.h"
#include "import/shop_record_reader.h"
#include "import/two_decimals.h"
#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

using Fields = std::vector<std::string>;

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

std::string Quoted(const std::string& value) {
    return "\u201E" + value + "\u201C";
}

// One line of an order as the file gives it.
struct PositionLine {
    std::size_t line = 0;
    std::string text, article, quantity, unitPrice, taxRate, total;
};

// One line of an order as Selectline takes it.
struct Position {
    double quantity = 0;
    std::string article;
    double unitPrice = 0;
    std::string taxRate;
    std::string text;
    std::string total;
};

// The lines of one order, gathered until the next order begins.
struct PendingOrder {
    OrderIdentity identity;
    std::size_t line = 0;  // of its first line
    Fields first;          // its first line, which gives the document's fields
    std::vector<PositionLine> lines;
    std::size_t rows = 0;  // all its lines, also those not kept
    std::size_t bytes = 0;

    std::string Name() const { return identity[0] + "/" + identity[1] + "/" + identity[2]; }
    void Add(const ShopRecord& record) {
        ++rows;
        const Fields& fields = record.fields;
        PositionLine position{record.line,        fields[kPositionText], fields[kArticle],  fields[kQuantity],
                              fields[kUnitPrice], fields[kTaxRate],      fields[kLineTotal]};
        const std::size_t size = position.text.size() + position.article.size() + position.quantity.size() +
                                 position.unitPrice.size() + position.taxRate.size() + position.total.size();
        bytes += size;
        if (bytes <= kMaxOrderBytes) {
            lines.push_back(std::move(position));
        }
    }
};

class OrderImporter {
public:
    OrderImporter(const OrderImportTables& selectline, OrderRecord& record, LimitedErrorList& errors,
                  OrderImportResult& result)
        : m_selectline(selectline), m_record(record), m_errors(errors), m_result(result) {}

    void Enter(const PendingOrder& order) {
        ++m_result.orders;
        if (!m_seen.insert(order.identity).second) {
            Refuse("Fehler: " + std::string(kOrderFileName) + " Zeile " + std::to_string(order.line) + ": Bestellung " +
                   order.Name() + " stand schon weiter oben in der Datei, ihre Zeilen hier wurden nicht eingetragen");
            return;
        }
        if (const auto known = m_record.Find(order.identity)) {
            AlreadyKnown(order, *known);
            return;
        }
        FailureNotes notes;
        if (order.bytes > kMaxOrderBytes) {
            notes.Add("mehr als " + std::to_string(kMaxOrderBytes >> 20) + " MB Daten");
        }
        const std::vector<Position> positions = Check(order, notes);
        if (!notes.Empty()) {
            Refuse("Fehler: Bestellung " + order.Name() + " nicht eingetragen: " + notes.Summary());
            return;
        }
        if (!m_record.Mark(OrderMark::Begun, order.identity, order.rows)) {
            throw std::runtime_error(RecordNotWritten() + ": die Bestellung " + order.Name() +
                                     " und die folgenden wurden nicht eingetragen.");
        }
        if (!Write(order, positions, notes)) {
            const bool marked = m_record.Mark(OrderMark::Failed, order.identity, order.rows);
            Refuse("Fehler: Bestellung " + order.Name() + " nicht eingetragen: " + notes.Summary());
            if (!marked) {
                throw std::runtime_error(RecordNotWritten() + ": die folgenden Bestellungen wurden nicht eingetragen.");
            }
            return;
        }
        if (!m_record.Mark(OrderMark::Entered, order.identity, order.rows)) {
            throw std::runtime_error("Die Bestellung " + order.Name() +
                                     " ist in Selectline eingetragen, aber nicht vermerkt. " + RecordNotWritten() +
                                     ": die folgenden Bestellungen wurden nicht eingetragen.");
        }
        ++m_result.entered;
        m_result.positions += order.rows;
    }

private:
    void Refuse(const std::string& line) {
        ++m_result.notEntered;
        m_errors.Add(line);
    }

    std::string RecordNotWritten() const {
        return "Die Datei \"" + PathToUtf8(m_record.File()) + "\" kann nicht geschrieben werden";
    }

    void AlreadyKnown(const PendingOrder& order, const OrderRecord::Known& known) {
        if (known.mark == OrderMark::Begun) {
            Refuse("Fehler: Bestellung " + order.Name() +
                   " wurde bei einem früheren Lauf begonnen, aber nicht fertig eingetragen: bitte in Selectline "
                   "prüfen und in \"" +
                   kOrderRecordFileName + "\" vermerken");
            return;
        }
        ++m_result.alreadyEntered;
        if (known.positions != order.rows) {
            m_errors.Add("Fehler: Bestellung " + order.Name() + " ist schon mit " + std::to_string(known.positions) +
                         " Positionen eingetragen, die Datei hat jetzt " + std::to_string(order.rows) +
                         ": nicht noch einmal eingetragen, bitte in Selectline prüfen");
        }
    }

    // Whether Selectline has the record `key` in `table`; a failing look-up counts as no.
    static bool Has(SelectlineTable& table, const std::string& key, FailureNotes& notes) {
        const auto found = Attempt(notes, [&] { return table.FindKey(key); });
        return found && *found;
    }

    // Everything that must hold before the document is created, with the amounts converted; every
    // reason not to enter the order goes into `notes`.
    std::vector<Position> Check(const PendingOrder& order, FailureNotes& notes) {
        const std::string& customer = order.first[kCustomer];
        if (!Has(m_selectline.customers, customer, notes)) {
            notes.Add("Kunde " + Quoted(customer) + " ist in Selectline nicht vorhanden");
        }
        std::set<std::string> articles;
        std::vector<Position> positions;
        for (const PositionLine& line : order.lines) {
            if (articles.insert(line.article).second && !Has(m_selectline.articles, line.article, notes)) {
                notes.Add("Artikel " + Quoted(line.article) + " ist in Selectline nicht vorhanden");
            }
            const std::string where = "Zeile " + std::to_string(line.line) + ": ";
            Position position;
            position.article = line.article;
            position.text = line.text;
            const auto quantity = Number(line.quantity, where + "Menge", notes);
            const auto unitPrice = Number(line.unitPrice, where + "Einzelpreis", notes);
            const auto taxRate = Amount(line.taxRate, where + "Steuersatz", notes);
            const auto total = Amount(line.total, where + "Gesamtpreis", notes);
            if (quantity && unitPrice && taxRate && total) {
                position.quantity = *quantity;
                position.unitPrice = *unitPrice;
                position.taxRate = *taxRate;
                position.total = *total;
                positions.push_back(std::move(position));
            }
        }
        return positions;
    }

    // The two-decimal text of an amount, or a note naming the value that is no number.
    static std::optional<std::string> Amount(const std::string& value, const std::string& what, FailureNotes& notes) {
        auto text = FormatTwoDecimals(value);
        if (!text) {
            notes.Add(what + " " + Quoted(value) + " ist keine Zahl");
        }
        return text;
    }

    static std::optional<double> Number(const std::string& value, const std::string& what, FailureNotes& notes) {
        const auto text = Amount(value, what, notes);
        if (!text) {
            return std::nullopt;
        }
        const auto number = TwoDecimalsValue(*text);
        if (!number) {
            notes.Add(what + " " + Quoted(value) + " ist zu groß");
        }
        return number;
    }

    // Creates and saves the document with its positions; stops at the first call that fails. The
    // document and its positions are let go when it returns; an unsaved document is given up.
    bool Write(const PendingOrder& order, const std::vector<Position>& positions, FailureNotes& notes) {
        auto created = Attempt(notes, [&] { return m_selectline.application.NeuerBelegAuto("B", ""); });
        if (!created) {
            return false;
        }
        if (!*created) {
            notes.Add("Beleg konnte nicht angelegt werden");
            return false;
        }
        SelectlineDocument& document = **created;
        const bool header = Attempt(notes, [&] { document.SetAdresse(order.first[kCustomer]); }) &&
                            Attempt(notes, [&] { document.PutField("FreierText1", order.first[kDocumentText]); }) &&
                            Attempt(notes, [&] { document.PutField("FreierText2", DetailText(order.first)); });
        if (!header) {
            return false;
        }
        for (const Position& position : positions) {
            auto line = Attempt(notes, [&] { return document.CreatePos("A"); });
            if (!line) {
                return false;
            }
            if (!*line) {
                notes.Add("Position konnte nicht angelegt werden");
                return false;
            }
            SelectlineDocumentLine& entry = **line;
            const bool saved = Attempt(notes, [&] { entry.SetEingabeMenge(position.quantity); }) &&
                               Attempt(notes, [&] { entry.SetArtikel(position.article); }) &&
                               Attempt(notes, [&] { entry.SetEinzelpreis(position.unitPrice); }) &&
                               Attempt(notes, [&] { entry.SetSteuerProzent(position.taxRate); }) &&
                               Attempt(notes, [&] { entry.SetBezeichnung(position.text); }) &&
                               Attempt(notes, [&] { entry.SetGesamtpreis(position.total); }) &&
                               Attempt(notes, [&] { entry.Save(1); });
            if (!saved) {
                return false;
            }
        }
        return Attempt(notes, [&] { document.Save(); });
    }

    const OrderImportTables& m_selectline;
    OrderRecord& m_record;
    LimitedErrorList& m_errors;
    OrderImportResult& m_result;
    std::set<OrderIdentity> m_seen;  // the orders of this run's file
};

}  // namespace

std::string OrderImportSummary(const OrderImportResult& result) {
    return "Bestellungen: " + std::to_string(result.entered) + " eingetragen, " +
           std::to_string(result.alreadyEntered) + " schon früher eingetragen, " + std::to_string(result.notEntered) +
           " nicht eingetragen";
}

OrderImportResult ImportOrders(const std::filesystem::path& file, const OrderImportTables& selectline,
                               OrderRecord& record, StatusArea& status, UserDialogs& dialogs,
                               const CancelRequest& cancel) {
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
    OrderImporter importer(selectline, record, errors, result);
    std::int64_t done = 0;
    std::optional<PendingOrder> pending;
    const auto enterPending = [&] {
        if (cancel.Requested()) {
            errors.Finish();
            throw TransferCancelled(CancelledAfter(done, total, "Bestellzeilen"));
        }
        importer.Enter(*pending);
        for (std::size_t i = 0; i < pending->rows; ++i) {
            progress.Step();
        }
        done += static_cast<std::int64_t>(pending->rows);
        pending.reset();
    };
    while (const auto row = records.Next()) {
        const Fields& fields = row->fields;
        const OrderIdentity identity = {CleanKeyField(fields[0]), fields[1], fields[2]};
        if (pending && pending->identity != identity) {
            enterPending();
        }
        if (identity == OrderIdentity{}) {
            errors.Add("Fehler: " + std::string(kOrderFileName) + " Zeile " + std::to_string(row->line) +
                       ": Position ohne Bestellnummer nicht eingetragen");
            progress.Step();
            ++done;
            continue;
        }
        if (!pending) {
            pending = PendingOrder{identity, row->line, fields, {}, 0, 0};
        }
        pending->Add(*row);
    }
    if (pending) {
        enterPending();
    }
    errors.Finish();
    status.SetStatusText(OrderImportSummary(result));
    return result;
}

}  // namespace warenkai
