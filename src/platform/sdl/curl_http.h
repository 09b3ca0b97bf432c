#pragma once
// The player's HTTP client on libcurl: a plain GET that follows redirects, through an HTTP
// proxy when one is set, giving up when the server stays silent for a minute.
#include <memory>

#include "platform/http_client.h"

namespace nova {

std::unique_ptr<THttpClient> CreateCurlHttpClient();

}  // namespace nova
