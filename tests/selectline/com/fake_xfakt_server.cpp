#include "tests/selectline/com/fake_xfakt_server.h"

#include <cstdio>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

// COM interfaces have no virtual destructor: their objects delete themselves in Release, never through
// an interface pointer.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace warenkai::test {
namespace {

std::string Narrow(const wchar_t* text, UINT length) {
    std::string narrow(static_cast<std::size_t>(length) * 3, '\0');
    narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, text, static_cast<int>(length), narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr)));
    return narrow;
}

BSTR NewBstr(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Describe(const VARIANT& argument) {
    char number[64];
    switch (V_VT(&argument)) {
        case VT_BSTR:
            return '"' + Narrow(V_BSTR(&argument), SysStringLen(V_BSTR(&argument))) + '"';
        case VT_I4:
            return "i4 " + std::to_string(V_I4(&argument));
        case VT_R8:
            std::snprintf(number, sizeof number, "r8 %g", V_R8(&argument));
            return number;
        default:
            return "vt " + std::to_string(V_VT(&argument));
    }
}

// The text of a BSTR argument; a server error for anything else.
std::string Text(const VARIANT* argument) {
    if (V_VT(argument) != VT_BSTR) {
        throw std::runtime_error("Text erwartet");
    }
    return Narrow(V_BSTR(argument), SysStringLen(V_BSTR(argument)));
}

// The description that FillInDescription hands over (the tests run one call at a time).
std::string g_deferredDescription;

HRESULT STDMETHODCALLTYPE FillInDescription(EXCEPINFO* info) {
    info->bstrDescription = NewBstr(g_deferredDescription);
    return S_OK;
}

// An automation object offering members by name (any case), each answering with a VARIANT.
class FakeObject final : public IDispatch {
public:
    using Arguments = std::vector<const VARIANT*>;  // in call order
    using Member = std::function<void(const Arguments&, VARIANT& result)>;

    FakeObject(std::shared_ptr<FakeXFakt> server, std::string name)
        : m_server(std::move(server)), m_name(std::move(name)) {
        ++m_server->liveObjects;
    }
    ~FakeObject() {
        if (--m_server->liveObjects == 0 && m_server->lastObjectReleased) {
            m_server->lastObjectReleased();
        }
    }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    FakeObject& Offer(
        std::string member, Member handler = [](const Arguments&, VARIANT&) {}) {
        m_members.emplace_back(std::move(member), std::move(handler));
        return *this;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id != IID_IUnknown && id != IID_IDispatch) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) {
            return E_INVALIDARG;
        }
        *ids = DISPID_UNKNOWN;
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            const std::wstring wide(m_members[i].first.begin(), m_members[i].first.end());
            if (lstrcmpiW(wide.c_str(), names[0]) == 0) {
                const std::string key = m_name + "." + m_members[i].first;
                if (m_server->recordCalls) {
                    m_server->nameLookups.push_back(key);
                }
                if (const auto failure = m_server->failures.find(key);
                    failure != m_server->failures.end() && failure->second.result == DISP_E_UNKNOWNNAME) {
                    return DISP_E_UNKNOWNNAME;
                }
                *ids = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (id < 1 || static_cast<std::size_t>(id) > m_members.size() || (flags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (parameters->cNamedArgs != 0) {
            return DISP_E_NONAMEDARGS;
        }
        const auto& [member, handler] = m_members[static_cast<std::size_t>(id - 1)];
        Arguments arguments;
        for (UINT i = parameters->cArgs; i-- > 0;) {
            arguments.push_back(&parameters->rgvarg[i]);
        }
        if (m_server->recordCalls || m_server->onCall) {
            std::string call = m_name + "." + member + "(";
            for (std::size_t i = 0; i < arguments.size(); ++i) {
                call += (i > 0 ? ", " : "") + Describe(*arguments[i]);
            }
            call += ")";
            if (m_server->recordCalls) {
                m_server->calls.push_back(call);
            }
            if (m_server->onCall) {
                m_server->onCall(call);
            }
        }
        if (const auto failure = m_server->failures.find(m_name + "." + member); failure != m_server->failures.end()) {
            return Fail(failure->second, exception);
        }
        VARIANT answer;
        VariantInit(&answer);
        try {
            handler(arguments, answer);
        } catch (const std::exception& error) {
            VariantClear(&answer);
            return Fail({DISP_E_EXCEPTION, error.what(), false}, exception);
        }
        if (result != nullptr) {
            *result = answer;
        } else {
            VariantClear(&answer);
        }
        return S_OK;
    }

private:
    static HRESULT Fail(const FakeFailure& failure, EXCEPINFO* exception) {
        if (failure.result == DISP_E_EXCEPTION && exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->scode = DISP_E_EXCEPTION;
            if (failure.deferred) {
                g_deferredDescription = failure.description;
                exception->pfnDeferredFillIn = FillInDescription;
            } else {
                exception->bstrDescription = NewBstr(failure.description);
            }
        }
        return failure.result;
    }

    std::shared_ptr<FakeXFakt> m_server;
    std::string m_name;
    std::vector<std::pair<std::string, Member>> m_members;
    ULONG m_references = 1;
};

void SetObject(VARIANT& result, FakeObject* object) {
    V_VT(&result) = VT_DISPATCH;
    V_DISPATCH(&result) = object;
}

void SetBool(VARIANT& result, bool truth) {
    V_VT(&result) = VT_BOOL;
    V_BOOL(&result) = truth ? VARIANT_TRUE : VARIANT_FALSE;
}

// The VARIANT of `value`'s kind.
void SetValue(VARIANT& result, const Variant& value) {
    std::visit(
        [&result](const auto& held) {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::string>) {
                V_VT(&result) = VT_BSTR;
                V_BSTR(&result) = NewBstr(held);
            } else if constexpr (std::is_same_v<Held, std::int64_t>) {
                if (held >= std::numeric_limits<LONG>::min() && held <= std::numeric_limits<LONG>::max()) {
                    V_VT(&result) = VT_I4;
                    V_I4(&result) = static_cast<LONG>(held);
                } else {
                    V_VT(&result) = VT_I8;
                    V_I8(&result) = held;
                }
            } else if constexpr (std::is_same_v<Held, double>) {
                V_VT(&result) = VT_R8;
                V_R8(&result) = held;
            } else if constexpr (std::is_same_v<Held, Date>) {
                SYSTEMTIME time{};
                time.wYear = static_cast<WORD>(held.year);
                time.wMonth = static_cast<WORD>(held.month);
                time.wDay = static_cast<WORD>(held.day);
                V_VT(&result) = VT_DATE;
                if (!SystemTimeToVariantTime(&time, &V_DATE(&result))) {
                    throw std::runtime_error("Datum ungültig");
                }
            } else if constexpr (std::is_same_v<Held, bool>) {
                SetBool(result, held);
            }
        },
        value.value());
}

FakeObject* NewTable(const std::shared_ptr<FakeXFakt>& server, const std::string& code) {
    FakeTable& data = server->tables.at(code);
    auto current = std::make_shared<std::size_t>(0);
    auto record = [&data, current]() -> std::map<std::string, Variant>& {
        if (*current >= data.records.size()) {
            throw std::runtime_error("Kein aktueller Datensatz");
        }
        return data.records[*current];
    };
    auto findKey = [&data, current](const FakeObject::Arguments& parts, VARIANT& result) {
        for (std::size_t i = 0; i < data.records.size(); ++i) {
            bool matches = true;
            for (std::size_t k = 0; k < parts.size(); ++k) {
                const auto field = data.records[i].find(data.keys.at(k));
                matches = matches && field != data.records[i].end() && field->second.ToText() == Text(parts[k]);
            }
            if (matches) {
                *current = i;
                return SetBool(result, true);
            }
        }
        SetBool(result, false);
    };
    auto* table = new FakeObject(server, code);
    table
        ->Offer("Recordcount",
                [&data](const FakeObject::Arguments&, VARIANT& result) {
                    V_VT(&result) = VT_I4;
                    V_I4(&result) = static_cast<LONG>(data.records.size());
                })
        .Offer("First", [current](const FakeObject::Arguments&, VARIANT&) { *current = 0; })
        .Offer("Next", [current](const FakeObject::Arguments&, VARIANT&) { ++*current; })
        .Offer("GetField",
               [&data, record](const FakeObject::Arguments& arguments, VARIANT& result) {
                   const std::string name = Text(arguments.at(0));
                   const auto field = record().find(name);
                   if (field != record().end()) {
                       return SetValue(result, field->second);
                   }
                   for (const auto& other : data.records) {
                       if (other.count(name) != 0) {
                           return;  // VT_EMPTY
                       }
                   }
                   throw std::runtime_error("Feld unbekannt");
               })
        .Offer("FindKey", findKey)
        .Offer("FindKey2", findKey)
        .Offer("FindKey3", findKey)
        .Offer("Insert",
               [&data, current](const FakeObject::Arguments&, VARIANT&) {
                   data.records.emplace_back();
                   *current = data.records.size() - 1;
               })
        .Offer("PutField", [record](const FakeObject::Arguments& arguments,
                                    VARIANT&) { record()[Text(arguments.at(0))] = Variant(Text(arguments.at(1))); })
        .Offer("Post", [](const FakeObject::Arguments&, VARIANT& result) {
            // An answer that is no value; no caller looks at it.
            V_VT(&result) = VT_ERROR;
            V_ERROR(&result) = DISP_E_PARAMNOTFOUND;
        });
    return table;
}

FakeObject* NewApplication(const std::shared_ptr<FakeXFakt>& server) {
    auto* application = new FakeObject(server, "App");
    application->Offer("ApplicationReady", [](const FakeObject::Arguments&, VARIANT& result) { SetBool(result, true); })
        .Offer("login")
        .Offer("getMandant")
        .Offer("CreateTable",
               [server](const FakeObject::Arguments& arguments, VARIANT& result) {
                   const std::string code = Text(arguments.at(0));
                   if (server->tables.count(code) != 0) {
                       SetObject(result, NewTable(server, code));
                   }
               })
        .Offer("Listenpreis",
               [server](const FakeObject::Arguments& arguments, VARIANT& result) {
                   const auto price = server->listPrices.find(Text(arguments.at(0)));
                   if (price != server->listPrices.end()) {
                       V_VT(&result) = VT_CY;
                       V_CY(&result).int64 = price->second;
                   }
               })
        .Offer("NeuerBelegAuto", [server](const FakeObject::Arguments&, VARIANT& result) {
            auto* document = new FakeObject(server, "Beleg");
            document->Offer("SetAdresse")
                .Offer("PutField")
                .Offer("Save")
                .Offer("CreatePos", [server](const FakeObject::Arguments&, VARIANT& line) {
                    auto* position = new FakeObject(server, "Pos");
                    for (const char* member : {"SetEingabeMenge", "SetArtikel", "SetEinzelpreis", "SetSteuerProzent",
                                               "SetBezeichnung", "SetGesamtpreis", "Save"}) {
                        position->Offer(member);
                    }
                    SetObject(line, position);
                });
            SetObject(result, document);
        });
    return application;
}

class FakeClassFactory final : public IClassFactory {
public:
    explicit FakeClassFactory(std::shared_ptr<FakeXFakt> server) : m_server(std::move(server)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id != IID_IUnknown && id != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        FakeObject* application = NewApplication(m_server);
        const HRESULT result = application->QueryInterface(id, object);
        application->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<FakeXFakt> m_server;
    ULONG m_references = 1;
};

std::wstring ClassIdText() {
    wchar_t text[40];
    StringFromGUID2(kFakeXFaktClassId, text, 40);
    return text;
}

void WriteDefaultValue(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("HKEY_CLASSES_ROOT is not writable");
    }
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace

IClassFactory* NewFakeXFaktFactory(std::shared_ptr<FakeXFakt> server) {
    return new FakeClassFactory(std::move(server));
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
