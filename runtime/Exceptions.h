#pragma once
#include <cstdio>
#include <exception>
#include <string>
#include <type_traits>
#include <utility>

namespace mirth {

// Every failure the program reports carries one fixed, user-facing message; the
// class says what kind of failure it was so callers can catch selectively.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define MIRTH_EXCEPTION(Name, Base)        \
    class Name : public Base {             \
    public:                                \
        using Base::Base;                  \
    }

MIRTH_EXCEPTION(EStreamError, Exception);
MIRTH_EXCEPTION(EReadError, EStreamError);
MIRTH_EXCEPTION(EWriteError, EStreamError);
MIRTH_EXCEPTION(EFOpenError, EStreamError);
MIRTH_EXCEPTION(EFCreateError, EStreamError);
MIRTH_EXCEPTION(EConvertError, Exception);
MIRTH_EXCEPTION(EInvalidOperation, Exception);
MIRTH_EXCEPTION(EOutOfResources, Exception);
MIRTH_EXCEPTION(EInvalidGraphic, Exception);
MIRTH_EXCEPTION(EInvalidGraphicOperation, Exception);
// The silent cancel: a handler raises it to stop an operation without a message.
MIRTH_EXCEPTION(EAbort, Exception);

#undef MIRTH_EXCEPTION

// printf-style formatting of the fixed message templates ("Cannot assign a %s to a %s").
template <typename... Args>
std::string Format(const char* pattern, const Args&... args)
{
    auto plain = [](const auto& a) -> decltype(auto) {
        if constexpr (std::is_same_v<std::decay_t<decltype(a)>, std::string>)
            return a.c_str();
        else
            return a;
    };
    const int length = std::snprintf(nullptr, 0, pattern, plain(args)...);
    if (length <= 0)
        return std::string(pattern);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, plain(args)...);
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace mirth
