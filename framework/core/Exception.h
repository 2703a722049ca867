// The framework's exception classes. Every failure the framework or the engine reports is an
// Exception carrying a message text; the classes below are the kinds callers tell apart.
#pragma once

#include <cstdarg>
#include <exception>
#include <string>

// printf-style formatting into a std::string (the toolchain's library has no std::format).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define DECLARE_EXCEPTION(Name, Base)                         \
    class Name : public Base {                                \
    public:                                                   \
        explicit Name(std::string message) : Base(std::move(message)) {} \
    }

DECLARE_EXCEPTION(EStreamError, Exception);
DECLARE_EXCEPTION(EFilerError, EStreamError);
DECLARE_EXCEPTION(EReadError, EFilerError);      // a stream ended early; a bad form description
DECLARE_EXCEPTION(EWriteError, EFilerError);
DECLARE_EXCEPTION(EClassNotFound, EReadError);   // a class name the registry does not know
DECLARE_EXCEPTION(EFileStreamError, EStreamError);
DECLARE_EXCEPTION(EFCreateError, EFileStreamError); // "Cannot create file ..."
DECLARE_EXCEPTION(EFOpenError, EFileStreamError);   // "Cannot open file ..."
DECLARE_EXCEPTION(EListError, Exception);        // index out of bounds
DECLARE_EXCEPTION(EConvertError, Exception);     // bad conversion; the default Assign
DECLARE_EXCEPTION(EComponentError, Exception);   // bad or duplicate component name
DECLARE_EXCEPTION(EPropertyError, Exception);    // unknown property, wrong kind or value
DECLARE_EXCEPTION(EParserError, EReadError);     // syntax error in a form description
DECLARE_EXCEPTION(EInvalidOperation, Exception);
DECLARE_EXCEPTION(EOutOfResources, Exception);   // the platform refused a handle or memory
DECLARE_EXCEPTION(EOSError, Exception);          // a platform call failed
