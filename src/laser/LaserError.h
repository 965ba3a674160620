#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <exception>

// One row of the laser's error table: the exact message and its code.
struct TLaserErrorInfo {
    const char* Message;
    int Code;
};

// The twelve laser errors, indexed by code.
enum TLaserErrorCode : int {
    leUnknown = 0,            // "?" followed by anything but 0..4
    leOpenPort = 1,           // the port slot could not be opened
    leNoResponse = 2,         // a command that expects a reply got none
    leInvalidResponse = 3,    // a reply that must be a number is not
    leUnknownCommand = 4,     // "?0"
    leInvalidParameter = 5,   // "?1"
    leInvalidMode = 6,        // "?2"
    leCannotExecute = 7,      // "?3"
    leOptionNotInstalled = 8, // "?4"
    leFirmwareTooOld = 9,     // identification of an old laser
    leFilterIndex = 10,       // never raised
    leTimedOut = 11,          // a motor wait ran past its deadline
};

inline constexpr int LaserErrorCount = 12;

// The table itself; LaserErrors()[code].Code == code.
const std::array<TLaserErrorInfo, LaserErrorCount>& LaserErrors();

// The table row for `code`; codes outside 0..11 give the row of code 0.
const TLaserErrorInfo& LaserErrorInfo(int code);

// The code an error reply stands for: "?0".."?4" give 4..8, any other
// second character 0. Only meaningful for replies of two or more characters
// that begin with "?" (see IsErrorReply).
int ErrorReplyCode(const QByteArray& reply);

// A reply of two or more characters beginning with "?" is an error reply;
// a lone "?" is data.
bool IsErrorReply(const QByteArray& reply);

// Every failure of the laser object that the caller is meant to see.
class ELaserError : public std::exception {
public:
    explicit ELaserError(const TLaserErrorInfo& info);
    explicit ELaserError(int code); // the table row of `code`

    int ErrorCode() const noexcept { return FErrorCode; }
    QString Message() const { return QString::fromLatin1(FMessage); }
    const char* what() const noexcept override { return FMessage.constData(); }

private:
    QByteArray FMessage;
    int FErrorCode;
};
