// FTP throughput of the libcurl control on loopback, next to the curl command line doing the same
// transfers against the same server in the same run:
//   - one 200 MB upload and one 200 MB download;
//   - 500 pictures of 50 KB, uploaded the way the picture upload does it (a log-in per file), and
//     by curl started once per file.
// The server is tests/support/ftp_server.py (pyftpdlib). Run on demand:
//   cmake --build build --target ftp_transfer_bench && build/bin/ftp_transfer_bench
// At the end it prints the control's throughput as a share of curl's.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/quiet_fakes.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "shop/curl/curl_ftp_control.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace warenkai {
namespace {

namespace fs = std::filesystem;
using test::FtpTestServer;

constexpr std::int64_t kBigFileBytes = std::int64_t{200} << 20;
constexpr int kPictureCount = 500;
constexpr std::int64_t kPictureBytes = std::int64_t{50} << 10;

void WriteRandomFile(const fs::path& file, std::int64_t size, unsigned pattern) {
    std::mt19937_64 generator(pattern);
    std::vector<std::uint64_t> block(1 << 17);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (std::int64_t written = 0; written < size;) {
        for (auto& word : block) {
            word = generator();
        }
        const auto bytes = std::min<std::int64_t>(size - written, static_cast<std::int64_t>(block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), bytes);
        written += bytes;
    }
}

// The server and the local files, made once for all benchmarks.
struct Environment {
    Environment() {
        if (!server.Running()) {
            std::cerr << "FTP server: " << server.StartError() << "\n";
            return;
        }
        std::filesystem::create_directories(server.root / "bench");
        std::filesystem::create_directories(server.root / "shop/config/bilder_artikel");
        bigFile = local.path() / "gross.bin";
        WriteRandomFile(bigFile, kBigFileBytes, 1);
        WriteRandomFile(server.root / "bench/gross.bin", kBigFileBytes, 2);
        pictureFolder = local.path() / "bilder";
        fs::create_directories(pictureFolder);
        for (int i = 0; i < kPictureCount; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "bild_%03d.jpg", i);
            pictureNames.emplace_back(name);
            WriteRandomFile(pictureFolder / name, kPictureBytes, static_cast<unsigned>(100 + i));
        }
    }

    std::string Url(const std::string& serverPath) const {
        return "ftp://" + server.Address() + "/%2F" + serverPath.substr(1);
    }

    FtpTestServer server;
    test::TempFolder local;
    fs::path bigFile;
    fs::path pictureFolder;
    std::vector<std::string> pictureNames;
};

Environment& Env() {
    static Environment environment;
    return environment;
}

// curl with `arguments`; true when it exits with 0.
bool RunCurl(const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"curl", "-sS", "--user",
                                    std::string(FtpTestServer::kUser) + ":" + FtpTestServer::kPassword};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SameSize(const fs::path& file, std::int64_t size) {
    std::error_code error;
    return static_cast<std::int64_t>(fs::file_size(file, error)) == size && !error;
}

// --- one 200 MB file -----------------------------------------------------------------------------

void BM_Upload200MB_Warenkai(benchmark::State& state) {
    auto& env = Env();
    for (auto _ : state) {
        auto ftp = MakeCurlFtpControl();
        const bool ok =
            ftp->connect(env.server.Address(), FtpTestServer::kUser, FtpTestServer::kPassword, kPassiveModeFlag) &&
            ftp->upload(env.bigFile, "/bench/hoch_warenkai.bin", static_cast<std::int32_t>(state.range(0)));
        ftp->disconnect();
        if (!ok || !SameSize(env.server.root / "bench/hoch_warenkai.bin", kBigFileBytes)) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kBigFileBytes);
}

void BM_Upload200MB_CurlCli(benchmark::State& state) {
    auto& env = Env();
    for (auto _ : state) {
        if (!RunCurl({"-T", env.bigFile.string(), env.Url("/bench/hoch_curl.bin")})) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kBigFileBytes);
}

