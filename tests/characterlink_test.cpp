#include "characterlink.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace runetally;
using namespace std::string_literals;

namespace {

TEST(CharacterLink, ReadsUrlSafeBase64WithOrWithoutPadding) {
    // RFC 4648's vectors, and the two characters that URL-safe base64 writes in place of + and /.
    const struct {
        const char* fragment;
        std::string text;
    } cases[] = {{"c=", ""},
                 {"c=Zg", "f"},
                 {"c=Zm8=", "fo"},
                 {"c=Zm9v", "foo"},
                 {"c=Zm9vYg==", "foob"},
                 {"c=Zm9vYmE", "fooba"},
                 {"c=Zm9vYmFy", "foobar"},
                 {"c=-_8", "\xFB\xFF"s}};
    for (const auto& c : cases) {
        EXPECT_EQ(LinkedCharacterText(c.fragment), c.text) << c.fragment;
    }
}

TEST(CharacterLink, TextThatIsNoBase64ComesBackAsItStands) {
    EXPECT_EQ(LinkedCharacterText("c={\"format\""), "{\"format\"");
    EXPECT_EQ(LinkedCharacterText("c=Zm9v+Yg"), "Zm9v+Yg"); // '+' is not URL-safe
    EXPECT_EQ(LinkedCharacterText("c=Zm9vY"), "Zm9vY");     // a lone sixth of a byte
}

TEST(CharacterLink, OtherFragmentsCarryNoCharacter) {
    EXPECT_EQ(LinkedCharacterText(""), std::nullopt);
    EXPECT_EQ(LinkedCharacterText("top"), std::nullopt);
    EXPECT_EQ(LinkedCharacterText("C=Zm9v"), std::nullopt);
}

TEST(CharacterLink, CarriesTheFileTextThereAndBack) {
    Character thalia;
    thalia.spellName = "Meteor";
    thalia.varInt = "123,5";
    thalia.varLevel = "sixty";
    const std::string fragment = CharacterLinkFragment(thalia, ',');
    ASSERT_TRUE(fragment.starts_with("c="));
    EXPECT_EQ(fragment.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                         "0123456789-_",
                                         2),
              std::string::npos);
    EXPECT_EQ(LinkedCharacterText(fragment), CharacterFileText(thalia, ','));
}

} // namespace
