#include "selectline/com/com_dispatch.h"

#include <cstdio>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "selectline/com/com_variant.h"
#include "selectline/selectline_error.h"

namespace warenkai::com {
namespace {

// The EXCEPINFO of one call; its texts are freed with it.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept : m_info{} {}
    ~ExceptionInfo() {
        SysFreeString(m_info.bstrSource);
        SysFreeString(m_info.bstrDescription);
        SysFreeString(m_info.bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    EXCEPINFO* get() noexcept { return &m_info; }

    // The server's description of the exception; the system's text for its code when it gave none.
    std::string Text() {
        if (m_info.pfnDeferredFillIn != nullptr) {
            std::exchange(m_info.pfnDeferredFillIn, nullptr)(&m_info);
        }
        if (SysStringLen(m_info.bstrDescription) > 0) {
            return Utf8FromWide(std::wstring_view(m_info.bstrDescription, SysStringLen(m_info.bstrDescription)));
        }
        if (FAILED(m_info.scode)) {
            return HResultText(m_info.scode);
        }
        if (m_info.wCode != 0) {
            return "Selectline meldet den Fehler " + std::to_string(m_info.wCode);
        }
        return HResultText(DISP_E_EXCEPTION);
    }

private:
    EXCEPINFO m_info;
};

[[noreturn]] void ThrowCallFailure(std::string_view member, HRESULT result) {
    throw SelectlineError("Fehler beim Aufruf von \"" + std::string(member) +
                          "\" in Selectline: " + HResultText(result));
}

}  // namespace

std::string HResultText(HRESULT result) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? Utf8FromWide(std::wstring_view(buffer, length)) : "Unbekannter Fehler";
    LocalFree(buffer);
    const auto end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return text + " (" + code + ")";
}

std::shared_ptr<Apartment> Apartment::Enter() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (result == RPC_E_CHANGED_MODE) {
        // The thread is a multithreaded apartment already; COM is usable as it is and not ours to leave.
        return std::shared_ptr<Apartment>(new Apartment(false));
    }
    if (FAILED(result)) {
        throw SelectlineError("COM lässt sich nicht initialisieren: " + HResultText(result));
    }
    return std::shared_ptr<Apartment>(new Apartment(true));
}

Apartment::~Apartment() {
    if (m_initialized) {
        CoUninitialize();
    }
}

ComVariant::ComVariant(const std::string& text) {
    VariantInit(&m_value);
    const std::wstring wide = WideFromUtf8(text);
    const BSTR string = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (string == nullptr) {
        throw std::bad_alloc();
    }
    V_VT(&m_value) = VT_BSTR;
    V_BSTR(&m_value) = string;
}

ComVariant::ComVariant(int number) noexcept {
    VariantInit(&m_value);
    V_VT(&m_value) = VT_I4;
    V_I4(&m_value) = number;
}

ComVariant::ComVariant(double number) noexcept {
    VariantInit(&m_value);
    V_VT(&m_value) = VT_R8;
    V_R8(&m_value) = number;
}

AutomationObject::AutomationObject(std::shared_ptr<Apartment> apartment, DispatchPtr dispatch)
    : m_apartment(std::move(apartment)), m_dispatch(std::move(dispatch)) {}

void AutomationObject::Call(std::string_view member, std::initializer_list<ComVariant> arguments) {
    ComVariant result;
    Invoke(member, arguments, result);
}

Variant AutomationObject::CallForValue(std::string_view member, std::initializer_list<ComVariant> arguments) {
    ComVariant result;
    Invoke(member, arguments, result);
    return FromComVariant(result.get());
}

AutomationObject AutomationObject::CallForObject(std::string_view member, std::initializer_list<ComVariant> arguments) {
    ComVariant result;
    Invoke(member, arguments, result);
    const VARIANT& value = result.get();
    IUnknown* object = V_VT(&value) == VT_DISPATCH  ? V_DISPATCH(&value)
                       : V_VT(&value) == VT_UNKNOWN ? V_UNKNOWN(&value)
                                                    : nullptr;
    DispatchPtr dispatch;
    if (object == nullptr || FAILED(object->QueryInterface(IID_IDispatch, dispatch.Receive()))) {
        throw SelectlineError("Selectline hat bei \"" + std::string(member) + "\" kein Objekt geliefert");
    }
    return AutomationObject(m_apartment, std::move(dispatch));
}

void AutomationObject::Invoke(std::string_view member, std::initializer_list<ComVariant> arguments,
                              ComVariant& result) {
    const DISPID id = MemberId(member);
    // IDispatch takes the positional arguments last to first.
    std::vector<VARIANTARG> reversed;
    reversed.reserve(arguments.size());
    for (auto argument = std::rbegin(arguments); argument != std::rend(arguments); ++argument) {
        reversed.push_back(argument->get());
    }
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ExceptionInfo exception;
    UINT argumentError = 0;
    const HRESULT outcome =
        m_dispatch.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &parameters,
                                 result.Receive(), exception.get(), &argumentError);
    if (outcome == DISP_E_EXCEPTION) {
        throw SelectlineError(exception.Text());
    }
    if (FAILED(outcome)) {
        ThrowCallFailure(member, outcome);
    }
}

DISPID AutomationObject::MemberId(std::string_view member) {
    if (const auto known = m_memberIds.find(member); known != m_memberIds.end()) {
        return known->second;
    }
    std::wstring name = WideFromUtf8(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT outcome = m_dispatch.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(outcome)) {
        ThrowCallFailure(member, outcome);
    }
    m_memberIds.emplace(member, id);
    return id;
}

}  // namespace warenkai::com
