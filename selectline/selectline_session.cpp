#include "selectline/selectline_session.h"

namespace warenkai {

SelectlineTable& SelectlineSession::Table(const std::string& code) {
    for (auto& [tableCode, table] : tables) {
        if (tableCode == code) {
            return *table;
        }
    }
    throw SelectlineError("Die Tabelle " + code + " ist nicht geöffnet");
}

SelectlineSession OpenSelectlineSession(const std::vector<std::string>& tableCodes, TransferContext& context,
                                        const SessionTiming&) {
    SelectlineSession session;
    session.application = context.selectline();
    for (const auto& code : tableCodes) {
        session.tables.emplace_back(code, session.application->CreateTable(code));
    }
    return session;
}

}  // namespace warenkai
