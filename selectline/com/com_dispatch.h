#pragma once

// Late-bound calls on the automation server's objects: the apartment of the calling thread, owned
// IDispatch pointers and VARIANTs, and one call helper that turns the server's errors into
// SelectlineError.

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// windows.h comes first: oleauto.h needs its types.
#include <windows.h>

#include <oleauto.h>

#include "selectline/variant.h"

namespace warenkai::com {

// The system's text for a result code followed by the code, e.g. "Zugriff verweigert (0x80070005)";
// "Unbekannter Fehler (0x…)" when the system has no text for it.
std::string HResultText(HRESULT result);

// COM initialised on the calling thread as a single-threaded apartment (unless the thread already is
// a multithreaded one), for as long as one holder of the object lives. The application object and
// every table, document and position taken from it hold it, so COM is left when the last of them is
// released. All of them are used and released on the thread that created the application object.
class Apartment {
public:
    // Throws SelectlineError when COM cannot be initialised.
    static std::shared_ptr<Apartment> Enter();
    ~Apartment();
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    explicit Apartment(bool initialized) : m_initialized(initialized) {}

    bool m_initialized;
};

// An owned IDispatch pointer, released once.
class DispatchPtr {
public:
    DispatchPtr() = default;
    DispatchPtr(DispatchPtr&& other) noexcept : m_dispatch(std::exchange(other.m_dispatch, nullptr)) {}
    DispatchPtr& operator=(DispatchPtr&& other) noexcept {
        if (this != &other) {
            Release();
            m_dispatch = std::exchange(other.m_dispatch, nullptr);
        }
        return *this;
    }
    ~DispatchPtr() { Release(); }

    IDispatch* get() const noexcept { return m_dispatch; }
    // For a function that hands out an owned pointer through an out parameter.
    void** Receive() noexcept {
        Release();
        return reinterpret_cast<void**>(&m_dispatch);
    }

private:
    void Release() noexcept {
        if (m_dispatch != nullptr) {
            std::exchange(m_dispatch, nullptr)->Release();
        }
    }

    IDispatch* m_dispatch = nullptr;
};

// An owned VARIANT, cleared once. As an argument: a text is passed as BSTR, an integer as VT_I4, a
// floating number as VT_R8.
class ComVariant {
public:
    ComVariant() noexcept { VariantInit(&m_value); }
    ComVariant(const std::string& text);
    ComVariant(int number) noexcept;
    ComVariant(double number) noexcept;
    ~ComVariant() { VariantClear(&m_value); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;

    const VARIANT& get() const noexcept { return m_value; }
    // For a function that fills in a result.
    VARIANT* Receive() noexcept {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// One object of the automation server, called by member name. The member's id is asked for
// (GetIDsOfNames) at its first call on this object and kept.
class AutomationObject {
public:
    AutomationObject(std::shared_ptr<Apartment> apartment, DispatchPtr dispatch);

    // Calls the member as a method or property get (DISPATCH_METHOD | DISPATCH_PROPERTYGET) with the
    // arguments in call order; its result is not looked at. Throws SelectlineError with the server's
    // description when it raises an exception, with the system's text for any other failure.
    void Call(std::string_view member, std::initializer_list<ComVariant> arguments = {});
    // The same for a member whose result is a value (converted by FromComVariant).
    Variant CallForValue(std::string_view member, std::initializer_list<ComVariant> arguments = {});
    // The same for a member that answers with an object.
    AutomationObject CallForObject(std::string_view member, std::initializer_list<ComVariant> arguments = {});

private:
    void Invoke(std::string_view member, std::initializer_list<ComVariant> arguments, ComVariant& result);
    DISPID MemberId(std::string_view member);

    std::shared_ptr<Apartment> m_apartment;  // declared first: left after the object is released
    DispatchPtr m_dispatch;
    std::map<std::string, DISPID, std::less<>> m_memberIds;
};

}  // namespace warenkai::com
