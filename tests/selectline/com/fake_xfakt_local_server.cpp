// The fake "XFakt.App" as a server process of its own, which COM starts with "-Embedding" from its
// LocalServer32 entry: three articles "1", "2", "3", the first in group "G" (the tables "AR", "AG", "TE", "AP"
// and "UD"). With "--die-at-next K" its process ends, without answering, in the K-th call of
// "AR.Next", as a server that crashes in the middle of a transfer. Otherwise it serves until its
// last object is released.
#include <cstdlib>
#include <cstring>

#include "tests/selectline/com/fake_xfakt_server.h"

int main(int argc, char** argv) {
    using warenkai::test::FakeXFakt;
    int dieAtNext = 0;  // COM adds "-Embedding" to the arguments of the LocalServer32 entry
    for (int i = 1; i + 1 < argc; ++i) {
        dieAtNext = std::strcmp(argv[i], "--die-at-next") == 0 ? std::atoi(argv[i + 1]) : dieAtNext;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto server = std::make_shared<FakeXFakt>();
    server->recordCalls = false;
    server->tables = {
        {"AR", {{"Artikelnummer"}, {{{"Artikelnummer", "1"}, {"Artikelgruppe", "G"}}, {{"Artikelnummer", "2"}},
                                    {{"Artikelnummer", "3"}}}}},
        {"AG", {{"Nummer"}, {{{"Nummer", "G"}, {"Bezeichnung", "Gruppe"}, {"Parent", ""}}}}},
        {"TE", {{"Schluessel"}, {}}},
        {"AP", {{"Artikelnummer", "Preisart", "Preisnummer"}, {}}},
        {"UD", {}}};
    server->lastObjectReleased = [] { PostQuitMessage(0); };
    server->onCall = [dieAtNext, nexts = 0](const std::string& call) mutable {
        if (call == "AR.Next()" && ++nexts == dieAtNext) {
            TerminateProcess(GetCurrentProcess(), 3);
        }
    };
    IClassFactory* factory = warenkai::test::NewFakeXFaktFactory(server);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(warenkai::test::kFakeXFaktClassId, factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                     &cookie))) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(cookie);
    factory->Release();
    CoUninitialize();
    return 0;
}
