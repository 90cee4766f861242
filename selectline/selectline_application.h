#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "selectline/selectline_error.h"
#include "selectline/variant.h"

namespace warenkai {

// The objects of Selectline's automation server. Operation names and argument order are Selectline's
// own, so an implementation over the real server (late-bound calls by member name on the object of
// ProgID "XFakt.App") maps each member to one call. Every operation may throw SelectlineError.

// One open table; it has a current record.
class SelectlineTable {
public:
    virtual ~SelectlineTable() = default;

    virtual std::int64_t Recordcount() = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    // The current record's value of the field.
    virtual Variant GetField(const std::string& fieldName) = 0;
    // Key look-ups by one, two or three key parts: true when found; the found record becomes current.
    virtual bool FindKey(const std::string& key) = 0;
    virtual bool FindKey2(const std::string& key1, const std::string& key2) = 0;
    virtual bool FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) = 0;
    // Begins a new, empty current record; Post stores it.
    virtual void Insert() = 0;
    virtual void PutField(const std::string& fieldName, const std::string& value) = 0;
    // Stores the current record, new or changed.
    virtual void Post() = 0;
};

// One position of a document.
class SelectlineDocumentLine {
public:
    virtual ~SelectlineDocumentLine() = default;

    virtual void SetEingabeMenge(double quantity) = 0;
    virtual void SetArtikel(const std::string& articleNumber) = 0;
    virtual void SetEinzelpreis(double unitPrice) = 0;
    virtual void SetSteuerProzent(const std::string& rate) = 0;
    virtual void SetBezeichnung(const std::string& text) = 0;
    virtual void SetGesamtpreis(const std::string& total) = 0;
    virtual void Save(int mode) = 0;
};

// A document (an order of kind "B").
class SelectlineDocument {
public:
    virtual ~SelectlineDocument() = default;

    virtual void SetAdresse(const std::string& customerNumber) = 0;
    virtual void PutField(const std::string& fieldName, const std::string& value) = 0;
    virtual std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string& kind) = 0;
    virtual void Save() = 0;
};

// The automation object. Tables and documents it hands out must not outlive it.
class SelectlineApplication {
public:
    virtual ~SelectlineApplication() = default;

    virtual bool ApplicationReady() = 0;
    virtual void login(const std::string& user, const std::string& password) = 0;
    virtual void getMandant(const std::string& mandant, int mode) = 0;
    // Opens the table of a two-letter code ("AR", "AG", "TE", "AP", "UD", "KU", "AD"), positioned
    // on its first record.
    virtual std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) = 0;
    // The list price of an article.
    virtual Variant Listenpreis(const std::string& articleNumber) = 0;
    virtual std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) = 0;
};

}  // namespace warenkai
