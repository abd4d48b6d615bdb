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
        s.failed_ = true;
        s.message_ = std::move(message);
        return s;
    }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    // Empty when fine.
    const std::string &Message() const { return message_; }

private:
    bool failed_ = false;
    std::string message_;
};
