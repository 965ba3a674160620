#pragma once

#include <QByteArray>

#include <stdexcept>

// Unit conversions and the number formats of the laser protocol.

// The number parser's error: a reply that should have been a number was not
// (or does not fit). Not an ELaserError; callers that must report leInvalidResponse
// translate it.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QByteArray& text);
};

// min when v < min (or v is NaN), max when v > max, else v.
float ClampValue(float v, float min, float max);

// max x percent / 100, rounded to the nearest integer with exact halves going
// to the even neighbour (FromPercent(255, 50) = 128, FromPercent(255, 10) = 26),
// then limited to 0..max. The product is formed exactly from the single's
// binary value, so halves are recognised exactly. NaN gives 0.
int FromPercent(int max, float percent);

// v x 100 / max as a percentage limited to 0..100. A max of 0 or less (a
// blade without travel) gives 0.
float ToPercent(int value, int max);

// Reply parsers. Surrounding blanks are ignored; anything else that is not
// part of the number throws EConvertError.
// Decimal integer with an optional sign, within 32 bits.
int ParseDecimal(const QByteArray& text);
// Hexadecimal digits of either case; leading zeros are allowed in any
// number, and the value must fit 32 bits ("0000600010" is 0x600010).
quint32 ParseHex32(const QByteArray& text);
// The same for values that must fit 64 bits.
quint64 ParseHex64(const QByteArray& text);
// Decimal fraction with "." as separator ("2.10").
float ParseFraction(const QByteArray& text);

// Wire formats: `prefix` followed by `value` in decimal with at least
// `digits` digits, zero-padded on the left ("RR" 50 with 5 digits gives
// RR00050; larger values take more digits, negative ones keep the sign in
// front: "SR" -5 with 2 digits gives SR-05).
QByteArray WithDecimal(const char* prefix, qint64 value, int digits = 1);
// `prefix` followed by `value` in upper-case hexadecimal with at least
// `digits` digits ("ER" 0x0F90 with 4 digits gives ER0F90).
QByteArray WithHex(const char* prefix, quint64 value, int digits);
