#pragma once

#include <exception>
#include <utility>

#include "selectline/variant.h"

namespace warenkai {

// A value of the automation server read ahead of its use (together with other fields of the same
// record, while the table stands on it), or the error that reading it raised. The error is raised
// only when the value is used: where reading the fields one by one, each when needed, would have
// raised it.
class ServerValue {
public:
    ServerValue() = default;

    template <class Read>
    static ServerValue Of(Read&& read) {
        ServerValue kept;
        try {
            kept.m_value = std::forward<Read>(read)();
        } catch (...) {
            kept.m_error = std::current_exception();
        }
        return kept;
    }

    // The value; raises the error of its reading.
    const Variant& Get() const {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
        return m_value;
    }
    bool failed() const { return m_error != nullptr; }

private:
    Variant m_value;
    std::exception_ptr m_error;
};

}  // namespace warenkai
