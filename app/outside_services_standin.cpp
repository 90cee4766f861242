#include "app/outside_services.h"

#include "selectline/standin/standin_selectline.h"
#include "shop/curl/curl_ftp_control.h"

namespace warenkai {

SelectlineFactory MakeProgramSelectline(const std::filesystem::path& programFolder) {
    return MakeStandinSelectline(programFolder / kStandinDatabaseFileName);
}

std::unique_ptr<FtpControl> MakeProgramFtpControl() {
    return MakeCurlFtpControl();
}

}  // namespace warenkai
