#pragma once
// HTTP GET requests, as the HTTP object of a game makes them: one request per worker thread,
// the body handed over piece by piece as it arrives, through a proxy when one is set. The
// headless default has no network (every request fails at once); the player's client is
// libcurl's (platform/sdl/curl_http.h).
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace nova {

struct THttpRequest {
  std::string Url;        // as the game gives it (bytes)
  std::string ProxyHost;  // empty: no proxy
  std::string ProxyPort;  // text; empty: the proxy protocol's default port
  // Set by another thread to end the request early (its object is going away); may be null.
  const std::atomic<bool>* Cancel = nullptr;
};

// Receives a piece of the body; false stops the request.
using THttpSink = std::function<bool(const char* data, size_t size)>;

class THttpClient {
public:
  virtual ~THttpClient() = default;
  // Runs the request on the calling thread until it ends; true when it completed (any HTTP
  // status). Safe to call from several threads at once.
  virtual bool Get(const THttpRequest& request, const THttpSink& sink) = 0;
};

// No network: every request fails without delivering anything.
class TOfflineHttpClient : public THttpClient {
public:
  bool Get(const THttpRequest&, const THttpSink&) override { return false; }
};

THttpClient& OfflineHttpClient();

}  // namespace nova
