#include "app/outside_services.h"

#include "selectline/com/com_selectline.h"
#include "shop/curl/curl_ftp_control.h"

namespace warenkai {

SelectlineFactory MakeProgramSelectline(const std::filesystem::path&) {
    // The automation server "XFakt.App" knows its company itself.
    return MakeComSelectline();
}

std::unique_ptr<FtpControl> MakeProgramFtpControl() {
    return MakeCurlFtpControl();
}

}  // namespace warenkai
