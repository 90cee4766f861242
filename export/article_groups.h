#pragma once

#include <filesystem>

#include "export/output_file.h"

namespace warenkai {

struct Settings;
struct TransferContext;
struct SelectlineSession;

inline constexpr const char* kGroupFileName = "artikelgruppe.csv";

// The second walk of the article transfer: "artikelgruppe.csv" in the program folder, one line
// (upper group, lower group) per article that goes to the shop and has a group, in table order. Uses
// the tables "AR" and "AG" of the session; moves the article table back to its first record first.
void ExportArticleGroups(const Settings& settings, TransferContext& context, SelectlineSession& session,
                         OutputFolder& folder = LocalDisk());

}  // namespace warenkai
