#include "tests/selectline/com/fake_xfakt_server.h"

#include <stdexcept>
#include <utility>

#include "selectline/com/com_variant.h"

// COM interfaces have no virtual destructor: their objects delete themselves in Release, never through
// an interface pointer.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace warenkai::test {
namespace {

BSTR NewBstr(const std::string& text) {
    return SysAllocString(com::WideFromUtf8(text).c_str());
}

// An argument as FakeXFakt::calls shows it.
std::string Describe(const VARIANT& argument) {
    const std::string text = com::FromComVariant(argument).ToText();
    const VARTYPE type = V_VT(&argument);
    return type == VT_BSTR ? '"' + text + '"' : (type == VT_I4 ? "i4 " : type == VT_R8 ? "r8 " : "vt? ") + text;
}

// A value as the VARIANT of its kind.
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

// The description that FillInDescription hands over (the tests make one call at a time).
std::string g_deferredDescription;

HRESULT STDMETHODCALLTYPE FillInDescription(EXCEPINFO* info) {
    info->bstrDescription = NewBstr(g_deferredDescription);
    return S_OK;
}

// The first record of `table` whose first key has the text `key`, or nullptr.
const std::map<std::string, Variant>* Find(const FakeTable& table, const std::string& key) {
    for (const auto& record : table.records) {
        if (record.at(table.keys.at(0)).ToText() == key) {
            return &record;
        }
    }
    return nullptr;
}

// One object of the fake: its class factory (no name), the application "App", a table (named by its
// code), a document "Beleg" or a position "Pos". A DISPID is the place of the member's name in the
// names the object was asked for.
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
    ULONG STDMETHODCALLTYPE Release() override { return --references == 0 ? (delete this, 0) : references; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID id, void** object) override {
        auto* application = new FakeObject(server, "App");
        const HRESULT result = application->QueryInterface(id, object);
        application->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        members.push_back(com::Utf8FromWide(names[0]));
        *id = static_cast<DISPID>(members.size() - 1);
        return Failure(members.back()).result == DISP_E_UNKNOWNNAME ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        const std::string& member = members.at(id);
        if (server->recordCalls) {
            std::string call = name + "." + member + "(";
            for (UINT i = parameters->cArgs; i-- > 0;) {  // IDispatch hands the arguments over last to first
                call += (call.back() == '(' ? "" : ", ") + Describe(parameters->rgvarg[i]);
            }
            server->calls.push_back(call + ")");
            if (server->onCall) {
                server->onCall(server->calls.back());
            }
        }
        FakeFailure failure = Failure(member);
        VariantInit(result);
        try {
            if (failure.result == S_OK) {
                const UINT count = parameters->cArgs;
                Answer(member, count == 0 ? "" : com::FromComVariant(parameters->rgvarg[count - 1]).ToText(), *result);
            }
        } catch (const std::exception& error) {
            failure = {DISP_E_EXCEPTION, error.what(), false};
        }
        if (failure.result == DISP_E_EXCEPTION) {
            g_deferredDescription = failure.description;
            *exception = {0,       0, nullptr, failure.deferred ? nullptr : NewBstr(failure.description),
                          nullptr, 0, nullptr, failure.deferred ? FillInDescription : nullptr,
                          DISP_E_EXCEPTION};
        }
        return failure.result;
    }

private:
    FakeFailure Failure(const std::string& member) const {
        const auto found = server->failures.find(name + "." + member);
        return found != server->failures.end() ? found->second : FakeFailure{S_OK, "", false};
    }
    // What a member answers (see FakeXFakt); an exception is a server error.
    void Answer(const std::string& member, const std::string& text, VARIANT& result) {
        V_VT(&result) = VT_ERROR;
        V_ERROR(&result) = DISP_E_PARAMNOTFOUND;
        if (member == "ApplicationReady") {
            SetValue(result, true);
        } else if (member == "CreateTable" && server->tables.count(text) != 0) {
            V_VT(&result) = VT_DISPATCH;
            V_DISPATCH(&result) = new FakeObject(server, text, &server->tables.at(text));
        } else if (member == "NeuerBelegAuto" || member == "CreatePos") {
            V_VT(&result) = VT_DISPATCH;
            V_DISPATCH(&result) = new FakeObject(server, member == "CreatePos" ? "Pos" : "Beleg");
        } else if (member == "Listenpreis") {
            const auto* article = Find(server->tables.at("AR"), text);
            SetValue(result, article != nullptr ? article->at("Listenpreis") : Variant());
        } else if (member == "Recordcount") {
            SetValue(result, static_cast<std::int64_t>(table->records.size()));
        } else if (member == "First" || member == "Next") {
            current = member == "First" ? 0 : current + 1;
        } else if (member == "GetField") {
            SetValue(result, table->records.at(current).at(text));
        } else if (member.starts_with("FindKey")) {
            SetValue(result, Find(*table, text) != nullptr);
        }
    }

    std::shared_ptr<FakeXFakt> server;
    std::string name;
    FakeTable* table;
    std::vector<std::string> members;
    std::size_t current = 0;
    ULONG references = 1;
};

const std::wstring kClassId = L"{6C1F3A52-8E0B-4D47-9B0E-2F5A7C3D9E41}";  // kFakeXFaktClassId

}  // namespace

IClassFactory* NewFakeXFaktFactory(std::shared_ptr<FakeXFakt> server) {
    return new FakeObject(std::move(server), "");
}

FakeXFaktRegistryEntries::FakeXFaktRegistryEntries(const std::wstring& localServer) {
    for (const auto& [key, value] : {std::pair<std::wstring, std::wstring>{L"XFakt.App\\CLSID", kClassId},
                                     {L"CLSID\\" + kClassId + L"\\LocalServer32", localServer}}) {
        if (!value.empty() && RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != 0) {
            throw std::runtime_error("HKEY_CLASSES_ROOT is not writable");
        }
    }
}

FakeXFaktRegistryEntries::~FakeXFaktRegistryEntries() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"XFakt.App");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + kClassId).c_str());
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
