#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/transfer_context.h"
#include "selectline/selectline_application.h"

namespace warenkai::test {

// An in-memory Selectline with the stand-in's rules, the one fake of the automation server for the
// tests and for the benchmarks' runs that show the program's own work:
// - tables by code, rows in insertion order; keys AR "Artikelnummer", AG "Nummer", TE "Schluessel",
//   AP ("Artikelnummer", "Preisart", "Preisnummer"), KU "Nummer"; several matches: the first row; a
//   row without the key fields looked up is not found;
// - a field that the table does not have is a server error in GetField and PutField;
// - Insert + Post appends, Post alone updates the current row, a duplicate key is a server error;
// - SetAdresse needs a customer in KU, SetArtikel an article in AR; Save stores the document.
// Key look-ups (also those of Post, SetAdresse, SetArtikel and Listenpreis) go through a kept index,
// so none walks the rows: built at the first look-up, kept up by Post, dropped by Add and whenever a
// table is opened (so rows changed directly in `rows` count from the next CreateTable on).
struct MemoryTable {
    using Row = std::unordered_map<std::string, Variant>;

    std::vector<std::string> columns;
    std::vector<Row> rows;
    // By number of key parts looked up: the key texts joined -> the first row with them.
    std::map<std::size_t, std::unordered_map<std::string, std::size_t>> index;
    // What the server does after a post, for tables it keeps in another order than insertion: called
    // with the rows, the current row (the one posted) and whether it was inserted; the index is
    // dropped after it.
    std::function<void(std::vector<Row>& rows, std::size_t& current, bool inserted)> afterPost;

    // Appends a row, declaring its fields as columns where they are new.
    MemoryTable& Add(const std::vector<std::pair<std::string, Variant>>& fields);
};

struct MemoryDocument {
    std::size_t positions = 0;  // saved positions
};

struct MemoryDatabase {
    std::map<std::string, MemoryTable> tables;
    std::vector<MemoryDocument> documents;  // saved documents
    // ApplicationReady answers false this many times first.
    int notReadyChecks = 0;
    // With recordCalls: every call of the application, its tables, documents and positions, as
    // "CreateTable AR", "login |", "AR.FindKey x", "SetAdresse 100", "SetArtikel 4711", "Save", ….
    std::vector<std::string> calls;
    bool recordCalls = false;
    // Time each call takes, like a server in another process.
    std::chrono::microseconds callTime{0};
    // Called with every call, as `calls` names it.
    std::function<void(const std::string& call)> onCall;

    MemoryTable& Table(const std::string& code) { return tables[code]; }
};

// A factory over `database`; each call is one application object.
SelectlineFactory MakeMemorySelectline(std::shared_ptr<MemoryDatabase> database);

}  // namespace warenkai::test
