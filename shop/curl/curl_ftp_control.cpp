#include "shop/curl/curl_ftp_control.h"

namespace warenkai {
namespace {

class CurlFtpControl final : public FtpControl {
public:
    bool connect(const std::string&, const std::string&, const std::string&, std::int32_t) override { return false; }
    bool upload(const std::string&, const std::string&, std::int32_t) override { return false; }
    bool download(const std::string&, const std::string&) override { return false; }
    void disconnect() override {}
    void setTransfertype(std::int32_t) override {}
};

}  // namespace

std::unique_ptr<FtpControl> MakeCurlFtpControl(EventLoop&) {
    return std::make_unique<CurlFtpControl>();
}

}  // namespace warenkai
