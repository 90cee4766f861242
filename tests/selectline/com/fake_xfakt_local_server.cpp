// The fake "XFakt.App" as a server process of its own, which COM starts with "-Embedding" from its
// LocalServer32 entry: a table "AR" whose field Artikelnummer answers "2". Its process ends, without
// answering, in the second call of "AR.Next", as a server that crashes in the middle of a transfer;
// otherwise it serves until its last object is released.
#include "tests/selectline/com/fake_xfakt_server.h"

int main() {
    auto server = std::make_shared<warenkai::test::FakeXFakt>();
    server->tables = {"AR"};
    server->answers = {{"AR.GetField(\"Artikelnummer\")", "t 2"}};
    server->onCall = [nexts = 0](const std::string& call) mutable {
        if (call == "AR.Next()" && ++nexts == 2) {
            TerminateProcess(GetCurrentProcess(), 3);
        }
    };
    return warenkai::test::ServeFakeXFakt(server);
}
