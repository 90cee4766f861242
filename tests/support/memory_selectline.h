#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/transfer_context.h"
#include "selectline/selectline_application.h"

namespace warenkai::test {

// An in-memory Selectline with the stand-in's rules, for tests and for measuring the program's own
// work without storage cost:
// - tables by code, rows in insertion order; keys AR "Artikelnummer", AG "Nummer", TE "Schluessel",
//   AP ("Artikelnummer", "Preisart", "Preisnummer"), KU "Nummer"; several matches: the first row;
// - a field that the table does not have is a server error in GetField and PutField;
// - Insert + Post appends, Post alone updates the current row, a duplicate key is a server error;
// - SetAdresse needs a customer in KU, SetArtikel an article in AR; Save stores the document.
struct MemoryTable {
    std::vector<std::string> columns;
    std::vector<std::unordered_map<std::string, Variant>> rows;

    // Appends a row, declaring its fields as columns where they are new.
    MemoryTable& Add(const std::vector<std::pair<std::string, Variant>>& fields);
    bool HasColumn(const std::string& name) const;

    // With MemoryDatabase::indexKeys: by number of key parts, the joined key texts -> first row.
    // Built at the first look-up, dropped by Add and Post.
    std::map<std::size_t, std::unordered_map<std::string, std::size_t>> keyIndex;
};

struct MemoryPosition {
    std::vector<std::string> calls;  // "SetEingabeMenge 2", "SetArtikel 4711", … in call order
};

struct MemoryDocument {
    std::string kind;
    std::string address;
    std::map<std::string, std::string> fields;
    std::vector<MemoryPosition> positions;  // saved positions
};

struct MemoryDatabase {
    std::map<std::string, MemoryTable> tables;
    std::vector<MemoryDocument> documents;  // saved documents
    // ApplicationReady answers false this many times first.
    int notReadyChecks = 0;
    // Every call on the application and on tables, as "CreateTable AR", "login", … (tables: "AR.FindKey x").
    std::vector<std::string> calls;
    bool recordCalls = false;
    // Time each call takes, like a server in another process.
    std::chrono::microseconds callTime{0};
    // Key look-ups (and Listenpreis) through an index instead of a walk over the rows, for large
    // generated sets. The index does not see rows changed directly in `rows` after the first look-up.
    bool indexKeys = false;
    // Called with every call of the application, its tables and positions ("AR.Next", "Save 1").
    std::function<void(const std::string& call)> onCall;

    MemoryTable& Table(const std::string& code);
    // Spends callTime and tells onCall.
    void Called(const std::string& call) const;
};

// A factory over `database`; each call is one application object.
SelectlineFactory MakeMemorySelectline(std::shared_ptr<MemoryDatabase> database);

}  // namespace warenkai::test
