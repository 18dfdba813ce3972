// The payload codec: zlib streams over the project's streams, and the
// string conversions around them.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "testfs.h"
#include "uzrcommon.h"

namespace vexa {
namespace {

using test::FromHex;
using test::Hex;

std::string Compress(const std::string& data) {
  TStringStream in(data), out;
  CompressStream(in, out);
  return out.DataString();
}

std::string Decompress(const std::string& data) {
  TStringStream in(data), out;
  DecompressStream(in, out);
  return out.DataString();
}

std::string ZlibCompress2(const std::string& data) {
  uLongf len = compressBound(static_cast<uLong>(data.size()));
  std::string out(len, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(data.data()),
                      static_cast<uLong>(data.size()), 6),
            Z_OK);
  out.resize(len);
  return out;
}

std::string Sample(std::size_t size, unsigned seed, bool text) {
  std::string s(size, '\0');
  unsigned x = seed;
  for (std::size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    s[i] = text ? "vexa exam client \r\n"[(x >> 16) % 19] : static_cast<char>(x >> 16);
  }
  return s;
}

TEST(Codec, EmptySourceGivesTheEightByteStream) {
  EXPECT_EQ(Hex(Compress("")), "78 9c 03 00 00 00 00 01");
  EXPECT_EQ(Decompress(FromHex("78 9c 03 00 00 00 00 01")), "");
}

struct SizeCase {
  const char* name;
  std::size_t size;
  bool text;
};

// Round trips, and output identical to zlib's own compress2 at level 6,
// across sizes that straddle the codec's internal buffers.
TEST(Codec, RoundTripsAndMatchesCompress2) {
  const std::vector<SizeCase> cases = {
      {"one byte", 1, false},          {"small text", 1000, true},
      {"one buffer", 256 * 1024, false}, {"buffer plus one", 256 * 1024 + 1, true},
      {"several buffers", 1300000, true}, {"incompressible", 700000, false},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = Sample(c.size, static_cast<unsigned>(c.size), c.text);
    const std::string z = Compress(data);
    EXPECT_EQ(z.substr(0, 2), "\x78\x9c");
    EXPECT_TRUE(z == ZlibCompress2(data));
    EXPECT_TRUE(Decompress(z) == data);
  }
}

TEST(Codec, BytesAfterTheStreamAreIgnored) {
  const std::string data = Sample(5000, 3, true);
  EXPECT_EQ(Decompress(Compress(data) + "trailing junk"), data);
}

TEST(Codec, BothDirectionsAppendAtTheDestinationsPosition) {
  TStringStream src("payload"), dest("earlier");
  dest.SetPosition(7);
  CompressStream(src, dest);
  EXPECT_EQ(dest.DataString().substr(0, 7), "earlier");
  EXPECT_EQ(dest.DataString().substr(7), Compress("payload"));

  TStringStream z(Compress("payload")), out("earlier");
  z.SetPosition(z.Size());  // as StringToStream leaves it: still read from the start
  out.SetPosition(7);
  DecompressStream(z, out);
  EXPECT_EQ(out.DataString(), "earlierpayload");
}

struct BadStreamCase {
  const char* name;
  std::string bytes;
};

// A damaged payload raises, with zlib's message or the truncation named;
// a stream cut short is never handed back as a shorter archive.
TEST(Codec, DamagedStreamsRaise) {
  const std::string good = Compress(Sample(100000, 9, true));
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x55;
  std::string bad_check = good;
  bad_check.back() ^= 1;
  const std::vector<BadStreamCase> cases = {
      {"empty input", ""},
      {"not zlib", "PK\x03\x04 not a zlib stream"},
      {"cut in the header", good.substr(0, 1)},
      {"cut in the data", good.substr(0, good.size() / 2)},
      {"cut before the check value", good.substr(0, good.size() - 2)},
      {"corrupt data", flipped},
      {"wrong check value", bad_check},
  };
  for (const BadStreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(Decompress(c.bytes), EZDecompressionError);
  }
  try {
    Decompress(bad_check);
  } catch (const EZDecompressionError& e) {
    EXPECT_STREQ(e.what(), "incorrect data check");
  }
}

// A source that fails part-way, as a file on a failing disk would.
class FailingStream : public TStringStream {
 public:
  explicit FailingStream(std::string data) : TStringStream(std::move(data)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (Position() > 0) throw EReadError("disk failed");
    return TStringStream::Read(buffer, std::min<std::size_t>(count, 10));
  }
};

TEST(Codec, ReadErrorInTheSourceReachesTheCaller) {
  FailingStream src(Sample(1000, 1, true));
  TStringStream dest;
  EXPECT_THROW(CompressStream(src, dest), EReadError);
}

TEST(StreamConversions, WholeStreamWhateverItsPosition) {
  TStringStream s("content");
  s.SetPosition(7);
  std::string out = "old";
  StreamToString(s, out);
  EXPECT_EQ(out, "content");
  EXPECT_EQ(s.Position(), 7);
  TStringStream empty;
  StreamToString(empty, out);
  EXPECT_EQ(out, "");

  TMemoryStream m;
  m.WriteBuffer("junk", 4);
  StringToStream("new", m);
  EXPECT_EQ(m.Bytes(), "new");
  EXPECT_EQ(m.Position(), 3);
  StringToStream("", m);
  EXPECT_EQ(m.Size(), 0);
}

}  // namespace
}  // namespace vexa
