#include "app/main_services.h"

#include "export/article_transfer.h"
#include "import/customer_order_import.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "selectline/standin/standin_selectline.h"
#include "shop/curl/curl_ftp_control.h"

namespace warenkai {

MainServices WithProgramDefaults(MainServices services) {
    if (!services.articleTransfer) {
        services.articleTransfer = [](const Settings& settings, TransferContext& context) {
            return RunArticleTransfer(settings, context);
        };
    }
    if (!services.pictureUpload) {
        services.pictureUpload = [](const Settings& settings, TransferContext& context) {
            return UploadPictures(settings, context);
        };
    }
    if (!services.customerOrderImport) {
        services.customerOrderImport = [](const Settings& settings, TransferContext& context) {
            return RunCustomerOrderImport(settings, context);
        };
    }
    if (!services.makeFtpControl) {
        services.makeFtpControl = MakeCurlFtpControl;
    }
    if (!services.makeSelectline) {
        services.makeSelectline = [](const std::filesystem::path& programFolder) {
            return MakeStandinSelectline(programFolder / kStandinDatabaseFileName);
        };
    }
    return services;
}

}  // namespace warenkai
