#pragma once
// How the program's own functions say that something failed: a Status is
// either fine or carries the message the user is shown, in the program's own
// words. Every function that can fail returns one, and a caller cannot drop it
// unread.
#include <string>
#include <utility>

class [[nodiscard]] Status {
public:
    Status() = default;   // fine
    static Status Failure(std::string message)
    {
        Status s;
        s.m_failed = true;
        s.m_message = std::move(message);
        return s;
    }

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return !m_failed; }
    // Empty when fine.
    const std::string &Message() const { return m_message; }

private:
    bool m_failed = false;
    std::string m_message;
};
