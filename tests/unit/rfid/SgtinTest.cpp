// SGTIN-96 and SGTIN-198 against GS1's published examples and the EPCs of
// the settings template's tags 1 and 2 (decoded with an independent EPC
// library).
#include <gtest/gtest.h>

#include "rfid/Sgtin.h"

namespace {

std::string Encoded(const TSgtin& ASgtin) {
  std::string Error;
  const auto Hex = EncodeSgtin(ASgtin, Error);
  EXPECT_TRUE(Hex) << Error;
  return Hex.value_or("");
}

TSgtin Made(std::string_view AGtin, std::string_view ASerial, int AFilter, int ALength, TSgtinScheme AScheme) {
  std::string Error;
  const auto Sgtin = MakeSgtin(AGtin, ASerial, AFilter, ALength, AScheme, Error);
  EXPECT_TRUE(Sgtin) << Error;
  return Sgtin.value_or(TSgtin{});
}

bool Refused(std::string_view AGtin, std::string_view ASerial, int AFilter, int ALength, TSgtinScheme AScheme) {
  std::string Error;
  const bool Made = MakeSgtin(AGtin, ASerial, AFilter, ALength, AScheme, Error).has_value();
  return !Made && !Error.empty();
}

}  // namespace

TEST(Sgtin, TheStandardsSgtin96ExampleBothWays) {
  const auto Sgtin = DecodeSgtin("3074257BF7194E4000001A85");
  ASSERT_TRUE(Sgtin);
  EXPECT_EQ(SgtinTagUri(*Sgtin), "urn:epc:tag:sgtin-96:3.0614141.812345.6789");
  EXPECT_EQ(SgtinPureUri(*Sgtin), "urn:epc:id:sgtin:0614141.812345.6789");
  EXPECT_EQ(SgtinGtin(*Sgtin), "80614141123458");
  EXPECT_EQ(Encoded(Made("80614141123458", "6789", 3, 7, TSgtinScheme::ssSgtin96)), "3074257BF7194E4000001A85");
  EXPECT_TRUE(DecodeSgtin("3074257bf7194e4000001a85")) << "lower case reads as well";
}

TEST(Sgtin, TheDefaultEpcsOfTagsOneAndTwo) {
  const auto Tag1 = DecodeSgtin("3074367C34001E880A6D6168");
  ASSERT_TRUE(Tag1);
  EXPECT_EQ(Tag1->Filter, 3);
  EXPECT_EQ(Tag1->CompanyPrefix, "0892685");
  EXPECT_EQ(Tag1->ItemReference, "000122");
  EXPECT_EQ(Tag1->Serial, "34534678888");
  EXPECT_EQ(SgtinGtin(*Tag1), "00892685001225");
  const auto Tag2 = DecodeSgtin("30751BD15C35BC0508B59F22");
  ASSERT_TRUE(Tag2);
  EXPECT_EQ(SgtinGtin(*Tag2), "04650071550247");
  EXPECT_EQ(Tag2->Serial, "21620956962");
  EXPECT_EQ(Encoded(Made("00892685001225", "34534678888", 3, 7, TSgtinScheme::ssSgtin96)), "3074367C34001E880A6D6168");
  // The GTIN-13 of the same item gives the same EPC.
  EXPECT_EQ(Encoded(Made("4650071550247", "21620956962", 3, 7, TSgtinScheme::ssSgtin96)), "30751BD15C35BC0508B59F22");
}

TEST(Sgtin, TheStandardsSgtin198ExampleBothWays) {
  const char* Hex = "3666C4409047E159B2C2BF100000000000000000000000000000";
  const auto Sgtin = DecodeSgtin(Hex);
  ASSERT_TRUE(Sgtin);
  EXPECT_EQ(SgtinTagUri(*Sgtin), "urn:epc:tag:sgtin-198:3.95060001343.05.32a%2Fb");
  EXPECT_EQ(SgtinPureUri(*Sgtin), "urn:epc:id:sgtin:95060001343.05.32a%2Fb");
  EXPECT_EQ(SgtinGtin(*Sgtin), "09506000134352");
  EXPECT_EQ(Encoded(Made("09506000134352", "32a/b", 3, 11, TSgtinScheme::ssSgtin198)), Hex);
}

TEST(Sgtin, TheCheckDigitIsVerified) {
  std::string Error;
  EXPECT_EQ(NormalizeGtin("4650071550247", Error), "04650071550247");
  EXPECT_FALSE(NormalizeGtin("4650071550246", Error));
  EXPECT_NE(Error.find("check digit"), std::string::npos) << Error;
  EXPECT_FALSE(NormalizeGtin("80614141123457", Error));
  for (const char* Gtin : {"", "123456789012", "806141411234580", "8061414112345x"})
    EXPECT_FALSE(NormalizeGtin(Gtin, Error)) << Gtin;
}

TEST(Sgtin, ValuesTheSchemeCannotCarryAreRefused) {
  constexpr auto S96 = TSgtinScheme::ssSgtin96;
  constexpr auto S198 = TSgtinScheme::ssSgtin198;
  EXPECT_FALSE(Refused("80614141123458", "274877906943", 1, 7, S96));
  EXPECT_TRUE(Refused("80614141123458", "274877906944", 1, 7, S96));
  EXPECT_TRUE(Refused("80614141123458", "0123", 1, 7, S96));
  EXPECT_TRUE(Refused("80614141123458", "A1", 1, 7, S96));
  EXPECT_TRUE(Refused("80614141123458", "1", 8, 7, S96));
  EXPECT_TRUE(Refused("80614141123458", "1", 1, 5, S96));
  EXPECT_TRUE(Refused("80614141123458", "1", 1, 13, S96));
  EXPECT_FALSE(Refused("80614141123458", "01234567890123456789", 1, 7, S198));
  EXPECT_TRUE(Refused("80614141123458", "012345678901234567890", 1, 7, S198));
  EXPECT_TRUE(Refused("80614141123458", "a#b", 1, 7, S198));
  EXPECT_TRUE(Refused("80614141123458", "", 1, 7, S198));
}

TEST(Sgtin, EveryPartitionRoundTrips) {
  for (int Length = 6; Length <= 12; ++Length) {
    const TSgtin Sgtin = Made("80614141123458", "274877906943", 7, Length, TSgtinScheme::ssSgtin96);
    EXPECT_EQ(Sgtin.CompanyPrefix.size() + Sgtin.ItemReference.size(), 13u);
    const auto Back = DecodeSgtin(Encoded(Sgtin));
    ASSERT_TRUE(Back) << Length;
    EXPECT_EQ(SgtinGtin(*Back), "80614141123458");
    EXPECT_EQ(Back->CompanyPrefix.size(), static_cast<std::size_t>(Length));
    EXPECT_EQ(Back->Serial, "274877906943");
  }
}

TEST(Sgtin, WhatIsNoSgtinDecodesToNothing) {
  for (const char* Hex : {"", "3074257BF7194E4000001A8", "3074257BF7194E4000001A8G", "3174257BF7194E4000001A85",
                          // partition 7
                          "307C257BF7194E4000001A85",
                          // a company prefix past 999999999999 (partition 0, all ones)
                          "3063FFFFFFFFFF0000000000",
                          "E28011002000589616B408A1",
                          // SGTIN-198 whose serial goes on after its end
                          "3666C4409047E159B2C2BF100000000000000000000000000001",
                          "3666C4409047E159B2C2BF1000000000000000000000000000"})
    EXPECT_FALSE(DecodeSgtin(Hex)) << Hex;
}
