#include "comm/GenericController.h"

TGenericController::TGenericController(const QByteArray& address) : FAddress(address) {}

bool TGenericController::Open(int port) {
    return FChannel.Open(port, false);
}

void TGenericController::Close() {
    FChannel.Close();
}

bool TGenericController::Transact(const QByteArray& prefix, const QByteArray& command,
                                  bool waitReply, QByteArray& reply) {
    const QByteArray line = prefix + command + '\r';
    char buffer[ReplyRoom + 1];
    const bool ok = FChannel.Transact(line.constData(), buffer, waitReply ? '\r' : '\0', ReplyRoom);
    buffer[ReplyRoom] = '\0';
    reply = QByteArray(buffer);
    return ok;
}
