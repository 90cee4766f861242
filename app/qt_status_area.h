#pragma once

#include <string>

#include "common/status_area.h"

class QLabel;
class QListWidget;
class QProgressBar;

namespace warenkai {

// The status area of the transfer tab: `Statustext`, `List2` and `ProgressBar3`.
class QtStatusArea final : public StatusArea {
public:
    // `result` is the line below the status text that shows the result in numbers.
    QtStatusArea(QLabel& statusText, QLabel& result, QListWidget& errorList, QProgressBar& progressBar);

    void SetStatusText(const std::string& text) override;
    void ClearErrors() override;
    using StatusArea::AddError;
    // The cause becomes the line's tooltip.
    void AddError(const std::string& line, const std::string& cause) override;
    void SetResult(const std::string& line) override;
    void SetProgressMaximum(int maximum) override;
    int ProgressMaximum() const override;
    void SetProgressValue(int value) override;
    int ProgressValue() const override;

private:
    QLabel& m_statusText;
    QLabel& m_result;
    QListWidget& m_errorList;
    QProgressBar& m_progressBar;
    // What the transfers set. The bar shows them; it cannot show a maximum of 0 as an empty bar.
    int m_maximum;
    int m_value;
};

}  // namespace warenkai
