#pragma once

#include <string>

namespace warenkai {

// The status area of the transfer tab: the status label `Statustext`, the error list `List2` and the
// progress bar `ProgressBar3`. Every transfer reports through it; the window never writes to it itself.
class StatusArea {
public:
    virtual ~StatusArea() = default;

    // Replaces the whole text of the status label.
    virtual void SetStatusText(const std::string& text) = 0;
    // Removes every line of the error list.
    virtual void ClearErrors() = 0;
    // Appends one line at the end of the error list.
    virtual void AddError(const std::string& line) = 0;
    // Sets the upper end of the progress bar's range (the lower end is always 0).
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual int ProgressMaximum() const = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual int ProgressValue() const = 0;
};

}  // namespace warenkai
