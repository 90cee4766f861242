#include "shop/article_upload.h"

namespace warenkai {

void UploadArticleFiles(const Settings&, TransferContext&, int) {}

void RunShopImport(const Settings&, TransferContext&, int) {}

}  // namespace warenkai
