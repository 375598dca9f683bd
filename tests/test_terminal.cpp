#include "console/terminal.h"

#include <gtest/gtest.h>

namespace {

TEST(Terminal, ConversionVersUtf8)
{
    struct Cas {
        unsigned char octet;
        const char* utf8;
    };
    const Cas cas[] = {
        {'A', "A"},       {' ', " "},       {'\n', "\n"},     {0xE9, "\u00E9"},
        {0xC2, "\u00C2"}, {0xFF, "\u00FF"}, {0xA0, "\u00A0"}, {0x80, "\u20AC"},
        {0x9F, "\u0178"}, {0x81, "\uFFFD"}, // sans caractère
        {1, "\u263A"},    {2, "\u263B"},    {'\t', "\u25CB"}, {'\r', "\u266A"},
        {26, "\u2192"},   {27, "\u2190"},   {127, "\u2302"},  {0, " "},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(ConvertirOctetUtf8(c.octet), c.utf8) << static_cast<int>(c.octet);
    }
}

} // namespace
