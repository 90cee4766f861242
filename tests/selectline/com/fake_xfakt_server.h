#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

// windows.h comes first: oleauto.h needs its types.
#include <windows.h>

#include <oleauto.h>

namespace warenkai::test {

// The class id of the fake "XFakt.App" that the tests and the call benchmark register.
// {6C1F3A52-8E0B-4D47-9B0E-2F5A7C3D9E41}
inline constexpr CLSID kFakeXFaktClassId = {
    0x6c1f3a52, 0x8e0b, 0x4d47, {0x9b, 0x0e, 0x2f, 0x5a, 0x7c, 0x3d, 0x9e, 0x41}};

// How one member fails: with DISP_E_EXCEPTION and the description (given at once or through
// pfnDeferredFillIn); DISP_E_UNKNOWNNAME from GetIDsOfNames; any other code from Invoke.
struct FakeFailure {
    HRESULT result = DISP_E_EXCEPTION;
    std::string description;
    bool deferred = false;
};

// The fake Selectline, shared by all its objects: "App" (the application), the tables by their code,
// "Beleg" (a document) and "Pos" (a position). CreateTable gives an object for a code of `tables`,
// NeuerBelegAuto a "Beleg", CreatePos a "Pos"; every other call answers its value of `answers`, or
// VT_ERROR when it has none: "t <text>" as VT_BSTR, "r <number>" as VT_R8, "b -1" or "b 0" as VT_BOOL.
struct FakeXFakt {
    std::set<std::string> tables;
    // By the call as `onCall` is told it: `AR.FindKey2("4711", "G")`, texts quoted, other arguments
    // as "i4 1", "r8 2,5".
    std::map<std::string, std::string> answers;
    std::map<std::string, FakeFailure> failures;  // by "object.member", e.g. "App.getMandant"
    // Told each call before it is answered (it may end the server's process).
    std::function<void(const std::string& call)> onCall;
    int liveObjects = 0;
    std::function<void()> lastObjectReleased;
};

// Until destruction: HKCR\XFakt.App\CLSID naming kFakeXFaktClassId, HKCR\CLSID\{…}\LocalServer32 =
// `localServer` when one is given, and `server`'s class object registered in this process when there
// is one. COM must be initialised on the thread.
class FakeXFaktRegistration {
public:
    explicit FakeXFaktRegistration(std::shared_ptr<FakeXFakt> server, const std::wstring& localServer = {});
    ~FakeXFaktRegistration();

private:
    DWORD m_cookie = 0;
};

// A local server process that COM started: serves `server` until its last object is released.
int ServeFakeXFakt(std::shared_ptr<FakeXFakt> server);

}  // namespace warenkai::test