void BM_Download200MB_Warenkai(benchmark::State& state) {
    auto& env = Env();
    const auto target = env.local.path() / "runter_warenkai.bin";
    for (auto _ : state) {
        auto ftp = MakeCurlFtpControl();
        const bool ok =
            ftp->connect(env.server.Address(), FtpTestServer::kUser, FtpTestServer::kPassword, kPassiveModeFlag) &&
            ftp->download(target, "/bench/gross.bin");
        ftp->disconnect();
        if (!ok || !SameSize(target, kBigFileBytes)) {
            state.SkipWithError("download failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kBigFileBytes);
}

void BM_Download200MB_CurlCli(benchmark::State& state) {
    auto& env = Env();
    const auto target = env.local.path() / "runter_curl.bin";
    for (auto _ : state) {
        if (!RunCurl({"-o", target.string(), env.Url("/bench/gross.bin")})) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kBigFileBytes);
}

// --- 500 pictures, a connection each -------------------------------------------------------------

void BM_Pictures500_Warenkai(benchmark::State& state) {
    auto& env = Env();
    Settings settings;
    settings.ftpServer = env.server.Address();
    settings.ftpUser = FtpTestServer::kUser;
    settings.ftpPassword = FtpTestServer::kPassword;
    settings.shopRoot = "/shop";
    settings.pictureFolder = env.pictureFolder.string();
    settings.passiveMode = true;  // curl's default too
    settings.synchronousTransfer = state.range(0) == 0;
    for (auto _ : state) {
        bench::QuietWindow window;
        auto ftp = MakeCurlFtpControl();
        TransferContext context{window.status, window.dialogs, window.web, *ftp, nullptr, {}, window.cancel};
        UploadPictures(settings, context);
        if (window.status.errorCount != 0) {
            state.SkipWithError("picture upload failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kPictureCount * kPictureBytes);
}

void BM_Pictures500_CurlCli(benchmark::State& state) {
    auto& env = Env();
    for (auto _ : state) {
        for (const auto& name : env.pictureNames) {
            if (!RunCurl({"-T", (env.pictureFolder / name).string(), env.Url("/shop/config/bilder_artikel/" + name)})) {
                state.SkipWithError("curl failed");
                break;
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * kPictureCount * kPictureBytes);
}

BENCHMARK(BM_Upload200MB_Warenkai)->Arg(1)->Arg(0)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Upload200MB_CurlCli)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Download200MB_Warenkai)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Download200MB_CurlCli)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pictures500_Warenkai)->Arg(1)->Arg(0)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pictures500_CurlCli)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps every run's throughput for the comparison at the end.
class CollectingReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            const auto counter = run.counters.find("bytes_per_second");
            if (counter != run.counters.end() && !run.error_occurred) {
                rates[run.benchmark_name()] = counter->second.value / (1024.0 * 1024.0);
            }
        }
    }
    std::map<std::string, double> rates;  // MB/s by benchmark name
};

void PrintComparison(const std::map<std::string, double>& rates) {
    const auto show = [&](const std::string& what, const std::string& ours, const std::string& curl) {
        const auto a = rates.find(ours);
        const auto b = rates.find(curl);
        if (a == rates.end() || b == rates.end()) {
            std::printf("%-40s missing\n", what.c_str());
            return;
        }
        std::printf("%-40s warenkai %8.1f MB/s   curl %8.1f MB/s   %5.0f %%\n", what.c_str(), a->second, b->second,
                    100.0 * a->second / b->second);
    };
    std::printf("\n");
    show("upload 200 MB (transferMode 1)", "BM_Upload200MB_Warenkai/1/iterations:3/real_time",
         "BM_Upload200MB_CurlCli/iterations:3/real_time");
    show("upload 200 MB (transferMode 0)", "BM_Upload200MB_Warenkai/0/iterations:3/real_time",
         "BM_Upload200MB_CurlCli/iterations:3/real_time");
    show("download 200 MB", "BM_Download200MB_Warenkai/iterations:3/real_time",
         "BM_Download200MB_CurlCli/iterations:3/real_time");
    show("500 pictures of 50 KB (transferMode 1)", "BM_Pictures500_Warenkai/1/iterations:2/real_time",
         "BM_Pictures500_CurlCli/iterations:2/real_time");
    show("500 pictures of 50 KB (transferMode 0)", "BM_Pictures500_Warenkai/0/iterations:2/real_time",
         "BM_Pictures500_CurlCli/iterations:2/real_time");
}

}  // namespace
}  // namespace warenkai

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!warenkai::Env().server.Running()) {
        return 1;
    }
    warenkai::CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    warenkai::PrintComparison(reporter.rates);
    benchmark::Shutdown();
    return 0;
}
