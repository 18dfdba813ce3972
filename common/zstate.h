#pragma once
// Owners of zlib's deflate and inflate states: each ends its state on every
// path out of the code that uses it. A failed set-up raises Error with
// zlib's text for the code.
#include <zlib.h>

namespace vexa {

template <typename Error>
class DeflateState {
 public:
  DeflateState() {
    // The payload's fixed parameters: default level, 32 KiB window with
    // zlib header and trailer, memory level 8, default strategy.
    const int rc = deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) throw Error(zError(rc));
  }
  ~DeflateState() { deflateEnd(&z_); }
  DeflateState(const DeflateState&) = delete;
  DeflateState& operator=(const DeflateState&) = delete;
  z_stream& z() { return z_; }

 private:
  z_stream z_{};
};

template <typename Error>
class InflateState {
 public:
  InflateState() {
    const int rc = inflateInit(&z_);
    if (rc != Z_OK) throw Error(zError(rc));
  }
  ~InflateState() { inflateEnd(&z_); }
  InflateState(const InflateState&) = delete;
  InflateState& operator=(const InflateState&) = delete;
  z_stream& z() { return z_; }

 private:
  z_stream z_{};
};

}  // namespace vexa
