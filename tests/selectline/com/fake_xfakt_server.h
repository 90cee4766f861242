#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// windows.h comes first: oleauto.h needs its types.
#include <windows.h>

#include <oleauto.h>

#include "selectline/variant.h"

namespace warenkai::test {

// The class id of the fake "XFakt.App" that the tests and the call benchmark register.
// {6C1F3A52-8E0B-4D47-9B0E-2F5A7C3D9E41}
inline constexpr CLSID kFakeXFaktClassId = {
    0x6c1f3a52, 0x8e0b, 0x4d47, {0x9b, 0x0e, 0x2f, 0x5a, 0x7c, 0x3d, 0x9e, 0x41}};

// A table of the fake server: records of field name -> value, which GetField answers as the VARIANT
// of its kind (VT_EMPTY, VT_BSTR, VT_I8, VT_R8, VT_DATE, VT_BOOL). A field that the current record
// lacks is VT_EMPTY when another record has it (a column of the table), else a server error.
// FindKey, FindKey2 and FindKey3 compare the first one, two or three of `keys` with the texts of the
// values (Variant::ToText); Insert appends an empty record; PutField stores a text.
struct FakeTable {
    std::vector<std::string> keys;
    std::vector<std::map<std::string, Variant>> records;
};

// How one member fails: with DISP_E_EXCEPTION and the description (given at once or through
// pfnDeferredFillIn); DISP_E_UNKNOWNNAME from GetIDsOfNames; any other code from Invoke.
struct FakeFailure {
    HRESULT result = DISP_E_EXCEPTION;
    std::string description;
    bool deferred = false;
};

// The data of the fake Selectline and what was asked of it, shared by all its objects. The objects
// are "App" (the application), the tables by their code, "Beleg" (a document) and "Pos" (a position).
struct FakeXFakt {
    std::map<std::string, FakeTable> tables;         // by code; CreateTable of another code answers VT_EMPTY
    std::map<std::string, std::int64_t> listPrices;  // article number -> VT_CY (ten-thousandths); else VT_EMPTY
    std::map<std::string, FakeFailure> failures;     // by "object.member", e.g. "App.getMandant"
    // Every call as `AR.FindKey2("4711", "G")`: texts quoted, other arguments as "i4 1", "r8 2.5".
    std::vector<std::string> calls;
    bool recordCalls = true;  // off: `calls` stays empty (for timing)
    // Told each call as `calls` shows it, before it is answered: it can add a failure that this call
    // meets already, or end the server's process.
    std::function<void(const std::string& call)> onCall;
    int liveObjects = 0;
    std::function<void()> lastObjectReleased;  // e.g. ends a local server's message loop
};

// A new class factory (one reference) whose objects are the application object of `server`.
IClassFactory* NewFakeXFaktFactory(std::shared_ptr<FakeXFakt> server);

// HKCR\XFakt.App\CLSID naming kFakeXFaktClassId, and HKCR\CLSID\{…}\LocalServer32 = `localServer`
// when one is given; removed again on destruction.
class FakeXFaktRegistryEntries {
public:
    explicit FakeXFaktRegistryEntries(const std::wstring& localServer = {});
    ~FakeXFaktRegistryEntries();
    FakeXFaktRegistryEntries(const FakeXFaktRegistryEntries&) = delete;
    FakeXFaktRegistryEntries& operator=(const FakeXFaktRegistryEntries&) = delete;
};

// The registry entries plus the fake's class object registered in this process
// (CoRegisterClassObject), until destruction. COM must be initialised on the thread.
class FakeXFaktRegistration {
public:
    explicit FakeXFaktRegistration(std::shared_ptr<FakeXFakt> server);
    ~FakeXFaktRegistration();
    FakeXFaktRegistration(const FakeXFaktRegistration&) = delete;
    FakeXFaktRegistration& operator=(const FakeXFaktRegistration&) = delete;

private:
    FakeXFaktRegistryEntries m_entries;
    DWORD m_cookie = 0;
};

}  // namespace warenkai::test
