// The status poll's decode for every laser type (0..255, a byte on the
// wire) and so every family: the "SS" reply is read as the laser object
// reads it, and each derived bit is checked against its decode rule and the
// type rules.

#include "FuzzCheck.h"
#include "laser/Conversions.h"
#include "laser/StatusTables.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr TLaserStatus AllDerived = (1u << DerivedStatusBits) - 1;

bool RuleSets(const TStatusDecodeEntry& entry, quint32 raw) {
    const quint32 m = raw & entry.Mask;
    switch (entry.Kind) {
    case 0:
        return m == 0;
    case 1:
        return m != 0;
    case 2:
        return m == entry.Value;
    default:
        return false;
    }
}

void CheckDecode(quint32 raw, float firmware) {
    for (const TStatusFamily family :
         {TStatusFamily::General, TStatusFamily::A, TStatusFamily::B, TStatusFamily::C}) {
        const TStatusTable& table = StatusTableOf(family);
        const TLaserStatus status = DecodeStatus(raw, table);
        FUZZ_REQUIRE((status & ~AllDerived) == 0);
        for (int bit = 0; bit < DerivedStatusBits; ++bit) {
            const bool set = (status >> bit) & 1;
            FUZZ_REQUIRE(set == RuleSets(table[static_cast<std::size_t>(bit)], raw));
            FUZZ_REQUIRE(DerivedStatusNames[static_cast<std::size_t>(bit)] != nullptr);
        }
    }
    for (int type = 0; type <= 255; ++type) {
        const TStatusTable& table = StatusTableOf(StatusFamilyOfType(type));
        quint32 adjusted = raw;
        const TLaserStatus derived = DeriveStatus(adjusted, table, type, firmware);
        FUZZ_REQUIRE((derived & ~AllDerived) == 0);
        // Only a type 8 laser with its shutter closed loses bits: the diode
        // faults, and nothing else.
        if (type == 8 && !(raw & RawShutterOpen))
            FUZZ_REQUIRE(adjusted == (raw & ~RawDiodeFaults));
        else
            FUZZ_REQUIRE(adjusted == raw);
        const TLaserStatus decoded = DecodeStatus(adjusted, table);
        if (type == 5 && firmware < 2.0f && !(decoded & (lsTemp | lsExt | lsWork)))
            FUZZ_REQUIRE(derived == (decoded | lsOkToStart));
        else
            FUZZ_REQUIRE(derived == decoded);

        const bool fire = CanFireWith(derived, type, adjusted);
        if (fire) {
            FUZZ_REQUIRE(type != 0);
            FUZZ_REQUIRE(derived & (lsOn | lsStart));
            FUZZ_REQUIRE(
                !(derived & (lsFlow | lsTemp | lsExt | lsWork | lsStart | lsReset | lsBurstLock)));
            if (type == 8)
                FUZZ_REQUIRE(adjusted & RawRunTempOk);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto firmware = input.ConsumeFloatingPoint<float>();
    const auto raw = input.ConsumeIntegral<quint32>();
    CheckDecode(raw, firmware);

    // The rest is an "SS" reply; one that is not a number is refused.
    const QByteArray reply = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    try {
        CheckDecode(ParseHex32(reply), firmware);
    } catch (const EConvertError&) {
    }
    return 0;
}
