// What quorvel-tags reads before it asks a reader anything: tag files, and
// the tags of an SGTIN series with their generated TIDs.
#include <gtest/gtest.h>

#include "quorvel-tags/SgtinTags.h"
#include "quorvel-tags/TagCsv.h"

using quorvel_tags::ReadTagCsv;

TEST(TagCsv, TheSameFileReadsOnEverySystem) {
  const auto Csv = ReadTagCsv("\xEF\xBB\xBFTID,EPC,USER\r\nE2003412AABBCCDD,3074257bf7194e4000001a85,\r\n\r\n"
                              " \"11223344\" , , 0A0B \r\naabbccdd");
  ASSERT_EQ(Csv.BadLine, 0u) << Csv.Error;
  ASSERT_EQ(Csv.Tags.size(), 3u);
  EXPECT_EQ(Csv.Tags[0].EPC, "3074257bf7194e4000001a85");
  EXPECT_EQ(Csv.Tags[1].TID, "11223344");
  EXPECT_EQ(Csv.Tags[1].EPC, "");
  EXPECT_EQ(Csv.Tags[1].User, "0A0B");
  EXPECT_EQ(Csv.Tags[2].TID, "aabbccdd");
}

TEST(TagCsv, OneBadLineRefusesTheFileAndIsNamed) {
  const std::pair<const char*, std::size_t> Bad[] = {
      {"TID,EPC,USER\n\nAABBCCDD,0\n", 3},              // odd EPC, after a blank line
      {"AABBCCDD\nTID,EPC,USER\n", 2},                  // a header only comes first
      {"AABBCCDD,00,11,22\n", 1},                       // four fields
      {"AABBCC\n", 1},                                  // 6 digits
      {"AABBCCDD\n11223344\naabbccdd\n", 3},            // the same TID again
      {"\"AABBCCDD,00\n", 1}};
  for (const auto& [Text, Line] : Bad) {
    const auto Csv = ReadTagCsv(Text);
    EXPECT_EQ(Csv.BadLine, Line) << Text;
    EXPECT_TRUE(Csv.Tags.empty());
    EXPECT_FALSE(Csv.Error.empty());
  }
  EXPECT_NE(ReadTagCsv("AABBCCDD\n11223344\naabbccdd\n").Error.find("line 1"), std::string::npos);
  std::string Many;
  for (int I = 0; I <= 10000; ++I) Many += std::to_string(10000000 + I) + "\n";
  EXPECT_EQ(ReadTagCsv(Many).BadLine, 10001u);
}

TEST(SgtinTags, GeneratedTidsAreDeterministicAndSkipTakenOnes) {
  quorvel_tags::TSgtinRequest Request;
  Request.Gtin = "4650071550247";
  std::string Error;
  Request.Serials = *quorvel_tags::SerialRange("1-3", Error);
  const auto Fresh = quorvel_tags::SgtinTags(Request, {}, Error);
  ASSERT_TRUE(Fresh) << Error;
  EXPECT_EQ((*Fresh)[0].TID, "E28011900000000000000001");
  EXPECT_EQ((*Fresh)[2].TID, "E28011900000000000000003");
  EXPECT_EQ((*Fresh)[0].EPC, "30351BD15C35BC0000000001");
  const auto Again = quorvel_tags::SgtinTags(Request, {"E28011900000000000000002"}, Error);
  ASSERT_TRUE(Again);
  EXPECT_EQ((*Again)[1].TID, "E28011900000000000000003");
  EXPECT_EQ((*Again)[2].TID, "E28011900000000000000004");
  EXPECT_EQ(quorvel_tags::NextTID("0000FFFF"), "00010000");
  EXPECT_FALSE(quorvel_tags::NextTID("FFFFFFFF"));
  Request.TIDStart = "FFFFFFFE";
  EXPECT_FALSE(quorvel_tags::SgtinTags(Request, {}, Error));
  EXPECT_FALSE(quorvel_tags::SerialRange("5-4", Error));
  EXPECT_FALSE(quorvel_tags::SerialRange("1-10001", Error));
  EXPECT_EQ(quorvel_tags::SerialRange("1-10000", Error)->size(), 10000u);
}
