#pragma once
// The install worker's payload step: the client tree carried in the program
// as one zlib stream of a directory archive, turned into files.
#include <functional>
#include <string>

#include "streams.h"

namespace vexa::win {

enum class PayloadOutcome {
  Unpacked,      // the whole archive was written below the target
  UnpackFailed,  // the extraction stopped (a file held open, ...); what came before stays
  Error,         // anything else: payload missing or corrupt, memory exhausted,
                 // target folder not creatable
};

struct PayloadResult {
  PayloadOutcome outcome = PayloadOutcome::Error;
  std::string why;  // for UnpackFailed and Error: what went wrong
};

// Resource name and type of the payload in the program.
inline constexpr char kPayloadType[] = "TXTFILE";
inline constexpr char kPayloadName[] = "VEXA";

// Opens the program's resource resource_name of type kPayloadType, calls
// on_opened (the worker starts its progress timer there, so the animation
// runs only once the payload is known to exist), inflates the resource into
// memory and unpacks the archive into target_dir (code page 936, created
// when missing). Never raises.
PayloadResult UnpackPayload(const std::string& target_dir, const std::function<void()>& on_opened = nullptr,
                            const std::string& resource_name = kPayloadName) noexcept;

// The same from payload (read from its start) instead of a resource.
PayloadResult UnpackPayloadStream(TStream& payload, const std::string& target_dir) noexcept;

}  // namespace vexa::win
