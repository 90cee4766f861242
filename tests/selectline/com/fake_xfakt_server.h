#pragma once

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

// A table of the fake server: records of field name -> value, handed out as VT_EMPTY, VT_BSTR, VT_BOOL
// or (every number) VT_R8. The FindKey members answer whether a record's first of `keys` has the text
// of their first argument.
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

// The data of the fake Selectline and what was asked of it, shared by all its objects: "App" (the
// application), the tables by their code, "Beleg" (a document) and "Pos" (a position). ApplicationReady
// answers true, CreateTable a table of `tables` (no object for another code), Listenpreis the field
// "Listenpreis" of the article in "AR"; Recordcount, First, Next and GetField work on the records; a
// member that hands out nothing answers VT_ERROR (DISP_E_PARAMNOTFOUND), as no caller looks at it.
struct FakeXFakt {
    std::map<std::string, FakeTable> tables;
    std::map<std::string, FakeFailure> failures;  // by "object.member", e.g. "App.getMandant"
    // Every call as `AR.FindKey2("4711", "G")`: texts quoted, other arguments as "i4 1", "r8 2,5".
    std::vector<std::string> calls;
    bool recordCalls = true;  // off: no call is written down or told (for timing)
    // Told each call as `calls` shows it, before it is answered (it may end the server's process).
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
};

// The registry entries plus the fake's class object registered in this process
// (CoRegisterClassObject), until destruction. COM must be initialised on the thread.
class FakeXFaktRegistration : FakeXFaktRegistryEntries {
public:
    explicit FakeXFaktRegistration(std::shared_ptr<FakeXFakt> server);
    ~FakeXFaktRegistration();

private:
    DWORD m_cookie = 0;
};

}  // namespace warenkai::test
