// How fast the payload moves, and how much memory it takes, at the scale of
// the shipped client: 123 folders, 1,232 files, 142,788,377 content bytes,
// the largest file 20,170,240 bytes, 6 folder levels below the root.
//
// It makes such a tree in a work folder, then times the developer's half
// (pack the folder into an archive in memory, deflate it) and the
// installer's half (inflate the payload into memory, unpack it into an empty
// folder), checks that the unpacked tree is the packed one, and prints one
// line of figures per step. Nothing here passes or fails on time.
//
//   vexa_payload_bench WORKFOLDER [--scale F]
//
// WORKFOLDER must not exist; it is made and removed again. --scale shrinks
// (or grows) every file size by F, for a quick look on a slow machine.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#endif

#include <zlib.h>

#include "fshelpers.h"
#include "fsys.h"
#include "streams.h"
#include "udirectory.h"
#include "uzrcommon.h"

namespace {

using vexa::TFileStream;
using vexa::TMemoryStream;
namespace fsys = vexa::fsys;

constexpr int kFolders = 123;
constexpr int kFiles = 1232;
constexpr std::int64_t kContentBytes = 142788377;
constexpr std::int64_t kLargestFile = 20170240;
constexpr int kDepth = 6;

// Deterministic xorshift, so every run makes the same tree.
struct Rng {
  std::uint64_t s = 0x9E3779B97F4A7C15ull;
  std::uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
};

// Bytes for a file: 4 KB blocks, about a quarter of them noise (as compressed
// media and packed resources are), the rest text-like runs of a small word
// list (as scripts, markup and tables are), so the whole deflates to about
// the shipped ratio (61 MB of 143 MB).
void FillContent(Rng& rng, std::string& out, std::size_t size) {
  static const char* const kWords[] = {"function ", "return ",  "exam ",    "question ", "answer ",  "var ",
                                       "0x1f, ",    "style=",   "<div ",    "</div>\n",  "score ",   "this.",
                                       "client ",   "vexa ",    "=> {",     "};\n",      "width:",   "timer "};
  out.clear();
  out.reserve(size);
  while (out.size() < size) {
    const std::size_t block = std::min<std::size_t>(4096, size - out.size());
    if (rng.Next() % 100 < 27) {
      for (std::size_t i = 0; i < block; ++i) out.push_back(static_cast<char>(rng.Next() >> 24));
    } else {
      const std::size_t end = out.size() + block;
      while (out.size() < end) {
        const std::uint64_t r = rng.Next();
        std::string word = kWords[r % (sizeof kWords / sizeof *kWords)];
        if ((r >> 8) % 5 == 0) word += std::to_string((r >> 16) % 1000) + ' ';
        out.append(word, 0, std::min(word.size(), end - out.size()));
      }
    }
  }
}

// File sizes that add up to kContentBytes at scale 1: one file of the
// largest size, the rest spread log-uniformly from a few bytes to 4 MB.
std::vector<std::int64_t> FileSizes(Rng& rng, double scale) {
  std::vector<double> raw(kFiles - 1);
  double sum = 0;
  for (double& r : raw) {
    r = std::exp(std::log(16.0) + rng.Unit() * (std::log(4.0 * 1024 * 1024) - std::log(16.0)));
    sum += r;
  }
  const double rest = static_cast<double>(kContentBytes - kLargestFile);
  std::vector<std::int64_t> sizes{static_cast<std::int64_t>(kLargestFile * scale)};
  std::int64_t placed = 0;
  for (double r : raw) {
    const auto size = static_cast<std::int64_t>(r / sum * rest);
    placed += size;
    sizes.push_back(static_cast<std::int64_t>(size * scale));
  }
  sizes.back() += static_cast<std::int64_t>((rest - static_cast<double>(placed)) * scale);
  return sizes;
}

// The folders below root: a chain reaching kDepth levels (one with a long
// name, one with a Chinese name), the rest hung under random earlier ones
// that are not yet at the deepest level.
std::vector<std::string> Folders(Rng& rng, const std::string& root) {
  std::vector<std::string> folders{root};
  std::vector<int> depth{0};
  const char* const chain[kDepth] = {"resources", "app.asar.unpacked", "node_modules",
                                     "\xBF\xBC\xCA\xD4\xC4\xA3\xBF\xE9",  // 考试模块
                                     "dist", "locales-and-fonts-for-the-exam-window"};
  for (int i = 0; i < kDepth; ++i) {
    folders.push_back(folders.back() + "\\" + chain[i]);
    depth.push_back(i + 1);
  }
  while (static_cast<int>(folders.size()) < kFolders + 1) {
    std::size_t parent;
    do parent = rng.Next() % folders.size();
    while (depth[parent] >= kDepth);
    folders.push_back(folders[parent] + "\\dir" + std::to_string(folders.size()));
    depth.push_back(depth[parent] + 1);
  }
  return folders;
}

unsigned long Crc(const std::string& bytes) {
  return crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
}

// Starts the peak figure again from what is resident now (Linux only; on
// Windows the peak stays that of the whole run).
void ResetPeak() {
#ifndef _WIN32
  std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Peak and current resident memory of this process, in MB.
void Memory(double& peak, double& now) {
  peak = now = 0;
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS c{};
  if (GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) {
    peak = static_cast<double>(c.PeakWorkingSetSize) / 1048576.0;
    now = static_cast<double>(c.WorkingSetSize) / 1048576.0;
  }
#else
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) peak = std::atof(line.c_str() + 6) / 1024.0;
    if (line.rfind("VmRSS:", 0) == 0) now = std::atof(line.c_str() + 6) / 1024.0;
  }
#endif
}

