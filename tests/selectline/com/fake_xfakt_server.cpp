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

// A value as VT_EMPTY, VT_BSTR, VT_BOOL or (every number) VT_R8.
void SetValue(VARIANT& result, const Variant& value) {
    const auto* text = std::get_if<std::string>(&value.value());
    V_VT(&result) = value.IsEmpty() ? VT_EMPTY
                    : text          ? VT_BSTR
                                    : (std::holds_alternative<bool>(value.value()) ? VT_BOOL : VT_R8);
    if (text != nullptr) {
        V_BSTR(&result) = NewBstr(*text);
    } else if (V_VT(&result) == VT_BOOL) {
        V_BOOL(&result) = static_cast<VARIANT_BOOL>(*value.ToNumber());  // Wahr is -1, VARIANT_TRUE
    } else {
        V_R8(&result) = value.ToNumber().value_or(0.0);
    }
}

// The description that FillInDescription hands over (the tests make one call at a time).
std::string g_deferredDescription;

HRESULT STDMETHODCALLTYPE FillInDescription(EXCEPINFO* info) {
    info->bstrDescription = NewBstr(g_deferredDescription);
    return S_OK;
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
        IDispatch* application = new FakeObject(server, "App");
        const HRESULT result = application->QueryInterface(id, object);
        return application->Release(), result;
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
                const VARTYPE type = V_VT(&parameters->rgvarg[i]);
                const std::string text = com::FromComVariant(parameters->rgvarg[i]).ToText();
                const std::string kind = type == VT_I4 ? "i4 " : type == VT_R8 ? "r8 " : "vt? ";
                call += (call.back() == '(' ? "" : ", ") + (type == VT_BSTR ? '"' + text + '"' : kind + text);
            }
            server->calls.push_back(call + ")");
            if (server->onCall) {
                server->onCall(server->calls.back());
            }
        }
        const FakeFailure failure = Failure(member);
        VariantInit(result);
        if (failure.result == DISP_E_EXCEPTION) {
            g_deferredDescription = failure.description;
            *exception = {0,       0, nullptr, failure.deferred ? nullptr : NewBstr(failure.description),
                          nullptr, 0, nullptr, failure.deferred ? FillInDescription : nullptr,
                          DISP_E_EXCEPTION};
        } else if (failure.result == S_OK) {
            const UINT count = parameters->cArgs;
            Answer(member, count == 0 ? "" : com::FromComVariant(parameters->rgvarg[count - 1]).ToText(), *result);
        }
        return failure.result;
    }

private:
    FakeFailure Failure(const std::string& member) const {
        const auto found = server->failures.find(name + "." + member);
        return found != server->failures.end() ? found->second : FakeFailure{S_OK, "", false};
    }
    // What a member answers (see FakeXFakt), given the text of its first argument.
    void Answer(const std::string& member, const std::string& text, VARIANT& result) {
        const auto find = [&text](const FakeTable& in) -> const std::map<std::string, Variant>* {
            for (const auto& record : in.records) {
                if (record.at(in.keys.at(0)).ToText() == text) {
                    return &record;
                }
            }
            return nullptr;
        };
        V_VT(&result) = VT_ERROR;
        V_ERROR(&result) = DISP_E_PARAMNOTFOUND;
        if (member == "ApplicationReady" || member.starts_with("FindKey")) {
            SetValue(result, member == "ApplicationReady" || find(*table) != nullptr);
        } else if (member == "CreateTable" && server->tables.count(text) != 0) {
            V_VT(&result) = VT_DISPATCH;
            V_DISPATCH(&result) = new FakeObject(server, text, &server->tables.at(text));
        } else if (member == "NeuerBelegAuto" || member == "CreatePos") {
            V_VT(&result) = VT_DISPATCH;
            V_DISPATCH(&result) = new FakeObject(server, member == "CreatePos" ? "Pos" : "Beleg");
        } else if (member == "Listenpreis") {
            const auto* article = find(server->tables.at("AR"));
            SetValue(result, article != nullptr ? article->at("Listenpreis") : Variant());
        } else if (member == "Recordcount") {
            SetValue(result, static_cast<double>(table->records.size()));
        } else if (member == "GetField") {
            SetValue(result, table->records.at(current).at(text));
        } else if (member == "First" || member == "Next") {
            current = member == "First" ? 0 : current + 1;
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
