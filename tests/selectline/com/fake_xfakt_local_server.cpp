// The fake "XFakt.App" as a server process of its own, which COM starts with "-Embedding" from its
// LocalServer32 entry: a table "AR" of the articles "1" and "2". Its process ends, without answering,
// in the second call of "AR.Next", as a server that crashes in the middle of a transfer; otherwise it
// serves until its last object is released.
#include "tests/selectline/com/fake_xfakt_server.h"

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto server = std::make_shared<warenkai::test::FakeXFakt>();
    server->tables["AR"] = {{"Artikelnummer"}, {{{"Artikelnummer", "1"}}, {{"Artikelnummer", "2"}}}};
    server->lastObjectReleased = [] { PostQuitMessage(0); };
    server->onCall = [nexts = 0](const std::string& call) mutable {
        if (call == "AR.Next()" && ++nexts == 2) {
            TerminateProcess(GetCurrentProcess(), 3);
        }
    };
    IClassFactory* factory = warenkai::test::NewFakeXFaktFactory(server);
    DWORD cookie = 0;
    CoRegisterClassObject(warenkai::test::kFakeXFaktClassId, factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;  // the process's end releases what is left
}
