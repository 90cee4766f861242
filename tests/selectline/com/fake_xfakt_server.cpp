#include "tests/selectline/com/fake_xfakt_server.h"

#include <utility>
#include <vector>

#include "selectline/com/com_variant.h"

// COM interfaces have no virtual destructor: their objects delete themselves in Release, never through
// an interface pointer.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace warenkai::test {
namespace {

BSTR NewBstr(const std::string& text) {
    return SysAllocString(com::WideFromUtf8(text).c_str());
}

// The description that FillInDescription hands over (the tests make one call at a time).
std::string g_deferredDescription;

HRESULT STDMETHODCALLTYPE FillInDescription(EXCEPINFO* info) {
    info->bstrDescription = NewBstr(g_deferredDescription);
    return S_OK;
}

// The members that give an object, and its name ("" the table code of the first argument).
const std::map<std::string, std::string> kObjectMembers = {
    {"CreateTable", ""}, {"NeuerBelegAuto", "Beleg"}, {"CreatePos", "Pos"}};

// One object of the fake: its class factory (no name), the application "App", a table, a document
// "Beleg" or a position "Pos". A DISPID is the place of the member's name in the names the object was
// asked for.
class FakeObject final : public IDispatch, public IClassFactory {
public:
    FakeObject(std::shared_ptr<FakeXFakt> fake, std::string objectName)
        : server(std::move(fake)), name(std::move(objectName)) {
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
        std::string call = name + "." + member + "(", first;
        for (UINT i = parameters->cArgs; i-- > 0;) {  // IDispatch hands the arguments over last to first
            const VARTYPE type = V_VT(&parameters->rgvarg[i]);
            const std::string text = com::FromComVariant(parameters->rgvarg[i]).ToText();
            const std::string kind = type == VT_I4 ? "i4 " : type == VT_R8 ? "r8 " : "vt? ";
            first = i + 1 == parameters->cArgs ? text : first;
            call += (call.back() == '(' ? "" : ", ") + (type == VT_BSTR ? '"' + text + '"' : kind + text);
        }
        call += ")";
        if (server->onCall) {
            server->onCall(call);
        }
        const FakeFailure failure = Failure(member);
        VariantInit(result);
        if (failure.result == DISP_E_EXCEPTION) {
            g_deferredDescription = failure.description;
            *exception = {0,       0, nullptr, failure.deferred ? nullptr : NewBstr(failure.description),
                          nullptr, 0, nullptr, failure.deferred ? FillInDescription : nullptr,
                          DISP_E_EXCEPTION};
        } else if (failure.result == S_OK) {
            Answer(call, member, first, *result);
        }
        return failure.result;
    }

private:
    // What a call answers (see FakeXFakt), given the text of its first argument.
    void Answer(const std::string& call, const std::string& member, const std::string& first, VARIANT& result) {
        const auto made = kObjectMembers.find(member);
        const auto answer = server->answers.find(call);
        if (made != kObjectMembers.end() && (!made->second.empty() || server->tables.count(first) != 0)) {
            V_VT(&result) = VT_DISPATCH;
            V_DISPATCH(&result) = new FakeObject(server, made->second.empty() ? first : made->second);
        } else if (answer == server->answers.end()) {
            V_VT(&result) = VT_ERROR;  // as a member that hands out nothing: no caller looks at it
            V_ERROR(&result) = DISP_E_PARAMNOTFOUND;
        } else {
            V_VT(&result) = VT_BSTR;
            V_BSTR(&result) = NewBstr(answer->second.substr(2));
            const char kind = answer->second[0];
            VariantChangeTypeEx(&result, &result, 0x0409, 0, kind == 'b' ? VT_BOOL : kind == 'r' ? VT_R8 : VT_BSTR);
        }
    }
    FakeFailure Failure(const std::string& member) const {
        const auto found = server->failures.find(name + "." + member);
        return found != server->failures.end() ? found->second : FakeFailure{S_OK, "", false};
    }

    std::shared_ptr<FakeXFakt> server;
    std::string name;
    std::vector<std::string> members;
    ULONG references = 1;
};

const std::wstring kClassId = L"{6C1F3A52-8E0B-4D47-9B0E-2F5A7C3D9E41}";  // kFakeXFaktClassId

}  // namespace

// A failing registration shows as the server "XFakt.App" missing.
FakeXFaktRegistration::FakeXFaktRegistration(std::shared_ptr<FakeXFakt> server, const std::wstring& localServer) {
    for (const auto& [key, value] : {std::pair<std::wstring, std::wstring>{L"XFakt.App\\CLSID", kClassId},
                                     {L"CLSID\\" + kClassId + L"\\LocalServer32", localServer}}) {
        if (!value.empty()) {
            RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
    }
    if (server) {
        IClassFactory* factory = new FakeObject(std::move(server), "");
        CoRegisterClassObject(kFakeXFaktClassId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
        factory->Release();
    }
}

FakeXFaktRegistration::~FakeXFaktRegistration() {
    CoRevokeClassObject(m_cookie);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"XFakt.App");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + kClassId).c_str());
}

int ServeFakeXFakt(std::shared_ptr<FakeXFakt> server) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    server->lastObjectReleased = [] { PostQuitMessage(0); };
    const FakeXFaktRegistration registration(std::move(server));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace warenkai::test
