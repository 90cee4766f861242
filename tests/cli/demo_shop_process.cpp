#include "tests/cli/demo_shop_process.h"

#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#ifndef WARENKAI_DEMO_SHOP_SCRIPT
#error "WARENKAI_DEMO_SHOP_SCRIPT must name tools/demo_shop.py"
#endif

namespace warenkai::test {
namespace {

// Debian's interpreter, which has python3-pyftpdlib.
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kStopTimeout = std::chrono::seconds(5);

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

DemoShopProcess::DemoShopProcess(DemoShopOptions options) {
    std::string pattern = (std::filesystem::temp_directory_path() / "warenkai-shop-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_startError = "cannot create a temporary folder";
        return;
    }
    m_folder = pattern;

    std::vector<std::string> words = {kPython,
                                      WARENKAI_DEMO_SHOP_SCRIPT,
                                      "--ftp-port",
                                      "0",
                                      "--http-port",
                                      "0",
                                      "--print-ports",
                                      "--quiet",
                                      "--stop-on-eof",
                                      "--user",
                                      kUser,
                                      "--password",
                                      kPassword,
                                      "--root",
                                      (m_folder / "root").string(),
                                      "--settings",
                                      (m_folder / "Einstellungen.ini").string(),
                                      "--log",
                                      (m_folder / "requests.log").string()};
    if (options.extraCustomers > 0) {
        words.insert(words.end(), {"--extra-customers", std::to_string(options.extraCustomers)});
    }
    m_startError = m_process.Start(std::move(words), m_folder / "stderr.txt");
    if (!m_startError.empty()) {
        return;
    }

    // Wait for "ftp=<port> http=<port>".
    const ChildLine first = m_process.ReadFirstLine(kStartTimeout);
    if (first.timedOut) {
        m_startError = "the demo shop did not report its ports in time";
    } else if (first.ended) {
        m_startError = "the demo shop ended at start";
    }
    const std::string& line = first.text;
    if (std::sscanf(line.c_str(), "ftp=%d http=%d", &m_ftpPort, &m_httpPort) != 2) {
        m_ftpPort = 0;
        m_httpPort = 0;
        if (m_startError.empty()) {
            m_startError = "unexpected answer of the demo shop: " + line;
        }
    }
    if (!Running()) {
        m_startError += "\n" + Diagnostics();
        Stop();
    }
}

DemoShopProcess::~DemoShopProcess() {
    Stop();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void DemoShopProcess::Stop() {
    m_process.Stop(kStopTimeout);
}

std::string DemoShopProcess::FtpServer() const {
    return "127.0.0.1:" + std::to_string(m_ftpPort);
}

std::string DemoShopProcess::ShopLink() const {
    return "http://127.0.0.1:" + std::to_string(m_httpPort) + "/shop";
}

std::filesystem::path DemoShopProcess::ImportFolder() const {
    return m_folder / "root" / "shop" / "login" / "admin" / "sonstiges" / "import" / "import";
}

std::filesystem::path DemoShopProcess::PictureFolder() const {
    return m_folder / "root" / "shop" / "config" / "bilder_artikel";
}

std::filesystem::path DemoShopProcess::ExportFolder() const {
    return m_folder / "root" / "shop" / "login" / "admin" / "sonstiges" / "export" / "export";
}

std::vector<std::string> DemoShopProcess::Requests() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(m_folder / "requests.log"));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string DemoShopProcess::Diagnostics() const {
    return ReadText(m_folder / "stderr.txt");
}

}  // namespace warenkai::test
