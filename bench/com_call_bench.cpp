// Time per late-bound call of the COM layer (MakeComSelectline) against the tests' fake "XFakt.App":
// once with the fake in this process, once across processes with this program started by COM as the
// fake's local server ("-Embedding").
//
//   com_call_bench [calls]
//
// It registers the fake as "XFakt.App" under HKEY_CLASSES_ROOT for the time of the run, so it belongs
// in a test machine or a throwaway wine prefix; it refuses to run where another "XFakt.App" is
// registered.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <memory>
#include <string>

#include "selectline/com/com_selectline.h"
#include "selectline/selectline_application.h"
#include "tests/selectline/com/fake_xfakt_server.h"

namespace {

using namespace warenkai;
using Clock = std::chrono::steady_clock;

std::shared_ptr<test::FakeXFakt> SampleServer() {
    auto server = std::make_shared<test::FakeXFakt>();
    server->tables = {"AR"};
    server->answers = {{"AR.GetField(\"Bezeichnung\")", "t Spaten"}, {"AR.Recordcount()", "r 1"}};
    return server;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

template <typename Call>
double MicrosecondsPerCall(int calls, Call call) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        call();
    }
    return Milliseconds(Clock::now() - start) * 1000.0 / calls;
}

void Measure(const char* where, int calls) {
    const auto start = Clock::now();
    const auto application = MakeComSelectline()();
    const auto table = application->CreateTable("AR");
    const double startMs = Milliseconds(Clock::now() - start);
    table->GetField("Bezeichnung");  // the member's id is looked up once, before the timing
    table->Recordcount();
    const double getField = MicrosecondsPerCall(calls, [&] { table->GetField("Bezeichnung"); });
    const double recordcount = MicrosecondsPerCall(calls, [&] { table->Recordcount(); });
    std::printf("%-17s create + CreateTable %8.2f ms; GetField %8.3f us, Recordcount %8.3f us per call (%d calls)\n",
                where, startMs, getField, recordcount, calls);
}

// Whether HKCR\XFakt.App names a class other than the fake's.
bool AnotherXFaktRegistered() {
    wchar_t value[64] = {};
    LONG size = sizeof value;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, L"XFakt.App\\CLSID", value, &size) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t fake[40];
    StringFromGUID2(test::kFakeXFaktClassId, fake, 40);
    return std::wcscmp(value, fake) != 0;
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return L"\"" + std::wstring(path, length) + L"\"";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-Embedding") == 0 || std::strcmp(argv[i], "/Embedding") == 0) {
            return test::ServeFakeXFakt(SampleServer());  // COM started it for the fake
        }
    }
    if (AnotherXFaktRegistered()) {
        std::fprintf(stderr, "Another XFakt.App is registered here; the benchmark would replace it.\n");
        return 2;
    }
    const int calls = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 100000;
    try {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            const test::FakeXFaktRegistration registration(SampleServer());
            Measure("in process", calls);
        }
        {
            const test::FakeXFaktRegistration entries(nullptr, ThisProgram());
            Measure("across processes", calls / 20 > 0 ? calls / 20 : 1);
        }
        CoUninitialize();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
