// Owner of one libcurl easy handle.
#include "platform/system/CurlEasy.h"

namespace stratovane {

namespace {

// libcurl's global state lives until the process ends: loads may still run on detached
// workers while the process exits, so it is never cleaned up.
bool initialiseCurl() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return initialised;
}

}  // namespace

CurlEasy::CurlEasy() {
  if (initialiseCurl()) handle_ = curl_easy_init();
}

}  // namespace stratovane
