#include "tests/selectline/com/fake_xfakt_server.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "selectline/com/com_variant.h"

// COM interfaces have no virtual destructor: their objects delete themselves in Release, never through
// an interface pointer.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace warenkai::test {
namespace {

BSTR NewBstr(const std::string& text) {
    const std::wstring wide = com::WideFromUtf8(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The text of a BSTR argument; a server error for anything else.
std::string Text(const VARIANT* argument) {
    if (V_VT(argument) != VT_BSTR) {
        throw std::runtime_error("Text erwartet");
    }
    return com::Utf8FromWide({V_BSTR(argument), SysStringLen(V_BSTR(argument))});
}

// A call's argument as FakeXFakt::calls shows it.
std::string Describe(const VARIANT* argument) {
    char number[32];
    std::snprintf(number, sizeof number, "r8 %g", V_R8(argument));
    return V_VT(argument) == VT_BSTR ? '"' + Text(argument) + '"'
           : V_VT(argument) == VT_I4 ? "i4 " + std::to_string(V_I4(argument))
           : V_VT(argument) == VT_R8 ? number
                                     : "vt " + std::to_string(V_VT(argument));
}

// A value as the VARIANT of its kind: VT_EMPTY, VT_BSTR, VT_I8, VT_R8, VT_DATE or VT_BOOL.
void SetValue(VARIANT& result, const Variant& value) {
    constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_BSTR, VT_I8, VT_R8, VT_DATE, VT_BOOL};
    V_VT(&result) = kTypes[value.value().index()];
    if (const auto* text = std::get_if<std::string>(&value.value())) {
        V_BSTR(&result) = NewBstr(*text);
    } else if (const auto* whole = std::get_if<std::int64_t>(&value.value())) {
        V_I8(&result) = *whole;
    } else if (V_VT(&result) == VT_BOOL) {
        V_BOOL(&result) = value.ToBool() ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        (V_VT(&result) == VT_DATE ? V_DATE(&result) : V_R8(&result)) = value.ToNumber().value_or(0.0);  // day number
    }
}

// The description that FillInDescription hands over (the tests run one call at a time).
std::string g_deferredDescription;

HRESULT STDMETHODCALLTYPE FillInDescription(EXCEPINFO* info) {
    info->bstrDescription = NewBstr(g_deferredDescription);
    return S_OK;
}

// One object of the fake: its class factory, the application "App", a table (named by its code),
// a document "Beleg" or a position "Pos".
class FakeObject final : public IDispatch, public IClassFactory {
public:
    FakeObject(std::shared_ptr<FakeXFakt> fake, std::string objectName, FakeTable* data = nullptr)
        : server(std::move(fake)), name(std::move(objectName)), table(data) {
        server->liveObjects += name.empty() ? 0 : 1;
    }
    ~FakeObject() {
        if (!name.empty() && --server->liveObjects == 0 && server->lastObjectReleased) {
            server->lastObjectReleased();
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IClassFactory && name.empty()    ? static_cast<void*>(static_cast<IClassFactory*>(this))
                  : id == IID_IUnknown || id == IID_IDispatch ? static_cast<void*>(static_cast<IDispatch*>(this))
                                                              : nullptr;
        return *object == nullptr ? E_NOINTERFACE : (AddRef(), S_OK);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID id, void** object) override {
        auto* application = new FakeObject(server, "App");
        const HRESULT result = application->QueryInterface(id, object);
        application->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override;

private:
    using Arguments = std::vector<const VARIANT*>;  // in call order
    void Answer(const std::string& member, const Arguments& arguments, VARIANT& result);
    std::map<std::string, Variant>& Record() { return table->records.at(current); }  // none: a server error

    std::shared_ptr<FakeXFakt> server;
    std::string name;  // empty for the class factory
    FakeTable* table;
    std::size_t current = 0;
    ULONG references = 1;
};

// The members of Selectline's objects; a DISPID is a place in this list.
const std::string kMembers[] = {"ApplicationReady", "login", "getMandant", "CreateTable", "Listenpreis",
                                "NeuerBelegAuto", "Recordcount", "First", "Next", "GetField", "FindKey", "FindKey2",
                                "FindKey3", "Insert", "PutField", "Post", "SetAdresse", "Save", "CreatePos",
                                "SetEingabeMenge", "SetArtikel", "SetEinzelpreis", "SetSteuerProzent",
                                "SetBezeichnung", "SetGesamtpreis"};

// What a member answers; an exception is a server error. Members of the application, the document and
// the position that hand out nothing only take their call.
void FakeObject::Answer(const std::string& member, const Arguments& arguments, VARIANT& result) {
    const auto hand = [&result](FakeObject* object) {
        V_VT(&result) = VT_DISPATCH;
        V_DISPATCH(&result) = static_cast<IDispatch*>(object);
    };
    const std::string text = !arguments.empty() && V_VT(arguments[0]) == VT_BSTR ? Text(arguments[0]) : "";
    if (member == "ApplicationReady") {
        return SetValue(result, true);
    } else if (member == "CreateTable" && server->tables.count(text) != 0) {
        return hand(new FakeObject(server, text, &server->tables.at(text)));
    } else if (member == "NeuerBelegAuto" || member == "CreatePos") {
        return hand(new FakeObject(server, member == "CreatePos" ? "Pos" : "Beleg"));
    } else if (member == "Listenpreis" && server->listPrices.count(text) != 0) {
        V_VT(&result) = VT_CY;
        V_CY(&result).int64 = server->listPrices.at(text);
    }
    if (table == nullptr) {
        return;
    } else if (member == "Recordcount") {
        SetValue(result, static_cast<std::int64_t>(table->records.size()));
    } else if (member == "First" || member == "Next") {
        current = member == "First" ? 0 : current + 1;
    } else if (member == "GetField" && Record().count(text) != 0) {
        SetValue(result, Record().at(text));
    } else if (member == "GetField") {
        // A field that the current record lacks is VT_EMPTY when another record has it, else an error.
        const auto hasField = [&](const auto& record) { return record.count(text) != 0; };
        if (std::none_of(table->records.begin(), table->records.end(), hasField)) {
            throw std::runtime_error("Feld unbekannt");
        }
    } else if (member.starts_with("FindKey")) {
        // The first record whose first keys have the texts of the arguments.
        const auto found = std::find_if(table->records.begin(), table->records.end(), [&](const auto& record) {
            for (std::size_t k = 0; k < arguments.size(); ++k) {
                const auto field = record.find(table->keys.at(k));
                if (field == record.end() || field->second.ToText() != Text(arguments[k])) {
                    return false;
                }
            }
            return true;
        });
        current = found == table->records.end() ? current : static_cast<std::size_t>(found - table->records.begin());
        SetValue(result, found != table->records.end());
    } else if (member == "Insert") {
        table->records.emplace_back();
        current = table->records.size() - 1;
    } else if (member == "PutField") {
        Record()[text] = Variant(Text(arguments.at(1)));
    } else if (member == "Post") {
        V_VT(&result) = VT_ERROR;  // an answer that is no value; no caller looks at it
        V_ERROR(&result) = DISP_E_PARAMNOTFOUND;
    }
}

HRESULT FakeObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) {
    for (std::size_t i = 0; i < std::size(kMembers); ++i) {
        if (lstrcmpiW(std::wstring(kMembers[i].begin(), kMembers[i].end()).c_str(), names[0]) == 0) {
            *ids = static_cast<DISPID>(i);
            const auto failure = server->failures.find(name + "." + kMembers[i]);
            return failure == server->failures.end() || failure->second.result != DISP_E_UNKNOWNNAME ? S_OK
                                                                                                   : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT FakeObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO* exception, UINT*) {
    Arguments arguments;
    for (UINT i = parameters->cArgs; i-- > 0;) {
        arguments.push_back(&parameters->rgvarg[i]);
    }
    const std::string key = name + "." + kMembers[id];
    if (server->recordCalls || server->onCall) {
        std::string call = key + "(";
        for (const VARIANT* argument : arguments) {
            call += (call.back() == '(' ? "" : ", ") + Describe(argument);
        }
        call += ")";
        if (server->recordCalls) {
            server->calls.push_back(call);
        }
        if (server->onCall) {
            server->onCall(call);
        }
    }
    const auto found = server->failures.find(key);
    FakeFailure failure = found != server->failures.end() ? found->second : FakeFailure{S_OK, "", false};
    VariantInit(result);
    try {
        if (failure.result == S_OK) {
            Answer(kMembers[id], arguments, *result);
        }
    } catch (const std::exception& error) {
        failure = {DISP_E_EXCEPTION, error.what(), false};
    }
    if (failure.result == DISP_E_EXCEPTION) {
        *exception = EXCEPINFO{};
        exception->scode = DISP_E_EXCEPTION;
        g_deferredDescription = failure.description;
        exception->pfnDeferredFillIn = failure.deferred ? FillInDescription : nullptr;
        exception->bstrDescription = failure.deferred ? nullptr : NewBstr(failure.description);
    }
    return failure.result;
}

std::wstring ClassIdText() {
    wchar_t text[40];
    StringFromGUID2(kFakeXFaktClassId, text, 40);
    return text;
}

void WriteDefaultValue(const std::wstring& path, const std::wstring& value) {
    if (RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("HKEY_CLASSES_ROOT is not writable");
    }
}

}  // namespace

IClassFactory* NewFakeXFaktFactory(std::shared_ptr<FakeXFakt> server) {
    return new FakeObject(std::move(server), "");
}

FakeXFaktRegistryEntries::FakeXFaktRegistryEntries(const std::wstring& localServer) {
    WriteDefaultValue(L"XFakt.App\\CLSID", ClassIdText());
    if (!localServer.empty()) {
        WriteDefaultValue(L"CLSID\\" + ClassIdText() + L"\\LocalServer32", localServer);
    }
}

FakeXFaktRegistryEntries::~FakeXFaktRegistryEntries() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"XFakt.App");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + ClassIdText()).c_str());
}

FakeXFaktRegistration::FakeXFaktRegistration(std::shared_ptr<FakeXFakt> server) {
    IClassFactory* factory = NewFakeXFaktFactory(std::move(server));
    const HRESULT result =
        CoRegisterClassObject(kFakeXFaktClassId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    factory->Release();
    if (FAILED(result)) {
        throw std::runtime_error("CoRegisterClassObject failed");
    }
}

FakeXFaktRegistration::~FakeXFaktRegistration() {
    CoRevokeClassObject(m_cookie);
}

}  // namespace warenkai::test
