// The worker's payload step: the embedded payload unpacked whole, a failed
// extraction told apart from every other failure, and the moment the
// caller's "opened" step runs.
#include "win/payload.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "codepage.h"
#include "fsys.h"
#include "testfs.h"
#include "win/resourcestream.h"
#include "win/winraii.h"

namespace vexa::win {
namespace {

using Tree = std::vector<std::pair<std::string, std::string>>;

// What the test payload holds.
const Tree kPayloadTree = {{"Vexa.exe", "MZ sample client\r\n"}, {"cache", "<dir>"},
                           {"cache/c.bin", "cached bytes"},      {"cache/empty.dat", ""},
                           {"sub", "<dir>"},                     {"sub/a.txt", "alpha\n"}};

Tree Sorted(Tree t) {
  std::sort(t.begin(), t.end());
  return t;
}

TEST(Payload, UnpacksTheEmbeddedTreeAfterTellingTheCallerItOpened) {
  test::TempDir dir;
  const std::string target = dir / "vevovidi";  // created by the step
  int opened = 0;
  const PayloadResult r = UnpackPayload(target, [&] { ++opened; });
  EXPECT_EQ(r.outcome, PayloadOutcome::Unpacked) << r.why;
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(test::Snapshot(target), Sorted(kPayloadTree));
}

TEST(Payload, FileHeldOpenWithoutSharingIsAFailedUnpackKeepingWhatCameBefore) {
  test::TempDir dir;
  const std::string target = dir / "vevovidi";
  test::MakeDirs(target);
  test::WriteBytes(target + "\\Vexa.exe", "old");
  UniqueFile held(CreateFileW(Cp936ToWide(target + "\\Vexa.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const PayloadResult r = UnpackPayload(target);
  EXPECT_EQ(r.outcome, PayloadOutcome::UnpackFailed);
  EXPECT_FALSE(r.why.empty());
  held.reset();
  EXPECT_EQ(test::ReadBytes(target + "\\Vexa.exe"), "old");
  EXPECT_TRUE(fsys::DirectoryExists(target + "\\cache"));  // archived before Vexa.exe
}

TEST(Payload, MissingResourceIsAnErrorAndTheOpenedStepDoesNotRun) {
  test::TempDir dir;
  int opened = 0;
  const PayloadResult r = UnpackPayload(dir / "vevovidi", [&] { ++opened; }, "NOPAYLOAD");
  EXPECT_EQ(r.outcome, PayloadOutcome::Error);
  EXPECT_NE(r.why.find("NOPAYLOAD"), std::string::npos) << r.why;
  EXPECT_EQ(opened, 0);
  EXPECT_FALSE(fsys::DirectoryExists(dir / "vevovidi"));
}

struct StreamCase {
  const char* label;
  std::string payload;
  const char* target;  // below the temporary folder
};

class PayloadErrors : public ::testing::TestWithParam<StreamCase> {};

TEST_P(PayloadErrors, AreErrorsWithAReasonNotFailedUnpacks) {
  test::TempDir dir;
  TStringStream payload(GetParam().payload);
  const PayloadResult r = UnpackPayloadStream(payload, dir / GetParam().target);
  EXPECT_EQ(r.outcome, PayloadOutcome::Error);
  EXPECT_FALSE(r.why.empty());
}

const std::string kGood(ResourceBytes("TXTFILE", "VEXA"));

std::string WithLastByteFlipped(std::string s) {
  s.back() = static_cast<char>(s.back() ^ 0x5a);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PayloadErrors,
    ::testing::Values(StreamCase{"not_zlib", "this is no zlib stream", "vevovidi"},
                      StreamCase{"cut_short", kGood.substr(0, kGood.size() / 2), "vevovidi"},
                      StreamCase{"checksum_damaged", WithLastByteFlipped(kGood), "vevovidi"},
                      StreamCase{"empty", "", "vevovidi"},
                      StreamCase{"target_not_creatable", kGood, "missing\\deeper\\vevovidi"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace vexa::win
