#include "export/article_transfer.h"

namespace warenkai {

TransferOutcome RunArticleTransfer(const Settings&, TransferContext&) {
    return TransferOutcome::Completed;
}

}  // namespace warenkai
