#include "shop/curl/curl_ftp_control.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"
#include "common/utf8_path.h"
#include "platform/files.h"
#include "shop/curl/ftp_url.h"

namespace warenkai {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// libcurl wants one global initialisation before the first handle; a function-local static makes
// it happen once, also when two threads get here together.
bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

struct CurlCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;

struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using MultiHandle = std::unique_ptr<CURLM, MultiCleanup>;

// One logged-in session: the transfer handle and the multi handle whose connection cache keeps the
// control connection between transfers. The multi handle drives every transfer, so the control
// decides itself how often the window gets a turn.
struct Session {
    CurlHandle easy;
    MultiHandle multi;
    // libcurl's words on the failure of the last transfer.
    char errorText[CURL_ERROR_SIZE] = {};
    // The server's last answer line ("550 No such file or directory.").
    std::string lastReply;

    ~Session() {
        // The easy handle first; closing the multi handle then ends the connection with QUIT.
        easy.reset();
        multi.reset();
    }
};

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileClose>;

// A file beside the download's target that receives the bytes; removed unless it was put in place.
class PartFile {
public:
    explicit PartFile(const fs::path& target) {
        std::random_device random;
        // Hidden, and short enough for the file system also beside a name of the longest length.
        const auto name = target.filename().native();
        const auto stem = fs::path(".").native() + name.substr(0, std::min<std::size_t>(name.size(), 200));
        for (int attempt = 0; attempt < 16 && !m_file; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, ".%08x.part", static_cast<unsigned>(random()));
            fs::path part(stem);
            part += suffix;
            m_path = target.parent_path() / part;
            // Never takes over an existing file.
            m_file.reset(OpenFileForWriting(m_path, OpenForWriting::CreateNew));
        }
        if (!m_file) {
            m_path.clear();
        }
    }
    ~PartFile() {
        m_file.reset();
        if (!m_path.empty()) {
            std::error_code ignored;
            fs::remove(m_path, ignored);
        }
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    std::FILE* file() const { return m_file.get(); }

    // Closes the file and renames it over `target`; false when a write or the rename fails.
    bool PutInPlace(const fs::path& target) {
        std::FILE* file = m_file.release();
        const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
        const bool closed = std::fclose(file) == 0;
        if (!flushed || !closed) {
            return false;
        }
        // A read-only old copy does not block the new one.
        if (!PutFileInPlace(m_path, target)) {
            return false;
        }
        m_path.clear();
        return true;
    }

private:
    fs::path m_path;
    FileHandle m_file;
};

class CurlFtpControl final : public FtpControl {
public:
    explicit CurlFtpControl(const CurlFtpOptions& options) : m_options(options) {}
    ~CurlFtpControl() override { Close(); }
    CurlFtpControl(const CurlFtpControl&) = delete;
    CurlFtpControl& operator=(const CurlFtpControl&) = delete;

    bool connect(const std::string& server, const std::string& user, const std::string& password,
                 std::int32_t connectionFlags) override {
        m_failure.clear();
        try {
            return Connect(server, user, password, connectionFlags);
        } catch (...) {
            Close();
            return Fail(kUnexpected);
        }
    }

    bool upload(const fs::path& localPath, const std::string& remotePath, std::int32_t /*transferMode*/) override {
        m_failure.clear();
        if (!m_session) {
            return Fail(kNotConnected);
        }
        try {
            return Upload(localPath, remotePath);
        } catch (...) {
            return Fail(kUnexpected);
        }
    }

    bool download(const fs::path& localPath, const std::string& remotePath) override {
        m_failure.clear();
        if (!m_session) {
            return Fail(kNotConnected);
        }
        try {
            return Download(localPath, remotePath);
        } catch (...) {
            return Fail(kUnexpected);
        }
    }

    void disconnect() override { Close(); }

    void setTransfertype(std::int32_t type) override { m_transferType = type; }

    std::string lastFailure() const override { return m_failure; }

private:
    static constexpr const char* kNotConnected = "Keine Verbindung zum FTP-Server";
    static constexpr const char* kUnexpected = "Unerwarteter Fehler bei der FTP-Verbindung";
    static constexpr const char* kRefusedOption = "libcurl lehnt eine Einstellung der FTP-Verbindung ab";
    static constexpr const char* kBadRemotePath = "Ungültiger Pfad auf dem FTP-Server";

