// The relay address "host" or "host|port" from any text: the host is the
// text before the first bar, the port is 1..65535 and 1024 whenever the text
// after the bar gives no usable port; a host and a port put together read
// back as themselves.

#include "FuzzCheck.h"
#include "comm/NetworkAddress.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto port = input.ConsumeIntegralInRange<quint16>(1, 65535);
    const QString address = QString::fromUtf8(input.ConsumeRemainingBytesAsString());

    const comm::TNetworkAddress parsed = comm::ParseNetworkAddress(address);
    const qsizetype bar = address.indexOf(QLatin1Char('|'));
    FUZZ_REQUIRE(parsed.Port >= 1);
    if (bar < 0) {
        FUZZ_REQUIRE(parsed.Host == address);
        FUZZ_REQUIRE(parsed.Port == comm::DefaultRelayPort);
    } else {
        FUZZ_REQUIRE(parsed.Host == address.left(bar));
        // A port other than the default came from the characters after the
        // bar: its digits are there.
        const QString after = address.mid(bar + 1, 5);
        if (parsed.Port != comm::DefaultRelayPort)
            FUZZ_REQUIRE(after.contains(QString::number(parsed.Port)));
        if (after.isEmpty())
            FUZZ_REQUIRE(parsed.Port == comm::DefaultRelayPort);
    }

    const QString host = parsed.Host;
    const comm::TNetworkAddress joined =
        comm::ParseNetworkAddress(host + QLatin1Char('|') + QString::number(port));
    FUZZ_REQUIRE(joined.Host == host && joined.Port == port);
    const comm::TNetworkAddress alone = comm::ParseNetworkAddress(host);
    FUZZ_REQUIRE(alone.Host == host && alone.Port == comm::DefaultRelayPort);
    return 0;
}