// One line of figures for a step that moved bytes in seconds.
void Report(const char* step, double bytes, double seconds) {
  double peak = 0, now = 0;
  Memory(peak, now);
  std::printf("%-34s %8.2f s %9.1f MB/s  (%.1f MB)  resident %7.1f MB, peak %7.1f MB\n", step, seconds,
              bytes / 1048576.0 / seconds, bytes / 1048576.0, now, peak);
  std::fflush(stdout);
}

template <typename F>
double Timed(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return Seconds(std::chrono::steady_clock::now() - start);
}

int Run(const std::string& work, double scale) {
  if (fsys::DirectoryExists(work) || fsys::FileExists(work)) {
    std::fprintf(stderr, "vexa_payload_bench: %s already exists\n", work.c_str());
    return 2;
  }
  if (!fsys::CreateDir(work)) {
    std::fprintf(stderr, "vexa_payload_bench: cannot make %s\n", work.c_str());
    return 1;
  }
  struct Cleanup {
    std::string folder;
    ~Cleanup() { vexa::DeleteTree(folder); }
  } cleanup{work};

  Rng rng;
  const std::string source = work + "\\client";
  const std::vector<std::string> folders = Folders(rng, source);
  const std::vector<std::int64_t> sizes = FileSizes(rng, scale);
  std::int64_t content = 0;
  const double made = Timed([&] {
    for (const std::string& f : folders)
      if (!fsys::CreateDir(f)) throw std::runtime_error("cannot make " + f);
    std::string bytes;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      // The largest file sits at the deepest level; the others spread out.
      const std::string& folder = i == 0 ? folders[kDepth] : folders[rng.Next() % folders.size()];
      FillContent(rng, bytes, static_cast<std::size_t>(sizes[i]));
      TFileStream f(folder + "\\file" + std::to_string(i) + (i % 3 ? ".js" : ".dll"),
                    fsys::OpenMode::CreateAlways);
      f.WriteBuffer(bytes.data(), bytes.size());
      content += sizes[i];
    }
  });
  std::printf("tree: %d folders, %d files, %lld content bytes (scale %g)\n", kFolders, kFiles,
              static_cast<long long>(content), scale);
  Report("make the tree (not payload work)", static_cast<double>(content), made);

  // The developer's side: folder -> archive -> zlib payload.
  TMemoryStream archive;
  std::string why;
  bool packed = false;
  Report("pack the folder into an archive",
         static_cast<double>(content), Timed([&] { packed = vexa::PackDirectory(source, archive, &why); }));
  if (!packed) throw std::runtime_error("packing failed: " + why);
  const double archive_bytes = static_cast<double>(archive.Size());
  std::printf("archive: %.0f bytes, %.0f of them record heads\n", archive_bytes,
              archive_bytes - static_cast<double>(content));

  TMemoryStream payload;
  Report("deflate the archive", archive_bytes, Timed([&] { vexa::CompressStream(archive, payload); }));
  std::printf("payload: %lld bytes (%.1f%% of the archive)\n", static_cast<long long>(payload.Size()),
              100.0 * static_cast<double>(payload.Size()) / archive_bytes);
  // Only a checksum of the archive stays, and the peak is counted afresh, so
  // the figures below are those of an installer holding just its payload.
  const unsigned long packed_crc = Crc(archive.Bytes());
  archive.Clear();
  ResetPeak();
  std::printf("installer side: memory peak counted from here\n");

  // The installer's side: payload -> archive in memory -> installed tree.
  TMemoryStream inflated;
  Report("inflate the payload", archive_bytes, Timed([&] { vexa::DecompressStream(payload, inflated); }));
  if (Crc(inflated.Bytes()) != packed_crc) throw std::runtime_error("the inflated archive differs from the packed one");
  const std::string target = work + "\\installed";
  bool unpacked = false;
  Report("unpack the archive into a folder", static_cast<double>(content),
         Timed([&] { unpacked = vexa::UnpackDirectory(target, inflated, &why); }));
  if (!unpacked) throw std::runtime_error("unpacking failed: " + why);

  // Recorded as if it stood where the source stood, the unpacked tree gives
  // the packed archive byte for byte: nothing was lost or changed.
  TMemoryStream again;
  vexa::TDirectoryData(again).PackFolderAs(target, source);
  if (Crc(again.Bytes()) != packed_crc) throw std::runtime_error("the unpacked tree differs from the packed one");
  std::printf("check: the unpacked tree is the packed one, byte for byte\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--scale")) {
    std::fprintf(stderr, "usage: vexa_payload_bench WORKFOLDER [--scale F]\n");
    return 2;
  }
  const double scale = argc == 4 ? std::atof(argv[3]) : 1.0;
  if (!(scale > 0)) {
    std::fprintf(stderr, "vexa_payload_bench: --scale wants a positive number\n");
    return 2;
  }
  try {
    return Run(argv[1], scale);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vexa_payload_bench: %s\n", e.what());
    return 1;
  }
}
