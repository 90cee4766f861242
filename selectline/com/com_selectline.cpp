#include "selectline/com/com_selectline.h"

#include "selectline/com/com_dispatch.h"
#include "selectline/selectline_application.h"

// Every member below is called late-bound by Selectline's own name, with DISPATCH_METHOD |
// DISPATCH_PROPERTYGET and its arguments in call order. The setters of a document position are
// members of their own ("SetEingabeMenge", "SetArtikel", …, each taking the value) rather than
// properties, so no property put is needed. Texts go as BSTR, the integer arguments of getMandant
// and of a position's Save as VT_I4, quantities and unit prices as VT_R8.

namespace warenkai {
namespace {

using com::AutomationObject;

class ComTable final : public SelectlineTable {
public:
    explicit ComTable(AutomationObject table) : m_table(std::move(table)) {}

    std::int64_t Recordcount() override {
        const auto count = m_table.CallForValue("Recordcount").ToNumber();
        if (!count) {
            throw SelectlineError("Selectline hat bei \"Recordcount\" keine Zahl geliefert");
        }
        return static_cast<std::int64_t>(*count);
    }
    void First() override { m_table.Call("First"); }
    void Next() override { m_table.Call("Next"); }
    Variant GetField(const std::string& fieldName) override { return m_table.CallForValue("GetField", {fieldName}); }
    bool FindKey(const std::string& key) override { return m_table.CallForValue("FindKey", {key}).ToBool(); }
    bool FindKey2(const std::string& key1, const std::string& key2) override {
        return m_table.CallForValue("FindKey2", {key1, key2}).ToBool();
    }
    bool FindKey3(const std::string& key1, const std::string& key2, const std::string& key3) override {
        return m_table.CallForValue("FindKey3", {key1, key2, key3}).ToBool();
    }
    void Insert() override { m_table.Call("Insert"); }
    void PutField(const std::string& fieldName, const std::string& value) override {
        m_table.Call("PutField", {fieldName, value});
    }
    void Post() override { m_table.Call("Post"); }

private:
    AutomationObject m_table;
};

class ComDocumentLine final : public SelectlineDocumentLine {
public:
    explicit ComDocumentLine(AutomationObject line) : m_line(std::move(line)) {}

    void SetEingabeMenge(double quantity) override { m_line.Call("SetEingabeMenge", {quantity}); }
    void SetArtikel(const std::string& articleNumber) override { m_line.Call("SetArtikel", {articleNumber}); }
    void SetEinzelpreis(double unitPrice) override { m_line.Call("SetEinzelpreis", {unitPrice}); }
    void SetSteuerProzent(const std::string& rate) override { m_line.Call("SetSteuerProzent", {rate}); }
    void SetBezeichnung(const std::string& text) override { m_line.Call("SetBezeichnung", {text}); }
    void SetGesamtpreis(const std::string& total) override { m_line.Call("SetGesamtpreis", {total}); }
    void Save(int mode) override { m_line.Call("Save", {mode}); }

private:
    AutomationObject m_line;
};

class ComDocument final : public SelectlineDocument {
public:
    explicit ComDocument(AutomationObject document) : m_document(std::move(document)) {}

    void SetAdresse(const std::string& customerNumber) override { m_document.Call("SetAdresse", {customerNumber}); }
    void PutField(const std::string& fieldName, const std::string& value) override {
        m_document.Call("PutField", {fieldName, value});
    }
    std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string& kind) override {
        return std::make_unique<ComDocumentLine>(m_document.CallForObject("CreatePos", {kind}));
    }
    void Save() override { m_document.Call("Save"); }

private:
    AutomationObject m_document;
};

class ComApplication final : public SelectlineApplication {
public:
    explicit ComApplication(AutomationObject application) : m_application(std::move(application)) {}

    bool ApplicationReady() override { return m_application.CallForValue("ApplicationReady").ToBool(); }
    void login(const std::string& user, const std::string& password) override {
        m_application.Call("login", {user, password});
    }
    void getMandant(const std::string& mandant, int mode) override {
        m_application.Call("getMandant", {mandant, mode});
    }
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        return std::make_unique<ComTable>(m_application.CallForObject("CreateTable", {code}));
    }
    Variant Listenpreis(const std::string& articleNumber) override {
        return m_application.CallForValue("Listenpreis", {articleNumber});
    }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) override {
        return std::make_unique<ComDocument>(m_application.CallForObject("NeuerBelegAuto", {kind, text}));
    }

private:
    AutomationObject m_application;
};

bool MeansNotInstalled(HRESULT result) {
    return result == CO_E_CLASSSTRING || result == REGDB_E_CLASSNOTREG || result == REGDB_E_KEYMISSING;
}

[[noreturn]] void ThrowNotInstalled() {
    throw SelectlineError(
        "Selectline ist nicht installiert: der Automatisierungsserver \"XFakt.App\" ist nicht registriert");
}

std::unique_ptr<SelectlineApplication> CreateApplication() {
    auto apartment = com::Apartment::Enter();
    CLSID classId{};
    if (const HRESULT found = CLSIDFromProgID(kSelectlineProgId, &classId); FAILED(found)) {
        if (MeansNotInstalled(found)) {
            ThrowNotInstalled();
        }
        throw SelectlineError("Der Automatisierungsserver \"XFakt.App\" lässt sich nicht finden: " +
                              com::HResultText(found));
    }
    com::DispatchPtr dispatch;
    const HRESULT created = CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                             IID_IDispatch, dispatch.Receive());
    if (FAILED(created)) {
        if (MeansNotInstalled(created)) {
            ThrowNotInstalled();
        }
        throw SelectlineError("Selectline lässt sich nicht starten: der Automatisierungsserver \"XFakt.App\" meldet " +
                              com::HResultText(created));
    }
    return std::make_unique<ComApplication>(AutomationObject(std::move(apartment), std::move(dispatch)));
}

}  // namespace

SelectlineFactory MakeComSelectline() {
    return CreateApplication;
}

}  // namespace warenkai
