// The error types the program raises. Each carries its message as UTF-16 text, ready
// for the user; what() gives the same text in UTF-8 for diagnostics.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

class EError : public std::exception {
public:
    explicit EError(std::wstring Message);
    const std::wstring& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    std::wstring FMessage;
    std::string FUtf8;
};

// A failed system call: the system's own text for the error number, then the context
// (usually the path involved).
class EOSError : public EError {
public:
    EOSError(DWORD Code, const std::wstring& Context);
    DWORD ErrorCode() const noexcept { return FCode; }

private:
    DWORD FCode;
};

// A text that is not what it should be (a version or a number).
class EConvertError : public EError {
public:
    using EError::EError;
};

// A value outside the range an operation accepts.
class ERangeError : public EError {
public:
    using EError::EError;
};

// The system's message for an error number, without the trailing line break.
std::wstring SystemErrorMessage(DWORD Code);
