// The program's exception: a message and an error code, and where it was raised.
#pragma once

#include <exception>
#include <string>

#include "core/Utf.h"

namespace pw {

class Exception : public std::exception {
public:
    Exception(std::u16string message, int code = 0, std::string function = {}, int line = 0)
        : m_message(std::move(message)),
          m_code(code),
          m_function(std::move(function)),
          m_line(line),
          m_what(toUtf8(m_message)) {}

    const std::u16string& message() const { return m_message; }
    int code() const { return m_code; }
    const std::string& function() const { return m_function; }
    int line() const { return m_line; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::u16string m_message;
    int m_code;
    std::string m_function;
    int m_line;
    std::string m_what;
};

}  // namespace pw
