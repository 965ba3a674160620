#pragma once

#include <QString>

class QSerialPort;
class TNetworkConnection;

// One slot of the connection manager's port table (ports 1..16).
//
// The manager owns what Handle and Connection point to. A copy of a record
// (the saved table) carries the pointers along but never uses them: they
// belong to the live table only.
struct TPortData {
    // The current holders opened the port for exclusive use; meaningful only
    // while OpenCount is above 0.
    bool Exclusive = false;
    // The open serial device, or nullptr (the "invalid handle"). Set only
    // while OpenCount is above 0 and the port has no Connection.
    QSerialPort* Handle = nullptr;
    // The TCP relay connection this port is routed to, or nullptr.
    TNetworkConnection* Connection = nullptr;
    // The address text the routing was made from ("host" or "host|port").
    QString Address;
    // The serial device of this slot could be opened when the manager was
    // created. A device plugged in later is never present.
    bool Present = false;
    // Reply time-out of transactions on this port, in milliseconds. Belongs
    // to the port, not to a holder: kept across closes and re-opens.
    int Timeout = 1000;
    // Number of current holders.
    int OpenCount = 0;
};
