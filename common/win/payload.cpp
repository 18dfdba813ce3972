#include "win/payload.h"

#include <exception>
#include <new>

#include "uzrcommon.h"
#include "win/resourcestream.h"

namespace vexa::win {

namespace {

PayloadResult Unpack(TStream& payload, const std::string& target_dir) {
  // Inflated straight from the source: the compressed bytes are not copied.
  TMemoryStream archive;
  DecompressStream(payload, archive);
  archive.SetPosition(0);
  PayloadResult result;
  result.outcome = UnpackDirectory(target_dir, archive, &result.why) ? PayloadOutcome::Unpacked
                                                                     : PayloadOutcome::UnpackFailed;
  return result;
}

PayloadResult Failure(std::string why) { return PayloadResult{PayloadOutcome::Error, std::move(why)}; }

// Runs step and turns whatever it raises into an Error result.
template <typename Step>
PayloadResult Guarded(Step&& step, const char* unknown) noexcept {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return Failure("Not enough memory for the payload.");
  } catch (const std::exception& e) {
    return Failure(e.what());
  } catch (...) {
    return Failure(unknown);
  }
}

}  // namespace

PayloadResult UnpackPayloadStream(TStream& payload, const std::string& target_dir) noexcept {
  return Guarded([&] { return Unpack(payload, target_dir); }, "Unknown error while unpacking the payload.");
}

PayloadResult UnpackPayload(const std::string& target_dir, const std::function<void()>& on_opened,
                            const std::string& resource_name) noexcept {
  return Guarded(
      [&] {
        TResourceStream payload(kPayloadType, resource_name);
        if (on_opened) on_opened();
        return UnpackPayloadStream(payload, target_dir);
      },
      "Unknown error while opening the payload.");
}

}  // namespace vexa::win
