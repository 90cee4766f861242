#include "app/main_services.h"

#include "app/outside_services.h"

#include "export/article_transfer.h"
#include "import/customer_order_import.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "common/user_dialogs.h"
#include "shop/connection_check.h"
#include "shop/curl/http_page_request.h"

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
    if (!services.connectionCheck) {
        services.connectionCheck = [](const Settings& settings, TransferContext& context) {
            // A test, not a transfer: answers within half a minute.
            const HttpPageOptions quick{std::chrono::seconds(10), std::chrono::seconds(30)};
            context.dialogs.ShowMessage(CheckShopConnection(settings, context.ftp, [&](const std::string& address) {
                const HttpPageResult result = RequestHttpPage(address, quick);
                return PageAnswer{result.Succeeded(), result.Describe()};
            }));
            return TransferOutcome::Completed;
        };
    }
    if (!services.makeFtpControl) {
        services.makeFtpControl = MakeProgramFtpControl;
    }
    if (!services.makeSelectline) {
        services.makeSelectline = MakeProgramSelectline;
    }
    return services;
}

}  // namespace warenkai
