// Prints what the calculation makes of seeded random characters and spells, one line per case:
// the separator, the damage, each box's text read and written back as a number, and one random
// double written. Built natively and for WebAssembly from one seed, the two outputs must match
// byte for byte. The engine's raw outputs are used alone: std::mt19937_64 is the same in every
// C++ library, its distributions are not.
#include "damage.h"
#include "numbers.h"
#include "spelltable.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using runetally::Field;

std::mt19937_64 engine;

std::uint64_t Below(std::uint64_t n) {
    return engine() % n;
}

std::string Digits(std::uint64_t count) {
    std::string digits;
    for (std::uint64_t i = 0; i < count; ++i) {
        digits += static_cast<char>('0' + Below(10));
    }
    return digits;
}

// Text built a piece at a time, so that the engine is drawn in one order whatever the compiler:
// the operands of + may be evaluated in any order.
struct Text {
    std::string text;
    Text& operator<<(const std::string& piece) {
        text += piece;
        return *this;
    }
    Text& operator<<(char piece) {
        text += piece;
        return *this;
    }
};

std::string Number(std::uint64_t below) {
    return std::to_string(Below(below));
}

// Mostly numbers as a player types them with the separator; now and then in other forms, the
// other separator, or no number at all.
std::string RandomText(char separator) {
    const char other = separator == '.' ? ',' : '.';
    const char* const odd[] = {"",     " ",    "abc", "1e",  "e5",  ".",   "-",   "+",
                               "1..2", "0x10", "inf", "NaN", "1 2", "--1", "1e+", "\xe2\x88\x9e"};
    Text t;
    switch (Below(16)) {
    case 0:
    case 1:
    case 2:
        t << Number(1000);
        break;
    case 3:
    case 4:
        t << Number(100000) << separator;
        t << Digits(1 + Below(6));
        break;
    case 5: // more digits than the quick path takes
        t << Digits(1 + Below(12)) << separator;
        t << Digits(4 + Below(20));
        break;
    case 6:
        t << Digits(1 + Below(3)) << separator;
        t << Digits(Below(17)) << (Below(2) ? 'e' : 'E');
        t << (Below(3) == 0 ? "-" : Below(2) ? "+" : "");
        t << Number(330);
        break;
    case 7: // beside the ends of the double range
        t << (Below(2) ? "1" : "4") << separator;
        t << Digits(Below(18)) << 'e';
        t << (Below(2) ? "-3" : "3");
        t << Number(40);
        break;
    case 8:
        t << std::string(Below(3), ' ');
        t << (Below(2) ? "-" : "+");
        t << Number(500) << separator;
        t << Digits(Below(4));
        t << std::string(Below(3), ' ');
        break;
    case 9:
        t << (Below(2) ? "" : Number(10)) << separator;
        t << Digits(Below(3));
        break;
    case 10:
        t << Number(1000) << other;
        t << Digits(1 + Below(3));
        break;
    case 11:
        t << odd[Below(std::size(odd))];
        break;
    case 12:
        t << "0" << separator << std::string(Below(20), '0');
        t << Digits(1 + Below(3));
        break;
    case 13:
        t << Digits(15 + Below(15));
        break;
    default:
        t << Number(300);
        break;
    }
    return t.text;
}

std::string SpellName() {
    const std::uint64_t pick = Below(std::size(runetally::SpellTable) + 2);
    if (pick == std::size(runetally::SpellTable)) {
        return "";
    }
    if (pick > std::size(runetally::SpellTable)) {
        return "Unknown Spell";
    }
    return std::string(runetally::SpellTable[pick].name);
}

std::string Outcome(const runetally::DamageResult& result) {
    if (const auto* failure = std::get_if<runetally::DamageFailure>(&result)) {
        return runetally::FailureText(*failure);
    }
    const auto& outcome = std::get<runetally::DamageOutcome>(result);
    return outcome.kind == runetally::DamageOutcome::Kind::ShowText ? "show " + outcome.text
                                                                    : "no change";
}

// Any finite double, subnormals included, from the engine's bits.
double RandomDouble() {
    for (;;) {
        const std::uint64_t bits = engine();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            return value;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    engine.seed(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 17);
    for (long i = 0; i < count; ++i) {
        const char separator = i % 2 == 0 ? '.' : ',';
        runetally::SpellInputs inputs;
        inputs.spellName = SpellName();
        std::string line = std::to_string(i) + " " + separator + " | ";
        for (int f = 0; f < runetally::kFieldCount; ++f) {
            inputs.text(static_cast<Field>(f)) = RandomText(separator);
        }
        line += Outcome(runetally::CalculateDamage(inputs, separator));
        for (int f = 0; f < runetally::kFieldCount; ++f) {
            const auto number =
                runetally::ParseNumber(inputs.text(static_cast<Field>(f)), separator);
            line += " | " + (number ? runetally::FormatNumber(*number, separator) : "none");
        }
        line += " | " + runetally::FormatNumber(RandomDouble(), separator);
        std::puts(line.c_str());
    }
    return 0;
}
