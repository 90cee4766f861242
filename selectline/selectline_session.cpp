#include "selectline/selectline_session.h"

#include <exception>
#include <thread>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/user_dialogs.h"

namespace warenkai {
namespace {

// Runs one call into the automation server. Its own errors pass as they are; anything else that
// goes wrong in it becomes a SelectlineError whose text begins with `failure`.
template <typename Call>
auto ServerCall(const std::string& failure, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const SelectlineError&) {
        throw;
    } catch (const std::exception& error) {
        const std::string reason = error.what();
        throw SelectlineError(reason.empty() ? failure + "." : failure + ": " + reason);
    } catch (...) {
        throw SelectlineError(failure + ".");
    }
}

}  // namespace

SelectlineTable& SelectlineSession::Table(const std::string& code) {
    for (auto& [tableCode, table] : tables) {
        if (tableCode == code) {
            return *table;
        }
    }
    throw SelectlineError("Die Tabelle " + code + " ist nicht geöffnet");
}

SelectlineSession OpenSelectlineSession(const std::vector<std::string>& tableCodes, TransferContext& context,
                                        const SessionTiming& timing) {
    context.dialogs.ShowMessage(kCloseSelectlineMessage);

    SelectlineSession session;
    const std::string startFailure = "Selectline kann nicht gestartet werden";
    session.application = ServerCall(startFailure, [&] {
        if (!context.selectline) {
            throw SelectlineError(startFailure + ".");
        }
        return context.selectline();
    });
    if (!session.application) {
        throw SelectlineError(startFailure + ".");
    }

    // Wait until the server accepts calls; a cancel is taken while it is still starting.
    const auto started = std::chrono::steady_clock::now();
    while (!ServerCall(startFailure, [&] { return session.application->ApplicationReady(); })) {
        context.status.SetStatusText(kSelectlineStartingStatus);
        if (context.cancel.Requested()) {
            throw TransferCancelled("Abgebrochen, bevor Selectline bereit war");
        }
        if (std::chrono::steady_clock::now() - started >= timing.readyTimeout) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timing.readyTimeout).count();
            throw SelectlineError("Selectline hat sich nach " + std::to_string(seconds) +
                                  " Sekunden nicht betriebsbereit gemeldet. Bitte prüfen Sie, ob Selectline "
                                  "gestartet werden kann, und versuchen Sie es dann noch einmal.");
        }
        std::this_thread::sleep_for(timing.pollInterval);
    }

    context.status.SetStatusText(kSelectlineLoginStatus);
    const std::string loginFailure = "Die Anmeldung bei Selectline ist fehlgeschlagen";
    ServerCall(loginFailure, [&] { session.application->login("", ""); });
    ServerCall(loginFailure, [&] { session.application->getMandant("", 1); });

    for (const auto& code : tableCodes) {
        const std::string tableFailure = "Die Tabelle " + code + " kann nicht geöffnet werden";
        auto table = ServerCall(tableFailure, [&] { return session.application->CreateTable(code); });
        if (!table) {
            throw SelectlineError(tableFailure + ".");
        }
        session.tables.emplace_back(code, std::move(table));
    }
    return session;
}

}  // namespace warenkai
