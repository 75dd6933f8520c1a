#pragma once
// The kinds of error the program raises. Every one carries its message as
// UTF-16 text; the command boundary shows that text to the user.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::u16string message);
    const std::u16string& Message() const noexcept { return message_; }
    // The message in UTF-8, for logs and test output.
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::u16string message_;
    std::string utf8_;
};

// A text that breaks the integer text rule.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Input and output: the serial link's failures and the text files' failures.
// ErrorCode is the system's error number where one caused it, 0 otherwise.
class EInOutError : public Exception {
public:
    explicit EInOutError(std::u16string message, int errorCode = 0)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    int ErrorCode;
};

// The per-user settings store could not be read or written.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A string list could not open, create or write its file.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};
class EWriteError : public Exception {
public:
    using Exception::Exception;
};

// The system's text for an error number (strerror), as UTF-16.
std::u16string SystemErrorMessage(int errorNumber);
