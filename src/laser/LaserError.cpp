#include "laser/LaserError.h"

const std::array<TLaserErrorInfo, LaserErrorCount>& LaserErrors() {
    static const std::array<TLaserErrorInfo, LaserErrorCount> table = {{
        {"Unknown error", leUnknown},
        {"Unable to open COM port", leOpenPort},
        {"No response from laser", leNoResponse},
        {"Invalid response from laser", leInvalidResponse},
        {"Unknown command", leUnknownCommand},
        {"Invalid parameter", leInvalidParameter},
        {"Invalid mode - must be in RS232 mode", leInvalidMode},
        {"Unable to execute command at this time", leCannotExecute},
        {"Option not installed", leOptionNotInstalled},
        {"Need to update laser firmware to V1.2 or later", leFirmwareTooOld},
        {"Filter index out of bounds", leFilterIndex},
        {"Command timed out", leTimedOut},
    }};
    return table;
}

const TLaserErrorInfo& LaserErrorInfo(int code) {
    if (code < 0 || code >= LaserErrorCount)
        code = leUnknown;
    return LaserErrors()[static_cast<std::size_t>(code)];
}

bool IsErrorReply(const QByteArray& reply) {
    return reply.size() > 1 && reply.at(0) == '?';
}

int ErrorReplyCode(const QByteArray& reply) {
    if (reply.size() < 2)
        return leUnknown;
    switch (reply.at(1)) {
    case '0':
        return leUnknownCommand;
    case '1':
        return leInvalidParameter;
    case '2':
        return leInvalidMode;
    case '3':
        return leCannotExecute;
    case '4':
        return leOptionNotInstalled;
    default:
        return leUnknown;
    }
}

ELaserError::ELaserError(const TLaserErrorInfo& info)
    : FMessage(info.Message), FErrorCode(info.Code) {}

ELaserError::ELaserError(int code) : ELaserError(LaserErrorInfo(code)) {}