    struct Transfer {
        bool upload = false;
        std::FILE* file = nullptr;
        std::int64_t moved = 0;  // bytes written to the local file (downloads)
        std::int64_t lastTotal = -1;
        std::int64_t lastDone = -1;
        Clock::time_point lastEvent{};
        bool failed = false;  // the progress handler threw
        CurlFtpControl* control = nullptr;
    };

    bool Connect(const std::string& server, const std::string& user, const std::string& password,
                 std::int32_t connectionFlags) {
        Close();
        const auto url = FtpServerUrl(server);
        const auto tls = FtpServerTls(server);
        if (!url || !tls) {
            return Fail("Ungültige Angabe des FTP-Servers (Server[:Port], ftp://, ftpes:// oder ftps://): \"" + server +
                        "\"");
        }
        const bool passive = (connectionFlags & kPassiveModeFlag) != 0;
        if (*tls != FtpTls::None && !passive) {
            // libcurl 7.87 to 7.88 (Debian 12) connects an active-mode data connection without TLS
            // even when PROT P was agreed, so the file would travel in plain text.
            return Fail("FTP über TLS (ftpes://, ftps://) ist nur im Passiv-Modus möglich");
        }
        auto session = std::make_unique<Session>();
        if (CurlReady()) {
            session->easy.reset(curl_easy_init());
            session->multi.reset(curl_multi_init());
        }
        if (!session->easy || !session->multi) {
            return Fail("libcurl kann nicht gestartet werden");
        }
        CURL* h = session->easy.get();
        const long bufferSize = static_cast<long>(m_options.bufferSize);
        bool ok = true;
        const auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
        set(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps"));
        set(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
        set(curl_easy_setopt(h, CURLOPT_ERRORBUFFER, session->errorText));
        // For FTP libcurl hands the server's answers to the header function.
        set(curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnReply));
        set(curl_easy_setopt(h, CURLOPT_HEADERDATA, session.get()));
        if (*tls != FtpTls::None) {
            // TLS on the control and every data connection (PROT P), or no connection at all; the
            // certificate is checked as libcurl does by default.
            set(curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL)));
            set(curl_easy_setopt(h, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS)));
            if (!m_options.caFile.empty()) {
                set(curl_easy_setopt(h, CURLOPT_CAINFO, m_options.caFile.c_str()));
            }
        }
        // User and password exactly as typed; in the address they would need escaping.
        set(curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str()));
        set(curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str()));
        set(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_options.connectTimeout.count())));
        set(curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(m_options.responseTimeout.count())));
        set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L));
        set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_options.stallTimeout.count())));
        set(curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(m_options.activeAcceptTimeout.count())));
        // Active mode: the server connects back to the address of the control connection.
        set(curl_easy_setopt(h, CURLOPT_FTPPORT, passive ? nullptr : "-"));
        // One CWD to the whole folder, skipped when the next file lies in the same folder.
        set(curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD)));
        set(curl_easy_setopt(h, CURLOPT_BUFFERSIZE, bufferSize));
        set(curl_easy_setopt(h, CURLOPT_UPLOAD_BUFFERSIZE, bufferSize));
        set(curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L));
        set(curl_easy_setopt(h, CURLOPT_NOPROGRESS, 1L));
        set(curl_easy_setopt(h, CURLOPT_READFUNCTION, &ReadNothing));
        set(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteNothing));
        // Log in and stay: the log-in folder without a transfer keeps the connection for the
        // transfers that follow.
        set(curl_easy_setopt(h, CURLOPT_URL, url->c_str()));
        set(curl_easy_setopt(h, CURLOPT_NOBODY, 1L));
        if (!ok) {
            return Fail(kRefusedOption);
        }
        m_session = std::move(session);
        m_server = server;
        if (Run() != CURLE_OK) {
            Close();
            return false;
        }
        if (curl_easy_setopt(h, CURLOPT_NOBODY, 0L) != CURLE_OK) {
            Close();
            return Fail(kRefusedOption);
        }
        return true;
    }

    bool Upload(const fs::path& local, const std::string& remotePath) {
        const auto url = FtpFileUrl(m_server, remotePath);
        if (!url) {
            return Fail(kBadRemotePath);
        }
        std::error_code error;
        const bool isFile = fs::is_regular_file(local, error);
        const auto size = isFile ? fs::file_size(local, error) : 0;
        std::vector<char> buffer(m_options.bufferSize);
        FileHandle file(isFile && !error ? OpenFileForReading(local) : nullptr);
        if (!file) {
            return Fail("Die Datei " + PathToUtf8(local) + " kann nicht gelesen werden");
        }
        std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());

        CURL* h = m_session->easy.get();
        Transfer transfer;
        transfer.upload = true;
        transfer.file = file.get();
        if (curl_easy_setopt(h, CURLOPT_UPLOAD, 1L) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_READFUNCTION, &ReadChunk) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_READDATA, &transfer) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size)) != CURLE_OK) {
            return Fail(kRefusedOption);
        }
        const bool stored = Perform(transfer, *url, static_cast<std::int64_t>(size));
        if (m_session) {
            curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
            curl_easy_setopt(h, CURLOPT_READFUNCTION, &ReadNothing);
            curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
            curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(-1));
        }
        return stored;
    }

    bool Download(const fs::path& target, const std::string& remotePath) {
        const auto url = FtpFileUrl(m_server, remotePath);
        if (!url) {
            return Fail(kBadRemotePath);
        }
        std::error_code error;
        if (target.empty() || !target.has_filename() || fs::is_directory(target, error)) {
            return Fail("Ungültiger Name der Zieldatei: " + PathToUtf8(target));
        }
        std::vector<char> buffer(m_options.bufferSize);
        PartFile part(target);
        if (part.file() == nullptr) {
            return Fail("Im Ordner " + PathToUtf8(target.parent_path()) + " kann keine Datei angelegt werden");
        }
        std::setvbuf(part.file(), buffer.data(), _IOFBF, buffer.size());

        CURL* h = m_session->easy.get();
        Transfer transfer;
        transfer.file = part.file();
        if (curl_easy_setopt(h, CURLOPT_UPLOAD, 0L) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteChunk) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer) != CURLE_OK) {
            return Fail(kRefusedOption);
        }
        const bool fetched = Perform(transfer, *url, -1);
        if (m_session) {
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteNothing);
            curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
        }
        if (fetched && !part.PutInPlace(target)) {
            return Fail("Die Datei " + PathToUtf8(target) + " kann nicht geschrieben werden");
        }
        return fetched;
    }

    // Runs one transfer on the logged-in session. `knownTotal` is the upload's size, -1 for downloads.
    bool Perform(Transfer& transfer, const std::string& url, std::int64_t knownTotal) {
        CURL* h = m_session->easy.get();
        transfer.control = this;
        if (curl_easy_setopt(h, CURLOPT_URL, url.c_str()) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, m_transferType == kTransferTypeText ? 1L : 0L) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer) != CURLE_OK ||
            curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) != CURLE_OK) {
            return Fail(kRefusedOption);
        }
        const CURLcode result = Run();
        if (m_session) {
            curl_easy_setopt(h, CURLOPT_NOPROGRESS, 1L);
            curl_easy_setopt(h, CURLOPT_XFERINFODATA, nullptr);
        }
        if (transfer.failed) {
            return Fail("Die Übertragung wurde von der Fortschrittsanzeige abgebrochen");
        }
        if (result != CURLE_OK) {
            return false;
        }
        // The last event always reports the whole file as done.
        const std::int64_t total = knownTotal >= 0 ? knownTotal : transfer.moved;
        if (transfer.lastTotal != total || transfer.lastDone != total) {
            try {
                transferProgress(total, total);
            } catch (...) {
            }
        }
        return true;
    }

    // Drives the session's transfer to its end; on failure `m_failure` says why.
    CURLcode Run() {
        CURLM* multi = m_session->multi.get();
        CURL* easy = m_session->easy.get();
        m_session->errorText[0] = '\0';
        m_session->lastReply.clear();
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
            Fail(kUnexpected);
            return CURLE_FAILED_INIT;
        }
        CURLcode result = CURLE_GOT_NOTHING;
        try {
            while (true) {
                int running = 0;
                if (curl_multi_perform(multi, &running) != CURLM_OK) {
                    result = CURLE_FAILED_INIT;
                    break;
                }
                int left = 0;
                bool finished = false;
                while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                        result = message->data.result;
                        finished = true;
                    }
                }
                if (finished || running == 0) {
                    break;
                }
                if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
                    result = CURLE_FAILED_INIT;
                    break;
                }
            }
        } catch (...) {
            result = CURLE_ABORTED_BY_CALLBACK;
        }
        curl_multi_remove_handle(multi, easy);
        if (result != CURLE_OK) {
            Fail(Describe(result));
        }
        return result;
    }

    // libcurl's message, and the server's answer when it refused.
    std::string Describe(CURLcode result) const {
        std::string text = m_session->errorText[0] != '\0' ? m_session->errorText : curl_easy_strerror(result);
        const std::string& reply = m_session->lastReply;
        if (reply.starts_with('4') || reply.starts_with('5')) {
            text += " (Antwort des Servers: \"" + reply + "\")";
        }
        return text;
    }

    bool Fail(std::string failure) {
        m_failure = std::move(failure);
        return false;
    }

    void Close() {
        if (m_session) {
            // Closing sends QUIT and waits for the answer with the response time-out that the multi
            // handle copied from the last handle added to it; a server that stopped answering must
            // not hold the window long, so a short one is handed over first.
            CURL* easy = m_session->easy.get();
            CURLM* multi = m_session->multi.get();
            if (curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, 2L) == CURLE_OK &&
                curl_multi_add_handle(multi, easy) == CURLM_OK) {
                curl_multi_remove_handle(multi, easy);
            }
            m_session.reset();
        }
        m_server.clear();
    }

    int Progress(Transfer& transfer, std::int64_t total, std::int64_t done) {
        const auto now = Clock::now();
        const bool changed = total != transfer.lastTotal || done != transfer.lastDone;
        const bool due = transfer.lastDone < 0 || (total > 0 && done == total) ||
                         now - transfer.lastEvent >= m_options.progressInterval;
        if (changed && due && (total > 0 || done > 0)) {
            transfer.lastTotal = total;
            transfer.lastDone = done;
            transfer.lastEvent = now;
            transferProgress(total, done);
        }
        return 0;
    }

    static int OnProgress(void* data, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal,
                          curl_off_t uploaded) {
        auto& transfer = *static_cast<Transfer*>(data);
        try {
            return transfer.upload ? transfer.control->Progress(transfer, uploadTotal, uploaded)
                                   : transfer.control->Progress(transfer, downloadTotal, downloaded);
        } catch (...) {
            // Nothing may leave through libcurl: end the transfer with false instead.
            transfer.failed = true;
            return 1;
        }
    }

    static std::size_t ReadChunk(char* buffer, std::size_t size, std::size_t count, void* data) {
        auto& transfer = *static_cast<Transfer*>(data);
        const std::size_t read = std::fread(buffer, 1, size * count, transfer.file);
        if (read == 0 && std::ferror(transfer.file) != 0) {
            return CURL_READFUNC_ABORT;
        }
        return read;
    }

    static std::size_t WriteChunk(char* bytes, std::size_t size, std::size_t count, void* data) {
        auto& transfer = *static_cast<Transfer*>(data);
        const std::size_t written = std::fwrite(bytes, 1, size * count, transfer.file);
        transfer.moved += static_cast<std::int64_t>(written);
        return written;  // fewer than offered: libcurl ends the transfer with a write error
    }

    // Keeps the server's last answer line; the fake headers libcurl adds (no reply code) are skipped.
    static std::size_t OnReply(char* bytes, std::size_t size, std::size_t count, void* data) {
        std::string_view line(bytes, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        const auto digit = [&line](std::size_t i) { return line.size() > i && line[i] >= '0' && line[i] <= '9'; };
        if (digit(0) && digit(1) && digit(2)) {
            try {
                static_cast<Session*>(data)->lastReply.assign(line);
            } catch (...) {
            }
        }
        return size * count;
    }

    static std::size_t ReadNothing(char*, std::size_t, std::size_t, void*) { return 0; }
    static std::size_t WriteNothing(char*, std::size_t size, std::size_t count, void*) { return size * count; }

    CurlFtpOptions m_options;
    std::unique_ptr<Session> m_session;
    std::string m_server;
    std::int32_t m_transferType = kTransferTypeBinary;
    std::string m_failure;
};

}  // namespace

std::unique_ptr<FtpControl> MakeCurlFtpControl() {
    return MakeCurlFtpControlWith(CurlFtpOptions{});
}

std::unique_ptr<FtpControl> MakeCurlFtpControlWith(const CurlFtpOptions& options) {
    return std::make_unique<CurlFtpControl>(options);
}

}  // namespace warenkai
