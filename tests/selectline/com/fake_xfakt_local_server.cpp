// The fake "XFakt.App" as a server process of its own, which COM starts with "-Embedding" from its
// LocalServer32 entry: three articles "1", "2", "3" in group "G" (the tables "AR", "AG", "TE", "AP"
// and "UD"). With "--die-at-next K" its process ends, without answering, in the K-th call of
// "AR.Next", as a server that crashes in the middle of a transfer. Otherwise it serves until its
// last object is released.

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "tests/selectline/com/fake_xfakt_server.h"

namespace {

using warenkai::test::FakeXFakt;

std::shared_ptr<FakeXFakt> ThreeArticles() {
    auto server = std::make_shared<FakeXFakt>();
    server->recordCalls = false;
    for (const char* number : {"1", "2", "3"}) {
        server->tables["AR"].records.push_back(
            {{"Artikelnummer", number}, {"Bezeichnung", std::string("Artikel ") + number}, {"Artikelgruppe", "G"}});
    }
    server->tables["AR"].keys = {"Artikelnummer"};
    server->tables["AG"] = {{"Nummer"}, {{{"Nummer", "G"}, {"Bezeichnung", "Gruppe"}, {"Parent", ""}}}};
    server->tables["TE"] = {{"Schluessel"}, {}};
    server->tables["AP"] = {{"Artikelnummer", "Preisart", "Preisnummer"}, {}};
    server->tables["UD"] = {};
    return server;
}

}  // namespace

int main(int argc, char** argv) {
    int dieAtNext = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--die-at-next") == 0) {
            dieAtNext = std::atoi(argv[i + 1]);
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto server = ThreeArticles();
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
